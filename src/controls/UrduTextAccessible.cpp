#include "controls/UrduTextAccessible.h"

#include "controls/UrduLineEdit.h"
#include "controls/UrduText.h"

namespace {

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    auto *box = qobject_cast<UrduLineEdit *>(object);
    if (className != u"UrduLineEdit" || !box || !qobject_cast<UrduText *>(box->parentWidget()))
        return nullptr;
    return new UrduTextAccessible(box);
}

} // namespace

UrduTextAccessible::UrduTextAccessible(UrduLineEdit *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

void UrduTextAccessible::install()
{
    QAccessible::installFactory(interfaceFor);
}

UrduLineEdit *UrduTextAccessible::box() const
{
    return static_cast<UrduLineEdit *>(widget());
}

UrduText *UrduTextAccessible::control() const
{
    return static_cast<UrduText *>(box()->parentWidget());
}

// A password box gives away its length only, as the desktop's own boxes do.
QString UrduTextAccessible::shownText() const
{
    const QString reading = control()->readingText();
    if (box()->echoMode() == QLineEdit::Normal)
        return reading;
    const QString mask = control()->PasswordChar();
    return QString(reading.size(), mask.isEmpty() ? QChar(u'*') : mask.front());
}

void *UrduTextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString UrduTextAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return shownText();
    if (kind == QAccessible::Name && control()->accessibleName().isEmpty())
        return control()->objectName();
    return QAccessibleWidget::text(kind);
}

QAccessible::State UrduTextAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = control()->Locked();
    state.passwordEdit = box()->echoMode() != QLineEdit::Normal;
    return state;
}

void UrduTextAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !box()->hasSelectedText())
        return;
    const int first = control()->readingOffset(box()->selectionStart());
    const int second = control()->readingOffset(box()->selectionEnd());
    *startOffset = std::min(first, second);
    *endOffset = std::max(first, second);
}

int UrduTextAccessible::selectionCount() const
{
    return box()->hasSelectedText() ? 1 : 0;
}

void UrduTextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void UrduTextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        box()->deselect();
}

void UrduTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int start = control()->boxPosition(startOffset);
    box()->setSelection(start, control()->boxPosition(endOffset) - start);
}

int UrduTextAccessible::cursorPosition() const
{
    return control()->readingOffset(box()->cursorPosition());
}

void UrduTextAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(control()->boxPosition(position));
}

QString UrduTextAccessible::text(int startOffset, int endOffset) const
{
    const QString shown = shownText();
    if (endOffset < 0 || endOffset > shown.size())
        endOffset = int(shown.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return shown.mid(startOffset, endOffset - startOffset);
}

int UrduTextAccessible::characterCount() const
{
    return int(control()->readingText().size());
}

// The box lays its characters out itself; the whole box is as near as it tells.
QRect UrduTextAccessible::characterRect(int) const
{
    return rect();
}

int UrduTextAccessible::offsetAtPoint(const QPoint &point) const
{
    return control()->readingOffset(box()->positionAt(box()->mapFromGlobal(point)));
}

void UrduTextAccessible::scrollToSubstring(int startIndex, int)
{
    setCursorPosition(startIndex);
}

QString UrduTextAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
