#include "urdu/UrduGlyphFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTest>

namespace {

using Codes = QList<int>;

// The glyph codes the shaping engine and the on-screen keyboard can put on screen,
// written down here from the code table rather than read from the font's generator.
const Codes IsolatedForms { 65, 76, 137, 101, 170, 178, 143, 235, 212, 88, 186, 190, 194, 198, 202,
    133, 182, 105, 112, 80, 213, 162, 203, 116, 155, 107, 69, 34, 84, 148, 217, 174, 96, 126, 100,
    220, 231, 209, 152, 120, 147, 166, 157, 138, 218, 103, 160 };
const Codes FinalForms { 66, 75, 136, 102, 169, 177, 142, 234, 211, 87, 185, 189, 193, 197, 201,
    132, 181, 106, 111, 79, 161, 204, 115, 154, 108, 83, 149, 216, 173, 92, 124, 99, 221, 230, 210,
    153, 119, 146, 165, 156, 139, 219, 104 };
const Codes InitialForms { 73, 134, 167, 175, 140, 232, 205, 85, 183, 187, 191, 195, 199, 130, 179,
    109, 77, 113, 81, 171, 89, 121, 97, 117, 144, 163 };
const Codes MedialForms { 74, 135, 168, 176, 141, 233, 206, 86, 184, 188, 192, 196, 200, 131, 180,
    110, 78, 114, 82, 172, 90, 122, 98, 118, 145, 164 };
const Codes Digits { 48, 49, 50, 51, 52, 53, 54, 55, 56, 57 };
const Codes Signs { 33, 37, 40, 41, 42, 43, 44, 45, 47, 58, 59, 61, 62, 63, 91, 93 };
const Codes KeyboardCaptions { 46, 60 };
const Codes ReadBackOnly { 127 }; // a form of v that the engine reads back but never writes

constexpr int SpaceCode = 32;

QSet<int> inkedCodes()
{
    QSet<int> codes;
    for (const Codes *group : { &IsolatedForms, &FinalForms, &InitialForms, &MedialForms, &Digits,
             &Signs, &KeyboardCaptions, &ReadBackOnly })
        codes.unite(QSet<int>(group->cbegin(), group->cend()));
    return codes;
}

QByteArray glyphText(const Codes &codes)
{
    QByteArray text;
    for (const int code : codes)
        text.append(static_cast<char>(code));
    return text;
}

QChar displayCharacter(int code)
{
    return UrduGlyphFont::toDisplay(glyphText({ code })).front();
}

quint32 glyphIndex(const QRawFont &font, QChar character)
{
    const QList<quint32> indexes = font.glyphIndexesForString(QString(character));
    return indexes.isEmpty() ? 0 : indexes.front();
}

struct InkSpan
{
    int left = -1; // first and last column with any ink
    int right = -1;
    int widestStroke = 0; // columns covered by the widest connected piece of ink
};

QImage drawLarge(const Codes &codes)
{
    QFont font = UrduGlyphFont::font(12);
    font.setPixelSize(120);
    const QFontMetricsF metrics(font);
    const QString text = UrduGlyphFont::toDisplay(glyphText(codes));
    const int margin = 40;
    QImage image(int(metrics.horizontalAdvance(text)) + 2 * margin,
        int(metrics.height()) + 2 * margin, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(margin, margin + metrics.ascent()), text);
    return image;
}

bool isInk(const QImage &image, int x, int y)
{
    return image.constScanLine(y)[x] < 128;
}

// Marks the 8-connected piece of ink that holds the start pixel as visited and
// returns the first and last column it covers.
QPair<int, int> fillPiece(const QImage &image, QPoint start, QList<bool> &visited)
{
    const int width = image.width();
    const auto seen = [&visited, width](QPoint at) -> bool & {
        return visited[qsizetype(at.y()) * width + at.x()];
    };
    QPair<int, int> columns(start.x(), start.x());
    QList<QPoint> pending { start };
    seen(start) = true;
    while (!pending.isEmpty()) {
        const QPoint at = pending.takeLast();
        columns.first = qMin(columns.first, at.x());
        columns.second = qMax(columns.second, at.x());
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint next(at.x() + dx, at.y() + dy);
                if (!image.rect().contains(next) || seen(next) || !isInk(image, next.x(), next.y()))
                    continue;
                seen(next) = true;
                pending.append(next);
            }
        }
    }
    return columns;
}

// Joined letters are one unbroken stroke, whatever the height at which Naskh joins
// them; only their dots and marks stand apart. So the glyphs meet exactly when one
// connected piece of ink reaches across all of it.
InkSpan inkSpan(const QImage &image)
{
    InkSpan span;
    QList<bool> visited(qsizetype(image.width()) * image.height(), false);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isInk(image, x, y) || visited[qsizetype(y) * image.width() + x])
                continue;
            const auto [left, right] = fillPiece(image, QPoint(x, y), visited);
            span.left = span.left < 0 ? left : qMin(span.left, left);
            span.right = qMax(span.right, right);
            span.widestStroke = qMax(span.widestStroke, right - left + 1);
        }
    }
    return span;
}

} // namespace

class tst_Qirtas1Font : public QObject
{
    Q_OBJECT

private:
    QRawFont m_raw;

private slots:
    void initTestCase()
    {
        QVERIFY(UrduGlyphFont::install());
        QVERIFY(UrduGlyphFont::install()); // a second start-up must not fail
        // At one pixel per font unit, the glyph geometry is the font's own.
        QFont unitSized = UrduGlyphFont::font(12);
        unitSized.setPixelSize(1000);
        m_raw = QRawFont::fromFont(unitSized);
        QVERIFY(m_raw.isValid());
    }

    void registersTheFaceName()
    {
        QVERIFY(QFontDatabase::families().contains(UrduGlyphFont::faceName()));
        const QFontInfo info(UrduGlyphFont::font(12));
        QCOMPARE(info.family(), QStringLiteral("Qirtas1"));
        QVERIFY(info.family().startsWith(UrduGlyphFont::familyPrefix()));
        QCOMPARE(m_raw.familyName(), QStringLiteral("Qirtas1"));
    }

    void drawsEveryCodeInUse_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::newRow("isolated letters") << IsolatedForms;
        QTest::newRow("final letters") << FinalForms;
        QTest::newRow("initial letters") << InitialForms;
        QTest::newRow("medial letters") << MedialForms;
        QTest::newRow("digits") << Digits;
        QTest::newRow("signs") << Signs;
        QTest::newRow("on-screen keyboard captions") << KeyboardCaptions;
        QTest::newRow("read back only") << ReadBackOnly;
    }
    void drawsEveryCodeInUse()
    {
        QFETCH(Codes, codes);
        for (const int code : codes) {
            const QChar character = displayCharacter(code);
            const QByteArray which = QByteArray::number(code);
            QVERIFY2(m_raw.supportsCharacter(character), which);
            const quint32 glyph = glyphIndex(m_raw, character);
            QVERIFY2(glyph != 0, which);
            QVERIFY2(!m_raw.pathForGlyph(glyph).isEmpty(), which);
            QVERIFY2(!m_raw.boundingRect(glyph).isEmpty(), which);
        }
    }

    void codesNothingProducesDrawNothing()
    {
        const QSet<int> inked = inkedCodes();
        for (int code = 0; code < 256; ++code) {
            if (inked.contains(code) || code == SpaceCode)
                continue;
            const QChar character = displayCharacter(code);
            const QByteArray which = QByteArray::number(code);
            // Mapped, so that no other font steps in and draws something of its own.
            QVERIFY2(m_raw.supportsCharacter(character), which);
            const quint32 glyph = glyphIndex(m_raw, character);
            QVERIFY2(m_raw.pathForGlyph(glyph).isEmpty(), which);
            QCOMPARE(m_raw.advancesForGlyphIndexes(QList<quint32> { glyph }).front().x(), 0.0);
        }
    }

    void spaceIsAnOrdinarySpace()
    {
        const quint32 space = glyphIndex(m_raw, QChar(u' '));
        QVERIFY(space != 0);
        QCOMPARE(
            glyphIndex(m_raw, QChar(char16_t(UrduGlyphFont::PrivateUseBase + SpaceCode))), space);
        QVERIFY(m_raw.pathForGlyph(space).isEmpty());
        QVERIFY(m_raw.advancesForGlyphIndexes(QList<quint32> { space }).front().x() > 0);
        // Glyph text keeps code 32 as U+0020, where Qt may break a line.
        QCOMPARE(displayCharacter(SpaceCode), QChar(u' '));
    }

    void lineHeightHoldsEveryGlyph()
    {
        const QSet<int> inked = inkedCodes();
        for (const int code : inked) {
            const QRectF bounds = m_raw.boundingRect(glyphIndex(m_raw, displayCharacter(code)));
            const QByteArray which = QByteArray::number(code);
            QVERIFY2(-bounds.top() <= m_raw.ascent() + 1, which);
            QVERIFY2(bounds.bottom() <= m_raw.descent() + 1, which);
        }
    }

    void joinedLettersMeet_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<bool>("joined");
        // Left to right: final, medial, initial, as "b b b" and the like are shaped.
        QTest::newRow("b b b") << Codes { 75, 74, 73 } << true;
        QTest::newRow("s s s") << Codes { 111, 110, 109 } << true;
        QTest::newRow("m m m") << Codes { 193, 192, 191 } << true;
        QTest::newRow("k k k") << Codes { 185, 184, 183 } << true;
        QTest::newRow("h h h") << Codes { 234, 233, 232 } << true;
        QTest::newRow("e e e") << Codes { 169, 168, 167 } << true;
        QTest::newRow("H H H") << Codes { 92, 90, 89 } << true;
        QTest::newRow("i i i") << Codes { 211, 206, 205 } << true;
        QTest::newRow("v v b") << Codes { 75, 161, 162 } << true;
        QTest::newRow("k L") << Codes { 221, 183 } << true;
        QTest::newRow("m H b t") << Codes { 79, 74, 90, 191 } << true;
        // Letters that do not join stand apart, and the scan must see it.
        QTest::newRow("b, b apart") << Codes { 76, 76 } << false;
        QTest::newRow("b a b") << Codes { 76, 66, 73 } << false;
    }
    void joinedLettersMeet()
    {
        QFETCH(Codes, codes);
        QFETCH(bool, joined);
        const InkSpan span = inkSpan(drawLarge(codes));
        QVERIFY(span.left >= 0);
        // A dot may stand out a pixel or two beyond the stroke it belongs to.
        const int overhang = 3;
        QCOMPARE(span.widestStroke + overhang > span.right - span.left, joined);
    }

    void displayRoundTripsEveryCode()
    {
        QByteArray all;
        for (int code = 0; code < 256; ++code)
            all.append(static_cast<char>(code));
        const QString shown = UrduGlyphFont::toDisplay(all);
        QCOMPARE(shown.size(), all.size());
        for (int code = 0; code < 256; ++code) {
            const char16_t expected
                = code == SpaceCode ? u' ' : char16_t(UrduGlyphFont::PrivateUseBase + code);
            QCOMPARE(shown.at(code).unicode(), expected);
        }
        QCOMPARE(UrduGlyphFont::fromDisplay(shown), all);
    }
};

QTEST_MAIN(tst_Qirtas1Font)
#include "tst_Qirtas1Font.moc"
