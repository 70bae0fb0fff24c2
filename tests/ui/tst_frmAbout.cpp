#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QTest>

// The about box: its links open their targets, and Enter or Esc close it.
class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    // The links open the mail program and the web site.
    void linksOpenTheirTargets()
    {
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        QTest::mouseClick(about.findChild<QLabel *>(u"lblEmail"_qs), Qt::LeftButton);
        QTest::mouseClick(about.findChild<QLabel *>(u"lblWebsite"_qs), Qt::LeftButton);
        QCOMPARE(desktop.opened,
            (QList<QUrl> { QUrl(u"mailto:"_qs + frmAbout::EmailAddress),
                QUrl(u"https://"_qs + frmAbout::WebSite) }));
    }

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
    // underline without being cut off, whatever font stands in for Tahoma.
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
        QVERIFY((about.frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength() <= 2);
        for (const QString &name : { u"lblWebsite"_qs, u"lblEmail"_qs }) {
            const auto *link = about.findChild<QLabel *>(name);
            QVERIFY(link->font().underline());
            QCOMPARE(link->size().expandedTo(link->sizeHint()), link->size());
            QVERIFY(about.rect().contains(link->geometry()));
        }
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
