#include "urdu/NastaliqLineLayout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isBlank(QChar character)
{
    return character == u' ';
}

bool isDigit(QStringView word, int index)
{
    if (index < 0 || index >= word.size())
        return false;
    const QChar::Direction direction = word.at(index).direction();
    return direction == QChar::DirEN || direction == QChar::DirAN;
}

// A digit, or a separator between two digits (1,000 12:30 3.14), as the desktop's bidirectional
// layout joins them into one number that reads left to right.
bool isNumberPart(QStringView word, int index)
{
    if (isDigit(word, index))
        return true;
    if (index < 0 || index >= word.size())
        return false;
    const QChar::Direction direction = word.at(index).direction();
    return (direction == QChar::DirCS || direction == QChar::DirES || direction == QChar::DirET)
        && isDigit(word, index - 1) && isDigit(word, index + 1);
}

// Where the glyphs of the characters [start, end) of a line begin and end, by their advances;
// nothing when they have no glyphs.
std::optional<std::pair<qreal, qreal>> advanceExtent(const QTextLine &line, int start, int end)
{
    std::optional<std::pair<qreal, qreal>> extent;
    for (const QGlyphRun &run : line.glyphRuns(start, end - start)) {
        const QList<QPointF> positions = run.positions();
        const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
        for (qsizetype glyph = 0; glyph < positions.size(); ++glyph) {
            const qreal left = positions.at(glyph).x();
            const qreal right = left + advances.at(glyph).x();
            extent = extent
                ? std::pair(std::min(extent->first, left), std::max(extent->second, right))
                : std::pair(left, right);
        }
    }
    return extent;
}

} // namespace

NastaliqLineLayout::NastaliqLineLayout() = default;
NastaliqLineLayout::~NastaliqLineLayout() = default;

void NastaliqLineLayout::setFont(const QFont &font)
{
    m_font = font;
    const QFontMetricsF metrics(font);
    m_blankWidth = metrics.horizontalAdvance(u' ');
    m_ascent = metrics.ascent();
    m_height = metrics.height();
    m_shapedWords.clear();
    const QString text = std::exchange(m_text, QString());
    setText(text);
}

// The pieces are placed from the right in reading order: Urdu reads right to left, and so do
// numbers among words, each of which its own layout draws left to right.
void NastaliqLineLayout::setText(const QString &text)
{
    if (text == m_text && !m_pieces.isEmpty())
        return;
    m_text = text;
    m_pieces.clear();
    qreal right = 0;
    for (int start = 0; start < text.size();) {
        const bool blanks = isBlank(text.at(start));
        int end = start + 1;
        while (end < text.size() && isBlank(text.at(end)) == blanks)
            ++end;
        Piece piece { start, end - start, 0, 0, nullptr };
        if (blanks) {
            piece.width = piece.length * m_blankWidth;
        } else {
            piece.layout = shaped(text.mid(start, piece.length));
            piece.width = piece.layout->lineAt(0).horizontalAdvance();
        }
        right -= piece.width;
        piece.left = right;
        m_pieces.append(piece);
        start = end;
    }
    m_width = -right;
    for (Piece &piece : m_pieces)
        piece.left += m_width;
    forgetUnusedWords();
}

std::shared_ptr<const QTextLayout> NastaliqLineLayout::shaped(const QString &word)
{
    std::shared_ptr<const QTextLayout> &kept = m_shapedWords[word];
    if (kept)
        return kept;
    auto layout = std::make_shared<QTextLayout>(word, m_font);
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    option.setWrapMode(QTextOption::NoWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    layout->createLine();
    layout->endLayout();
    kept = layout;
    return kept;
}

// Words typed and taken back would otherwise be kept for the life of the box.
void NastaliqLineLayout::forgetUnusedWords()
{
    if (m_shapedWords.size() <= 2 * m_pieces.size() + 64)
        return;
    QHash<QString, std::shared_ptr<const QTextLayout>> used;
    for (const Piece &piece : std::as_const(m_pieces)) {
        if (piece.layout)
            used.insert(piece.layout->text(), piece.layout);
    }
    m_shapedWords.swap(used);
}

// A caret between a word and blanks is placed by the blanks: at the word's edge that meets them,
// which is where a number at that end of the word ends too.
const NastaliqLineLayout::Piece *NastaliqLineLayout::pieceAt(int offset) const
{
    const Piece *found = nullptr;
    for (const Piece &piece : m_pieces) {
        if (offset < piece.start)
            break;
        if (offset <= piece.end() && (!found || !piece.layout))
            found = &piece;
    }
    return found;
}

// A caret stands where the next letter typed there will appear. Reading starts at the right end
// and finishes at the left; where letters meet a number, which reads left to right, the caret
// stands at the number's edge next to those letters, not at its far edge as Qt puts it.
qreal NastaliqLineLayout::cursorToX(int offset) const
{
    offset = std::clamp(offset, 0, int(m_text.size()));
    if (offset == 0)
        return m_width;
    if (offset == m_text.size())
        return 0;
    const Piece *piece = pieceAt(offset);
    if (!piece->layout)
        return piece->left + piece->width - (offset - piece->start) * m_blankWidth;
    const QTextLine line = piece->layout->lineAt(0);
    const QString &word = piece->layout->text();
    const int within = offset - piece->start;
    const bool numberBefore = isNumberPart(word, within - 1);
    const bool numberAfter = isNumberPart(word, within);
    if (numberAfter && !numberBefore) {
        int end = within + 1;
        while (isNumberPart(word, end))
            ++end;
        if (const auto number = advanceExtent(line, within, end))
            return piece->left + number->second;
    } else if (numberBefore && !numberAfter) {
        int start = within - 1;
        while (isNumberPart(word, start - 1))
            --start;
        if (const auto number = advanceExtent(line, start, within))
            return piece->left + number->first;
    }
    return piece->left + line.cursorToX(within);
}

// The caret drawn nearest to x among those of the piece under it. Qt's own hit test of a word
// can answer a caret drawn elsewhere where a number meets letters.
int NastaliqLineLayout::xToCursor(qreal x) const
{
    if (m_pieces.isEmpty())
        return 0;
    const auto under = std::find_if(
        m_pieces.cbegin(), m_pieces.cend(), [x](const Piece &piece) { return x >= piece.left; });
    const Piece &piece = under == m_pieces.cend() ? m_pieces.constLast() : *under;
    int nearest = 0;
    qreal distance = std::numeric_limits<qreal>::max();
    for (int offset = piece.start; offset <= piece.end(); ++offset) {
        const qreal away = std::abs(cursorToX(offset) - x);
        if (away < distance) {
            nearest = offset;
            distance = away;
        }
    }
    return nearest;
}

std::pair<int, int> NastaliqLineLayout::wordAround(int offset) const
{
    for (const Piece &piece : m_pieces) {
        if (offset < piece.end() || &piece == &m_pieces.constLast())
            return { piece.start, piece.end() };
    }
    return { 0, 0 };
}

void NastaliqLineLayout::draw(QPainter &painter, QPointF origin, qreal visibleLeft,
    qreal visibleRight, const Selection &selection) const
{
    for (const Piece &piece : m_pieces) {
        if (piece.left >= visibleRight || piece.left + piece.width <= visibleLeft)
            continue;
        const int selectedStart = std::max(selection.start, piece.start) - piece.start;
        const int selectedEnd = std::min(selection.end, piece.end()) - piece.start;
        const QPointF topLeft(origin.x() + piece.left, origin.y());
        if (!piece.layout) {
            if (selectedStart < selectedEnd)
                painter.fillRect(
                    QRectF(topLeft.x() + piece.width - selectedEnd * m_blankWidth, topLeft.y(),
                        (selectedEnd - selectedStart) * m_blankWidth, m_height),
                    selection.background);
            continue;
        }
        QList<QTextLayout::FormatRange> selected;
        if (selectedStart < selectedEnd) {
            QTextCharFormat format;
            format.setBackground(selection.background);
            format.setForeground(selection.foreground);
            selected.append({ selectedStart, selectedEnd - selectedStart, format });
        }
        // Every word sits on the line's baseline, whatever its own line's ascent.
        const qreal shift = m_ascent - piece.layout->lineAt(0).ascent();
        piece.layout->draw(&painter, topLeft + QPointF(0, shift), selected);
    }
}
