#include "controls/UrduLineEdit.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <cmath>

namespace {

// The line edit leaves this much room between its contents' edges and the text.
constexpr int HorizontalMargin = 2;
constexpr int VerticalMargin = 1;
// The line edit's text is never shorter than this.
constexpr int MinimumLineHeight = 14;

} // namespace

UrduLineEdit::UrduLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(&m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretShown = !m_caretShown;
        update();
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_drawnFont)
            m_layout.setText(text);
        showCaret();
    });
    connect(this, &QLineEdit::cursorPositionChanged, this, &UrduLineEdit::showCaret);
    connect(this, &QLineEdit::selectionChanged, this, &UrduLineEdit::showCaret);
}

void UrduLineEdit::setDrawnFont(const std::optional<QFont> &font)
{
    m_drawnFont = font;
    if (font) {
        // Lays the text out for editing at a small cost; drawn only as a password's mask.
        QFont plain(QStringLiteral("DejaVu Sans"));
        plain.setPointSizeF(font->pointSizeF());
        setFont(plain);
        m_layout.setFont(*font);
        m_layout.setText(text());
    } else {
        m_layout.setText({});
    }
    updateGeometry();
    update();
}

bool UrduLineEdit::drawsItself() const
{
    return m_drawnFont && echoMode() == QLineEdit::Normal;
}

int UrduLineEdit::positionAt(QPoint point)
{
    return drawsItself() ? positionAt(qreal(point.x())) : cursorPositionAt(point);
}

int UrduLineEdit::positionAt(qreal x) const
{
    return m_layout.xToCursor(x - textLeft());
}

// As the line edit reckons it, but for the width: the line edit measures an x of its font,
// which the glyph font lacks, and finding one in another font costs milliseconds of the
// program's start. The box's width is always its container's; its height is what counts.
QSize UrduLineEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const QMargins text = textMargins();
    const QMargins contents = contentsMargins();
    const int line = std::max(metrics.height(), std::max(MinimumLineHeight, iconSize - 2));
    const int height = line + 2 * VerticalMargin + text.top() + text.bottom() + contents.top()
        + contents.bottom();
    const int width = metrics.averageCharWidth() * 17 + 2 * HorizontalMargin + text.left()
        + text.right() + contents.left() + contents.right();
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return withDrawnLine(
        style()->sizeFromContents(QStyle::CT_LineEdit, &panel, QSize(width, height), this));
}

QSize UrduLineEdit::minimumSizeHint() const
{
    return withDrawnLine(QLineEdit::minimumSizeHint());
}

// The line edit's own size holds a line of its plain font; the drawn line may be taller.
QSize UrduLineEdit::withDrawnLine(QSize size) const
{
    if (!m_drawnFont)
        return size;
    const int own = std::max(fontMetrics().height(), MinimumLineHeight);
    const int drawn = std::max(int(std::ceil(m_layout.height())), MinimumLineHeight);
    size.rheight() += std::max(drawn - own, 0);
    return size;
}

QVariant UrduLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImCursorRectangle || !drawsItself())
        return QLineEdit::inputMethodQuery(query);
    const QRect area = textArea();
    const qreal x = textLeft() + m_layout.cursorToX(cursorPosition());
    return QRectF(x, area.y(), 1, area.height()).toAlignedRect();
}

QRect UrduLineEdit::textArea() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.marginsRemoved(textMargins())
        .adjusted(HorizontalMargin, VerticalMargin, -HorizontalMargin, -VerticalMargin);
}

// Where the line's left edge is drawn: placed by the alignment when the line fits, scrolled to
// the caret when it does not.
qreal UrduLineEdit::textLeft() const
{
    const QRect area = textArea();
    const qreal room = area.width() - m_layout.width();
    if (room < 0)
        return area.left() - m_scroll;
    const Qt::Alignment aligned = QStyle::visualAlignment(layoutDirection(), alignment());
    if (aligned & Qt::AlignRight)
        return area.left() + room;
    if (aligned & Qt::AlignHCenter)
        return area.left() + room / 2;
    return area.left();
}

// As the line edit scrolls its own text: just far enough to show the caret, and never so far
// that room is left beyond the line's end.
void UrduLineEdit::scrollToCaret()
{
    const qreal room = textArea().width();
    const qreal width = m_layout.width();
    const qreal caret = m_layout.cursorToX(cursorPosition());
    if (width <= room)
        m_scroll = 0;
    else if (caret - m_scroll >= room)
        m_scroll = caret - room + 1;
    else if (caret < m_scroll)
        m_scroll = caret;
    else if (width - m_scroll < room)
        m_scroll = width - room;
}

void UrduLineEdit::showCaret()
{
    m_caretShown = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_drawnFont && hasFocus() && flashTime > 0)
        m_caretBlink.start(flashTime / 2);
    update();
}

void UrduLineEdit::paintEvent(QPaintEvent *event)
{
    if (!drawsItself()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = textArea();
    painter.setClipRect(area);
    scrollToCaret();
    const qreal left = textLeft();
    const qreal top = area.y() + (area.height() - m_layout.height() + 1) / 2;
    NastaliqLineLayout::Selection selection;
    if (hasSelectedText())
        selection = { selectionStart(), selectionEnd(), palette().color(QPalette::Highlight),
            palette().color(QPalette::HighlightedText) };
    painter.setPen(palette().color(QPalette::Text));
    m_layout.draw(painter, { left, top }, area.left() - left, area.right() + 1 - left, selection);
    if (m_caretShown && hasFocus() && !isReadOnly())
        painter.fillRect(
            QRectF(left + m_layout.cursorToX(cursorPosition()), top, 1, m_layout.height()),
            palette().color(QPalette::Text));
}

// The line edit would place the caret by its own layout, which is not what is drawn.
void UrduLineEdit::mousePressEvent(QMouseEvent *event)
{
    if (!drawsItself() || event->button() == Qt::RightButton) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    const int position = positionAt(event->position().x());
    if (event->modifiers() & Qt::ShiftModifier) {
        if (hasSelectedText())
            m_anchor = cursorPosition() == selectionStart() ? selectionEnd() : selectionStart();
        else
            m_anchor = cursorPosition();
        setSelection(m_anchor, position - m_anchor);
    } else {
        m_anchor = position;
        setCursorPosition(position);
    }
}

void UrduLineEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (!drawsItself()) {
        QLineEdit::mouseMoveEvent(event);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int position = positionAt(event->position().x());
    if (position != cursorPosition())
        setSelection(m_anchor, position - m_anchor);
}

void UrduLineEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!drawsItself() || event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    const auto [start, end] = m_layout.wordAround(positionAt(event->position().x()));
    m_anchor = start;
    setSelection(start, end - start);
}

void UrduLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    showCaret();
}

void UrduLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_caretBlink.stop();
}
