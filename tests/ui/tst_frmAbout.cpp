#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QTest>

// The about box: where it opens, its links, and Enter or Esc closing it.
class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    // Enter and Esc both close the box.
    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void keysClose()
    {
        QFETCH(int, key);
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
    }

    // Opened for the main window, the box is centred on it, and its links keep their
    // underline without being cut off, whatever font stands in for Tahoma; they open the
    // mail program and the web site.
    void centredWithWholeLinks()
    {
        QWidget mainWindow;
        mainWindow.setGeometry(100, 80, 500, 400);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        ScriptedDesktop desktop;
        frmAbout about(desktop, &mainWindow);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(
            (about.frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength()
            <= 2);
        for (const QString &name : { QStringLiteral("lblWebsite"), QStringLiteral("lblEmail") }) {
            const auto *link = about.findChild<QLabel *>(name);
            QVERIFY(link->font().underline());
            QCOMPARE(link->size().expandedTo(link->sizeHint()), link->size());
            QVERIFY(about.rect().contains(link->geometry()));
            QTest::mouseClick(about.findChild<QLabel *>(name), Qt::LeftButton);
        }
        QCOMPARE(desktop.opened,
            (QList<QUrl> { QUrl(QStringLiteral("https://") + frmAbout::WebSite),
                QUrl(QStringLiteral("mailto:") + frmAbout::EmailAddress) }));
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
