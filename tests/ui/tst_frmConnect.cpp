#include "support/TestMessenger.h"
#include "ui/frmConnect.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_frmConnect : public QObject
{
    Q_OBJECT

    TestProgram m_copy { QStringLiteral("127.0.0.1"), TestProgram::freePorts() };
    QAction m_mnuConnect;

private slots:
    // Only digits and dots, up to 15 (a stored host name is not cut, nor one chosen with Down:
    // the last dialled comes first). Connect and Enter keep the address and ask for a call;
    // Cancel withdraws the request and keeps the stored address; Esc opens the settings.
    void typeAndLeave_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("result"); // RemoteIP, then the request flag
        const char *rows[][4] = {
            { "", "192.168.0.10", "cmdOk", "192.168.0.10 1" },
            { "", "a1 -b.2:c/d", "Enter", "1.2 1" },
            { "", "1234567890123456", "cmdOk", "123456789012345 1" },
            { "partner.example.org", "1", "cmdOk", "partner.example.org 1" },
            { "10.0.0.2", "5", "cmdCancel", "10.0.0.2 " },
            { "10.0.0.2", "5", "Esc", "10.0.0.2 settings over it" },
            { "10.0.0.2", "", "Down", "partner.example.org 1" },
        };
        for (const auto &row : rows)
            QTest::addRow("%s %s %s", row[0], row[1], row[2])
                << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                << QString::fromUtf8(row[2]) << QString::fromUtf8(row[3]);
    }
    void typeAndLeave()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, way);
        QFETCH(QString, result);
        m_copy.program->RemoteIP = stored;
        m_mnuConnect.setData(result.endsWith(u'1') ? QString() : QStringLiteral("1"));
        frmConnect dialog(*m_copy.program, &m_mnuConnect);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *txtIP = dialog.findChild<QLineEdit *>(QStringLiteral("txtIP"));
        txtIP->end(false);
        QTest::keyClicks(txtIP->parentWidget(), typed); // the drop-down, which has the focus
        QString settings;
        if (way == u"Esc")
            TestMessenger::whenDialogOpens(QStringLiteral("frmSettings"), [&](QWidget *opened) {
                settings = dialog.isVisible() ? QStringLiteral("settings over it") : QString();
                opened->close();
                dialog.close();
            });
        if (way == u"Down")
            QTest::keyClick(txtIP->parentWidget(), Qt::Key_Down);
        if (way != u"cmdOk" && way != u"cmdCancel")
            QTest::keyClick(txtIP, way == u"Esc" ? Qt::Key_Escape : Qt::Key_Return);
        else
            QTest::mouseClick(dialog.findChild<QPushButton *>(way), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(
            m_copy.program->RemoteIP + u' ' + m_mnuConnect.data().toString() + settings, result);
    }
};

QTEST_MAIN(tst_frmConnect)
#include "tst_frmConnect.moc"
