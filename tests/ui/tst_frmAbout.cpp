#include "support/ScriptedDesktop.h"
#include "ui/frmAbout.h"

#include <QLabel>
#include <QTest>

// The about box: centred on its owner, its links blue under the pointer until it crosses
// the background, what they open, and Enter or Esc closing the box.
class tst_frmAbout : public QObject
{
    Q_OBJECT

private slots:
    void keysClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void keysClose()
    {
        QFETCH(int, key);
        QWidget owner;
        owner.setGeometry(100, 80, 500, 400);
        owner.show();
        ScriptedDesktop desktop;
        frmAbout about(desktop, &owner);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.frameGeometry().center(), owner.frameGeometry().center());
        QTest::keyClick(&about, Qt::Key(key));
        QVERIFY(!about.isVisible());
    }

    void links()
    {
        ScriptedDesktop desktop;
        frmAbout about(desktop);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto *website = about.findChild<QLabel *>(QStringLiteral("lblWebsite"));
        auto *email = about.findChild<QLabel *>(QStringLiteral("lblEmail"));
        const auto colours = [&] {
            return website->palette().color(QPalette::WindowText).name() + u' '
                + email->palette().color(QPalette::WindowText).name();
        };
        QCOMPARE(colours(), QStringLiteral("#000000 #000000"));
        QTest::mouseMove(website, QPoint(4, 3));
        QCOMPARE(colours(), QStringLiteral("#0000ff #000000"));
        QTest::mouseMove(email, QPoint(2, 2));
        QCOMPARE(colours(), QStringLiteral("#0000ff #0000ff"));
        QTest::mouseMove(&about, QPoint(about.width() - 2, 2));
        QCOMPARE(colours(), QStringLiteral("#000000 #000000"));

        QTest::mouseClick(website, Qt::LeftButton);
        QTest::mouseClick(email, Qt::LeftButton);
        QCOMPARE(desktop.opened,
            (QList<QUrl> { QUrl(QStringLiteral("https://www.example.org/kalvex")),
                QUrl(QStringLiteral("mailto:kalvex@example.org")) }));
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
