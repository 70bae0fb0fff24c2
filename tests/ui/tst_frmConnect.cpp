#include "support/TestProgram.h"
#include "ui/frmConnect.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The connect dialog: what can be typed as an address, and the connect request flag it
// leaves on the File menu's connect entry.
class tst_frmConnect : public QObject
{
    Q_OBJECT

    TestProgram m_copy { QStringLiteral("127.0.0.1"), TestProgram::freePorts() };
    QAction m_mnuConnect;

private slots:
    // Only digits and dots, up to 15; a stored host name is not cut.
    void addressKeys_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const char *rows[][4] = {
            { "an address", "", "192.168.0.10", "192.168.0.10" },
            { "letters, blanks and signs dropped", "", "a1 -b.2:c/d", "1.2" },
            { "stops at 15", "", "1234567890123456", "123456789012345" },
            { "long stored host name", "partner.example.org", "1", "partner.example.org" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                                  << QString::fromUtf8(row[3]);
    }
    void addressKeys()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        m_copy.program->RemoteIP = stored;
        frmConnect dialog(*m_copy.program, &m_mnuConnect);
        auto *txtIP = dialog.findChild<QLineEdit *>(QStringLiteral("txtIP"));
        txtIP->end(false);
        QTest::keyClicks(txtIP, typed);
        QCOMPARE(txtIP->text(), shown);
    }

    // Connect and Enter keep the address and ask for a call; Cancel and the close box
    // withdraw the request and keep the stored address.
    void waysOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("remoteIP");
        const char *rows[][3] = { { "cmdOk", "1", "10.0.0.25" }, { "Enter", "1", "10.0.0.25" },
            { "cmdCancel", "", "10.0.0.2" }, { "close box", "", "10.0.0.2" } };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                                  << QString::fromUtf8(row[2]);
    }
    void waysOut()
    {
        QFETCH(QString, way);
        QFETCH(QString, flag);
        QFETCH(QString, remoteIP);
        m_copy.program->RemoteIP = QStringLiteral("10.0.0.2");
        m_mnuConnect.setData(flag.isEmpty() ? QStringLiteral("1") : QString());
        frmConnect dialog(*m_copy.program, &m_mnuConnect);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *txtIP = dialog.findChild<QLineEdit *>(QStringLiteral("txtIP"));
        QTest::keyClicks(txtIP, QStringLiteral("5"));
        if (way == u"Enter")
            QTest::keyClick(txtIP, Qt::Key_Return);
        else if (way == u"close box")
            dialog.close();
        else
            QTest::mouseClick(dialog.findChild<QPushButton *>(way), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_mnuConnect.data().toString(), flag);
        QCOMPARE(m_copy.program->RemoteIP, remoteIP);
    }

    // Esc presses the settings button: the settings open over the dialog, which stays.
    void escapeOpensSettings()
    {
        frmConnect dialog(*m_copy.program, &m_mnuConnect);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QString opened;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            opened = modal->objectName();
            modal->close();
        });
        QTest::keyClick(dialog.findChild<QLineEdit *>(QStringLiteral("txtIP")), Qt::Key_Escape);
        QCOMPARE(opened, QStringLiteral("frmSettings"));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(tst_frmConnect)
#include "tst_frmConnect.moc"
