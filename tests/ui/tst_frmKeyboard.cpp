#include "controls/UrduText.h"
#include "support/UrduTestText.h"
#include "ui/frmKeyboard.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace UrduTestText;

class tst_frmKeyboard : public QObject
{
    Q_OBJECT

private slots:
    // The window floats above the main window at the screen's top-left corner.
    void placement()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        keyboard.show();
        QVERIFY(keyboard.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(keyboard.pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        QCOMPARE(keyboard.size(), QSize(477, 205));
    }

    // The letters as a reader sees them on each row, left to right.
    void letterCaptions_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("letters");
        QTest::newRow("row 2") << 15 << 26 << QStringLiteral("دخحچجثٹتپباآ");
        QTest::newRow("row 3") << 29 << 40 << QStringLiteral("ظطضصشسژزڑرذڈ");
        QTest::newRow("row 4") << 43 << 54 << QStringLiteral("ھہونملگکقفغع");
        QTest::newRow("row 5") << 58 << 66 << QStringLiteral("ےؤۓۃںلایيء");
    }
    void letterCaptions()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, letters);
        UrduText composer;
        frmKeyboard keyboard(&composer);
        QString shown;
        for (int index = first; index <= last; ++index)
            shown += UrduUnicode::fromGlyphs(
                UrduGlyphFont::fromDisplay(keyboard.cmdKey(index)->text()));
        QCOMPARE(shown, letters);
    }

    // Each caption is drawn alone, so it is the isolated form: the glyph font's contextual
    // rules leave a lone caption's glyph as it is, except ط, whose code is a joining form.
    // The tanween shows on a dotted circle, and the brackets face the way they are typed.
    void drawnCaptions()
    {
        UrduText composer;
        frmKeyboard keyboard(&composer);
        const QHash<int, QString> special { { 30, QStringLiteral("127") },
            { 67, QStringLiteral("tanween.caption") }, { 56, QStringLiteral("93") },
            { 57, QStringLiteral("91") } };
        for (QPushButton *button : keyboard.findChildren<QPushButton *>()) {
            if (button->font().family() != QStringLiteral("Qirtas1"))
                continue;
            const int index = button->property("index").toInt();
            const QString own
                = QString::number(quint8(UrduGlyphFont::fromDisplay(button->text()).front()));
            QCOMPARE(
                drawnGlyphs(button->text(), button->font()).join(u' '), special.value(index, own));
        }
    }

    // Clicked keys edit the composer at its caret as typed keys would; a composer that
    // cannot be typed in is not changed by the keyboard either.
    void typing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<UrduGlyphText>("shown");
        QTest::newRow("b then a") << QByteArray() << 0 << QList { 24, 25 } << true
                                  << glyphs({ 66, 73 });
        QTest::newRow("BACKSPACE")
            << QByteArray("bab") << 1 << QList { 75 } << true << glyphs({ 75, 73 });
        QTest::newRow("DELETE") << QByteArray("bab") << 1 << QList { 70 } << true
                                << glyphs({ 66, 73 });
        QTest::newRow("SPACE") << QByteArray("b") << 0 << QList { 72 } << true
                               << glyphs({ 32, 76 });
        QTest::newRow("full stop")
            << QByteArray("b") << 0 << QList { 74 } << true << glyphs({ 160, 73 });
        QTest::newRow("disabled composer")
            << QByteArray("ba") << 1 << QList { 24, 70, 72, 75 } << false << glyphs({ 66, 73 });
    }
    void typing()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QList<int>, clicks);
        QFETCH(bool, enabled);
        QFETCH(UrduGlyphText, shown);
        UrduText composer;
        composer.setText(before);
        composer.txtMain()->setCursorPosition(caret);
        composer.setEnabled(enabled);
        frmKeyboard keyboard(&composer);
        for (const int index : clicks)
            keyboard.cmdKey(index)->click();
        QCOMPARE(shownBy(composer), shown);
        QCOMPARE(composer.Text(), UnshapeUrdu(shown));
    }
};

QTEST_MAIN(tst_frmKeyboard)
#include "tst_frmKeyboard.moc"
