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
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
