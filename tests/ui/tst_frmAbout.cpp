#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QTest>

// The about box: centred on its owner; its links blue while and after the pointer is on
// them, black again once it crosses the background; what they open; Enter closes it.
class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    void aboutBox()
    {
        QWidget owner;
        owner.setGeometry(100, 80, 500, 400);
        owner.show();
        ScriptedDesktop desktop;
        frmAbout about(desktop, &owner);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.frameGeometry().center(), owner.frameGeometry().center());
        owner.hide(); // the pointer's events go to the box alone
        auto *website = about.findChild<QLabel *>(QStringLiteral("lblWebsite"));
        auto *email = about.findChild<QLabel *>(QStringLiteral("lblEmail"));
        QString colours;
        const auto move = [&](QWidget *over, QPoint at) {
            QTest::mouseMove(over, at);
            colours += website->palette().color(QPalette::WindowText).name() + u' '
                + email->palette().color(QPalette::WindowText).name() + u'|';
        };
        move(&about, QPoint(2, 2));
        move(website, QPoint(4, 3));
        move(website, QPoint(12, 5));
        move(email, QPoint(2, 2));
        move(&about, QPoint(about.width() - 2, 2));
        QCOMPARE(colours,
            QStringLiteral("#000000 #000000|#0000ff #000000|#0000ff #000000|#0000ff "
                           "#0000ff|#000000 #000000|"));

        QTest::mouseClick(website, Qt::LeftButton);
        QTest::mouseClick(email, Qt::LeftButton);
        QCOMPARE(desktop.opened,
            (QList<QUrl> { QUrl(QStringLiteral("https://www.example.org/kalvex")),
                QUrl(QStringLiteral("mailto:kalvex@example.org")) }));
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
