#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QTest>

// The about box: link colours under the pointer, link targets, and the keys that close it.
class tst_frmAbout : public QObject
{
    Q_OBJECT

private:
    static QColor color(const QLabel *label)
    {
        return label->palette().color(QPalette::WindowText);
    }

    static void moveOver(QWidget *widget)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

private slots:
    void hoverColours_data()
    {
        QTest::addColumn<QStringList>("path"); // what the pointer crosses, in order
        QTest::addColumn<QString>("blue"); // the link that ends blue, if any
        QTest::newRow("stays blue after leaving")
            << QStringList { u"lblEmail"_qs, u"cmdOK"_qs } << u"lblEmail"_qs;
        QTest::newRow("background turns it black")
            << QStringList { u"lblEmail"_qs, u"frmAbout"_qs } << QString();
        QTest::newRow("from one link to the other across the background")
            << QStringList { u"lblWebsite"_qs, u"frmAbout"_qs, u"lblEmail"_qs } << u"lblEmail"_qs;
    }
    void hoverColours()
    {
        QFETCH(QStringList, path);
        QFETCH(QString, blue);
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        for (const QString &name : path)
            moveOver(name == u"frmAbout" ? static_cast<QWidget *>(&about)
                                         : about.findChild<QWidget *>(name));
        for (const QString &link : { u"lblWebsite"_qs, u"lblEmail"_qs })
            QCOMPARE(color(about.findChild<QLabel *>(link)),
                link == blue ? QColor(0, 0, 255) : QColor(0, 0, 0));
    }

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
