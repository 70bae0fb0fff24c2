#include "controls/UrduTextAccessible.h"

#include "controls/UrduLineEdit.h"
#include "controls/UrduText.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduUnicode.h"

namespace {

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    auto *box = qobject_cast<UrduLineEdit *>(object);
    if (className != u"UrduLineEdit" || !box || !qobject_cast<UrduText *>(box->parentWidget()))
        return nullptr;
    return new UrduTextAccessible(box);
}

// The handler that was installed before ours, which every event goes on to.
QAccessible::UpdateHandler nextHandler = nullptr;

void passOn(QAccessibleEvent *event)
{
    if (nextHandler) {
        nextHandler(event);
        return;
    }
    // No handler before ours: Qt's own delivery, which runs while none is installed.
    const QAccessible::UpdateHandler ours = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(ours);
}

// The Unicode Urdu a box's own text reads as: its glyph font's characters in Naskh, the Urdu
// itself in Nastaliq.
QString readingOf(const UrduText &control, const QString &boxText)
{
    if (control.script() == UrduScript::Nastaliq)
        return boxText;
    return UrduUnicode::fromGlyphs(UrduGlyphFont::fromDisplay(boxText));
}

// A box tells its changes as its own text: in Naskh the glyph font's characters, which a screen
// reader would speak as nothing, and the whole line at each key in either script. They are told
// again as the Unicode Urdu that changed.
void tellReadably(QAccessibleEvent *event)
{
    const std::optional<UrduTextAccessible::Change> change
        = UrduTextAccessible::readableChange(*event);
    if (!change) {
        passOn(event);
        return;
    }
    QAccessibleTextUpdateEvent readable(
        event->object(), change->position, change->removed, change->inserted);
    passOn(&readable);
}

} // namespace

std::optional<UrduTextAccessible::Change> UrduTextAccessible::readableChange(
    const QAccessibleEvent &event)
{
    auto *box = qobject_cast<UrduLineEdit *>(event.object());
    const auto *control = box ? qobject_cast<UrduText *>(box->parentWidget()) : nullptr;
    const QAccessible::Event type = event.type();
    if (!control || box->echoMode() != QLineEdit::Normal
        || (type != QAccessible::TextInserted && type != QAccessible::TextRemoved
            && type != QAccessible::TextUpdated))
        return std::nullopt;
    // The box has changed already: the text before is the change undone.
    QString before = box->text();
    if (type == QAccessible::TextInserted) {
        const auto &insert = static_cast<const QAccessibleTextInsertEvent &>(event);
        before.remove(insert.changePosition(), insert.textInserted().size());
    } else if (type == QAccessible::TextRemoved) {
        const auto &remove = static_cast<const QAccessibleTextRemoveEvent &>(event);
        before.insert(remove.changePosition(), remove.textRemoved());
    } else {
        const auto &update = static_cast<const QAccessibleTextUpdateEvent &>(event);
        before.replace(update.changePosition(), update.textInserted().size(), update.textRemoved());
    }
    const QString old = readingOf(*control, before);
    const QString now = readingOf(*control, box->text());
    qsizetype same = 0;
    while (same < old.size() && same < now.size() && old.at(same) == now.at(same))
        ++same;
    qsizetype sameAtEnd = 0;
    while (sameAtEnd < old.size() - same && sameAtEnd < now.size() - same
        && old.at(old.size() - 1 - sameAtEnd) == now.at(now.size() - 1 - sameAtEnd))
        ++sameAtEnd;
    return Change { int(same), old.mid(same, old.size() - same - sameAtEnd),
        now.mid(same, now.size() - same - sameAtEnd) };
}

UrduTextAccessible::UrduTextAccessible(UrduLineEdit *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

void UrduTextAccessible::install()
{
    QAccessible::installFactory(interfaceFor);
    static const bool handling = [] {
        nextHandler = QAccessible::installUpdateHandler(tellReadably);
        return true;
    }();
    Q_UNUSED(handling);
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
