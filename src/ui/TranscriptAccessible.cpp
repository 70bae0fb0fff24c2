#include "ui/TranscriptAccessible.h"

#include "ui/TranscriptView.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    auto *view = qobject_cast<TranscriptView *>(object);
    if (className != u"TranscriptView" || !view)
        return nullptr;
    return new TranscriptAccessible(view);
}

} // namespace

TranscriptAccessible::TranscriptAccessible(QTextEdit *view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void TranscriptAccessible::install()
{
    QAccessible::installFactory(interfaceFor);
}

QTextEdit *TranscriptAccessible::view() const
{
    return static_cast<QTextEdit *>(widget());
}

const TranscriptReading &TranscriptAccessible::reading() const
{
    const int revision = view()->document()->revision();
    if (!m_reading || m_readingRevision != revision) {
        m_reading.emplace(*view()->document());
        m_readingRevision = revision;
    }
    return *m_reading;
}

void *TranscriptAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TranscriptAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return reading().text();
    if (kind == QAccessible::Name && view()->accessibleName().isEmpty())
        return view()->objectName();
    return QAccessibleWidget::text(kind);
}

QAccessible::State TranscriptAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.readOnly = view()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    return state;
}

void TranscriptAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = view()->textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection())
        return;
    *startOffset = reading().offsetOf(cursor.selectionStart());
    *endOffset = reading().offsetOf(cursor.selectionEnd());
    if (*startOffset > *endOffset)
        std::swap(*startOffset, *endOffset);
}

int TranscriptAccessible::selectionCount() const
{
    return view()->textCursor().hasSelection() ? 1 : 0;
}

void TranscriptAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TranscriptAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = view()->textCursor();
    cursor.clearSelection();
    view()->setTextCursor(cursor);
}

void TranscriptAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = view()->textCursor();
    cursor.setPosition(reading().positionAt(startOffset));
    cursor.setPosition(reading().positionAt(endOffset), QTextCursor::KeepAnchor);
    view()->setTextCursor(cursor);
}

int TranscriptAccessible::cursorPosition() const
{
    return reading().offsetOf(view()->textCursor().position());
}

void TranscriptAccessible::setCursorPosition(int position)
{
    QTextCursor cursor = view()->textCursor();
    cursor.setPosition(reading().positionAt(position));
    view()->setTextCursor(cursor);
}

QString TranscriptAccessible::text(int startOffset, int endOffset) const
{
    const QString &text = reading().text();
    if (endOffset < 0 || endOffset > text.size())
        endOffset = int(text.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return text.mid(startOffset, endOffset - startOffset);
}

int TranscriptAccessible::characterCount() const
{
    return int(reading().text().size());
}

QRect TranscriptAccessible::characterRect(int offset) const
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(reading().positionAt(offset));
    const QRect caret = view()->cursorRect(cursor);
    return QRect(view()->viewport()->mapToGlobal(caret.topLeft()), caret.size());
}

int TranscriptAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint inside = view()->viewport()->mapFromGlobal(point);
    return reading().offsetOf(view()->cursorForPosition(inside).position());
}

void TranscriptAccessible::scrollToSubstring(int startIndex, int)
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(reading().positionAt(startIndex));
    view()->setTextCursor(cursor);
    view()->ensureCursorVisible();
}

QString TranscriptAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
