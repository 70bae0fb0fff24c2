#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

class QPainter;
class QTextLayout;

// One line of Unicode Urdu laid out from right to left in a Nastaliq font, a word at a time.
// Shaping Nastaliq is slow (a line of a thousand letters takes milliseconds) and letters never
// join across a blank, so each word is shaped once and kept: an edit shapes only the words it
// made. Offsets count characters of the text in reading order; x counts from the line's left.
class NastaliqLineLayout
{
public:
    NastaliqLineLayout();
    ~NastaliqLineLayout();
    NastaliqLineLayout(const NastaliqLineLayout &) = delete;
    NastaliqLineLayout &operator=(const NastaliqLineLayout &) = delete;

    const QFont &font() const { return m_font; }
    void setFont(const QFont &font);
    const QString &text() const { return m_text; }
    void setText(const QString &text);

    qreal width() const { return m_width; }
    qreal ascent() const { return m_ascent; }
    qreal height() const { return m_height; }

    // Where the caret at `offset` stands.
    qreal cursorToX(int offset) const;
    // The caret nearest to `x`.
    int xToCursor(qreal x) const;
    // The word, or the run of blanks, that holds the character at `offset`: where it begins and
    // where it ends.
    std::pair<int, int> wordAround(int offset) const;

    struct Selection
    {
        int start = 0;
        int end = 0;
        QColor background;
        QColor foreground;
    };
    // Draws the words that meet [visibleLeft, visibleRight) with the line's top left at `origin`,
    // in the painter's pen, the selected characters in the selection's colours.
    void draw(QPainter &painter, QPointF origin, qreal visibleLeft, qreal visibleRight,
        const Selection &selection) const;

    // How many words are kept shaped.
    qsizetype keptWords() const { return m_shapedWords.size(); }

private:
    // A word, or a run of blanks (no layout), in reading order; `left` is its left edge.
    struct Piece
    {
        int start;
        int length;
        qreal left;
        qreal width;
        std::shared_ptr<const QTextLayout> layout;

        int end() const { return start + length; }
    };

    std::shared_ptr<const QTextLayout> shaped(const QString &word);
    void forgetUnusedWords();
    const Piece *pieceAt(int offset) const;

    QFont m_font;
    qreal m_blankWidth = 0;
    qreal m_ascent = 0;
    qreal m_height = 0;
    QString m_text;
    QList<Piece> m_pieces;
    qreal m_width = 0;
    QHash<QString, std::shared_ptr<const QTextLayout>> m_shapedWords;
};
