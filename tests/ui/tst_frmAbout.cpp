#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
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
        QTest::newRow("nothing yet") << QStringList() << QString();
        QTest::newRow("over the site") << QStringList { u"lblWebsite"_qs } << u"lblWebsite"_qs;
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
        QVERIFY(frmAbout::WebSite.contains(u"example.org"_qs));
        QVERIFY(frmAbout::EmailAddress.endsWith(u"@example.org"_qs));
    }

    void layout()
    {
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        QCOMPARE(about.windowTitle(), u"About \"Kalvex\""_qs);
        QCOMPARE(about.size(), QSize(382, 225));
        QStringList texts;
        for (const QLabel *label : about.findChildren<QLabel *>(u"lblDesc"_qs))
            texts << label->text();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts.contains(u"KALVEX v1.0"_qs));
        QVERIFY(texts.contains(
            u"Kalvex is a small & Easy to use Messaging Software. It contains the facility "
            "of messaging in two different languages; English & Urdu."_qs));
        QCOMPARE(about.findChild<QPushButton *>(u"cmdOK"_qs)->text(), u"&Close"_qs);
    }

    // The links keep their underline and are not cut off, whatever font stands in for Tahoma.
    void linksFitTheirText()
    {
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        for (const QString &name : { u"lblWebsite"_qs, u"lblEmail"_qs }) {
            const auto *link = about.findChild<QLabel *>(name);
            QVERIFY(link->font().underline());
            QCOMPARE(link->size().expandedTo(link->sizeHint()), link->size());
            QVERIFY(about.rect().contains(link->geometry()));
        }
    }

    // Opened from the main window's menu (the active window) or for an owner, the box is
    // centred on that window.
    void centredOnMainWindow_data()
    {
        QTest::addColumn<bool>("owned");
        QTest::newRow("active window") << false;
        QTest::newRow("owner") << true;
    }
    void centredOnMainWindow()
    {
        QFETCH(bool, owned);
        QWidget mainWindow;
        mainWindow.setGeometry(100, 80, 500, 400);
        mainWindow.show();
        QApplication::setActiveWindow(&mainWindow);
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        ScriptedDesktop desktop;
        frmAbout about(desktop, owned ? &mainWindow : nullptr);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(
            (about.frameGeometry().center() - mainWindow.frameGeometry().center()).manhattanLength()
            <= 2);
    }

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
