#include "controls/UrduText.h"

#include "chat/ColorNumber.h"
#include "controls/UrduLineEdit.h"
#include "controls/UrduTextAccessible.h"
#include "controls/VirtualKey.h"
#include "resources/StringTable.h"
#include "urdu/NastaliqFont.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduNumberRuns.h"
#include "urdu/UrduUnicode.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>
#include <array>

namespace {

constexpr qint32 MouseIconPointer = 99;

// The classic pointer numbers 0 to 15 as Qt cursor shapes; 0 is the box's own pointer.
constexpr std::array<Qt::CursorShape, 16> PointerShapes {
    Qt::IBeamCursor, // 0 default of a text box
    Qt::ArrowCursor,
    Qt::CrossCursor,
    Qt::IBeamCursor,
    Qt::ArrowCursor, // 4 icon
    Qt::SizeAllCursor, // 5 size
    Qt::SizeBDiagCursor,
    Qt::SizeVerCursor,
    Qt::SizeFDiagCursor,
    Qt::SizeHorCursor,
    Qt::UpArrowCursor,
    Qt::WaitCursor,
    Qt::ForbiddenCursor,
    Qt::BusyCursor,
    Qt::WhatsThisCursor,
    Qt::SizeAllCursor,
};

Qt::Alignment toQtAlignment(qint32 alignment)
{
    // Absolute: the box is laid out from right to left in Nastaliq, and its right stays right.
    switch (alignment) {
    case 0:
        return Qt::AlignAbsolute | Qt::AlignLeft | Qt::AlignVCenter;
    case 2:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter;
    }
}

} // namespace

UrduText::UrduText(QWidget *parent, Desktop *desktop)
    : QWidget(parent)
    , m_desktop(desktop)
    , m_txtMain(new UrduLineEdit(this))
    , m_backColor(ColorNumber::WindowBackground)
    , m_foreColor(ColorNumber::WindowText)
{
    UrduGlyphFont::install();
    UrduTextAccessible::install();
    m_txtMain->setObjectName(QStringLiteral("txtMain"));
    m_txtMain->setAlignment(toQtAlignment(m_alignment));
    m_txtMain->setMaxLength(UrduKeyEditor::MaxLength);
    // What an input method commits is typed as keys (see inputMethodCommitted).
    m_txtMain->setAttribute(Qt::WA_InputMethodEnabled, true);
    m_txtMain->setContextMenuPolicy(Qt::PreventContextMenu);
    m_txtMain->setMouseTracking(true);
    m_txtMain->setCursorMoveStyle(Qt::VisualMoveStyle);
    m_txtMain->installEventFilter(this);
    setFocusProxy(m_txtMain);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A drop would put the dragged characters into the box unshaped.
    m_txtMain->setAcceptDrops(false);
    connect(m_txtMain, &QLineEdit::textChanged, this, &UrduText::boxTextChanged);
    connect(m_txtMain, &QLineEdit::selectionChanged, this, &UrduText::keepNumbersWhole);
    if (QApplication::clipboard()->supportsSelection())
        connect(QApplication::clipboard(), &QClipboard::selectionChanged, this,
            &UrduText::keepSelectionReadable);
    applyFont(UrduGlyphFont::font(DefaultPointSize));
}

void UrduText::setBackColor(qint32 color)
{
    m_backColor = color;
    applyColors();
}

void UrduText::setForeColor(qint32 color)
{
    m_foreColor = color;
    applyColors();
}

QFont UrduText::font() const
{
    return m_glyphFont;
}

void UrduText::setFont(const QFont &font)
{
    if (!font.family().startsWith(UrduGlyphFont::familyPrefix())) {
        m_desktop->messageBox(this, StringTable::text(StringTable::SelectQirtasFont),
            Desktop::Icon::Information, Desktop::Buttons::Ok);
        return;
    }
    applyFont(font);
}

void UrduText::setBorderStyle(qint32 style)
{
    m_borderStyle = style;
    m_txtMain->setFrame(style != 0);
    fitHeight();
}

void UrduText::setAlignment(qint32 alignment)
{
    if (alignment < 0 || alignment > 2)
        return;
    m_alignment = alignment;
    m_txtMain->setAlignment(toQtAlignment(alignment));
}

bool UrduText::Locked() const
{
    return m_editor.isLocked();
}

void UrduText::setLocked(bool locked)
{
    m_editor.setLocked(locked);
    m_txtMain->setReadOnly(locked);
}

void UrduText::setMouseIcon(const QPixmap &icon)
{
    m_mouseIcon = icon;
    setMousePointer(m_mousePointer);
}

void UrduText::setMousePointer(qint32 pointer)
{
    m_mousePointer = pointer;
    if (pointer == MouseIconPointer && !m_mouseIcon.isNull())
        m_txtMain->setCursor(QCursor(m_mouseIcon));
    else if (pointer > 0 && pointer < qint32(PointerShapes.size()))
        m_txtMain->setCursor(PointerShapes[static_cast<std::size_t>(pointer)]);
    else
        m_txtMain->unsetCursor();
}

void UrduText::setPasswordChar(const QString &mask)
{
    m_passwordChar = mask.left(1);
    m_txtMain->setEchoMode(m_passwordChar.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

UrduKeyText UrduText::Text() const
{
    return m_editor.orgText();
}

void UrduText::setText(const UrduKeyText &keys)
{
    m_editor.setText(keys);
    showEditor();
}

UrduKeyText UrduText::EditText() const
{
    return m_editor.editText();
}

void UrduText::setAppearance(qint32 appearance)
{
    m_appearance = appearance;
}

void UrduText::setSelStart(qint32 start)
{
    m_selStart = start;
}

void UrduText::setSelLength(qint32 length)
{
    m_selLength = length;
}

void UrduText::setSelText(const QString &text)
{
    m_selText = text;
}

void UrduText::copy()
{
    if (canCopy())
        QApplication::clipboard()->setMimeData(selectedMimeData().release());
}

std::unique_ptr<QMimeData> UrduText::selectedMimeData()
{
    takeBoxSelection();
    return UrduUnicode::mimeData(
        m_editor.shown().mid(m_editor.selectionStart(), m_editor.selectionLength()));
}

// The box puts what it selects on the desktop's selection clipboard as the characters it
// draws, which read as nothing elsewhere; they are put there again as Urdu, as a copy would.
void UrduText::keepSelectionReadable()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!canCopy() || !clipboard->ownsSelection())
        return;
    const QMimeData *held = clipboard->mimeData(QClipboard::Selection);
    if (!held || held->hasFormat(UrduUnicode::glyphMimeType())
        || held->text() != m_txtMain->selectedText())
        return;
    clipboard->setMimeData(selectedMimeData().release(), QClipboard::Selection);
}

void UrduText::cut()
{
    if (!canCopy())
        return;
    copy();
    if (m_editor.typeCharacter(UrduKeyEditor::Backspace))
        showEditor();
}

// As in any text box, a password box gives nothing away.
bool UrduText::canCopy() const
{
    return m_txtMain->hasSelectedText() && m_txtMain->echoMode() == QLineEdit::Normal;
}

void UrduText::paste()
{
    pasteFrom(QClipboard::Clipboard);
}

void UrduText::pasteFrom(QClipboard::Mode mode)
{
    const QMimeData *data = QApplication::clipboard()->mimeData(mode);
    if (!data || m_editor.isLocked())
        return;
    const UrduUnicode::Typed typed = UrduUnicode::keysFrom(*data);
    typeKeys(typed.keys);
    tellLeftOut(typed.dropped);
}

void UrduText::tellLeftOut(int dropped)
{
    if (dropped == 0)
        return;
    const QString message = dropped == 1
        ? tr("1 character could not be typed in Urdu and was left out.")
        : tr("%1 characters could not be typed in Urdu and were left out.").arg(dropped);
    m_desktop->messageBox(this, message, Desktop::Icon::Information, Desktop::Buttons::Ok);
}

// Text from the desktop's keyboard layout or an input method: each key it stands for is typed
// as if its own key had been pressed, and what no key draws is told once.
void UrduText::typeText(QStringView text)
{
    if (m_editor.isLocked())
        return;
    const UrduUnicode::Typed typed = UrduUnicode::typedKeys(text);
    for (const char key : typed.keys)
        typeCharacter(static_cast<quint8>(key));
    tellLeftOut(typed.dropped);
}

// The box shows only shaped text, so an input method's unfinished text is not shown in it;
// what it commits is typed.
bool UrduText::inputMethodCommitted(const QInputMethodEvent &event)
{
    if (!event.commitString().isEmpty())
        typeText(event.commitString());
    return true;
}

// The keys go in at the caret as if typed there one by one, in a single shaping: the
// caret stays left of them, which is after them in reading order.
void UrduText::typeKeys(const UrduKeyText &keys)
{
    takeBoxSelection();
    if (m_editor.hasSelection())
        m_editor.typeCharacter(UrduKeyEditor::Backspace);
    const int caret = m_editor.caret();
    UrduKeyText text = m_editor.editText();
    const qsizetype room = UrduKeyEditor::MaxLength - text.size();
    text.insert(text.size() - caret, keys.left(std::max<qsizetype>(room, 0)));
    const UrduGlyphText shaped = ShapeUrdu(text);
    m_editor.restore(shaped, UnshapeUrdu(shaped));
    m_editor.setCaret(caret);
    showEditor();
}

// One saved property: its key in the container's property store, how its value is read and
// restored, and the value it takes when the key is missing (and need not be written).
struct UrduText::SavedProperty
{
    QStringView key;
    QVariant (*read)(const UrduText &control);
    void (*write)(UrduText &control, const QVariant &value);
    QVariant (*byDefault)(const UrduText &control);
};

// In the order they are restored: the box's text before OrgText, so that the saved key text,
// not the one read from the glyphs, is what the control reports; the stored selection values
// before SelText, which selects them in the box.
std::span<const UrduText::SavedProperty> UrduText::savedProperties()
{
    using Control = const UrduText &;
    using Value = const QVariant &;
    static const SavedProperty properties[] = {
        { u"BackColor", [](Control c) -> QVariant { return c.m_backColor; },
            [](UrduText &c, Value v) { c.setBackColor(v.value<qint32>()); },
            [](Control) -> QVariant { return ColorNumber::WindowBackground; } },
        { u"ForeColor", [](Control c) -> QVariant { return c.m_foreColor; },
            [](UrduText &c, Value v) { c.setForeColor(v.value<qint32>()); },
            [](Control) -> QVariant { return ColorNumber::WindowText; } },
        { u"Enabled", [](Control c) -> QVariant { return c.isEnabled(); },
            [](UrduText &c, Value v) { c.setEnabled(v.toBool()); },
            [](Control) -> QVariant { return true; } },
        // Restored without the font check, as it was saved.
        { u"Font", [](Control c) -> QVariant { return c.font(); },
            [](UrduText &c, Value v) { c.applyFont(v.value<QFont>()); },
            [](Control c) -> QVariant { return c.ambientFont(); } },
        { u"BorderStyle", [](Control c) -> QVariant { return c.m_borderStyle; },
            [](UrduText &c, Value v) { c.setBorderStyle(v.value<qint32>()); },
            [](Control) -> QVariant { return qint32(1); } },
        { u"Alignment", [](Control c) -> QVariant { return c.m_alignment; },
            [](UrduText &c, Value v) { c.setAlignment(v.value<qint32>()); },
            [](Control) -> QVariant { return qint32(1); } },
        { u"Locked", [](Control c) -> QVariant { return c.Locked(); },
            [](UrduText &c, Value v) { c.setLocked(v.toBool()); },
            [](Control) -> QVariant { return false; } },
        // A picture has no equality: no picture reads as no value, which is the default.
        { u"MouseIcon",
            [](Control c) { return c.m_mouseIcon.isNull() ? QVariant() : QVariant(c.m_mouseIcon); },
            [](UrduText &c, Value v) { c.setMouseIcon(v.value<QPixmap>()); },
            [](Control) { return QVariant(); } },
        { u"MousePointer", [](Control c) -> QVariant { return c.m_mousePointer; },
            [](UrduText &c, Value v) { c.setMousePointer(v.value<qint32>()); },
            [](Control) -> QVariant { return qint32(0); } },
        { u"PasswordChar", [](Control c) -> QVariant { return c.m_passwordChar; },
            [](UrduText &c, Value v) { c.setPasswordChar(v.toString()); },
            [](Control) -> QVariant { return QString(); } },
        { u"Text", [](Control c) -> QVariant { return c.m_editor.shown(); },
            [](UrduText &c, Value v) {
                c.m_editor.showChanged(v.toByteArray());
                c.showEditor();
            },
            [](Control) -> QVariant { return QByteArray(); } },
        { u"OrgText", [](Control c) -> QVariant { return c.m_editor.orgText(); },
            [](UrduText &c, Value v) { c.m_editor.restore(c.m_editor.shown(), v.toByteArray()); },
            [](Control) -> QVariant { return QByteArray(); } },
        { u"Appearance", [](Control c) -> QVariant { return c.m_appearance; },
            [](UrduText &c, Value v) { c.setAppearance(v.value<qint32>()); },
            [](Control) -> QVariant { return qint32(1); } },
        { u"SelLength", [](Control c) -> QVariant { return c.m_selLength; },
            [](UrduText &c, Value v) { c.m_selLength = v.value<qint32>(); },
            [](Control) -> QVariant { return qint32(0); } },
        { u"SelStart", [](Control c) -> QVariant { return c.m_selStart; },
            [](UrduText &c, Value v) { c.m_selStart = v.value<qint32>(); },
            [](Control) -> QVariant { return qint32(0); } },
        // The selected text is only remembered: putting it into the box would insert a second
        // copy of text the box already holds.
        { u"SelText", [](Control c) -> QVariant { return c.m_selText; },
            [](UrduText &c, Value v) {
                c.m_selText = v.toString();
                c.m_editor.setSelection(c.m_selStart, c.m_selLength);
                c.showSelection();
            },
            [](Control) -> QVariant { return QString(); } },
    };
    return properties;
}

QStringList UrduText::savedKeys()
{
    QStringList keys;
    for (const SavedProperty &property : savedProperties())
        keys.append(property.key.toString());
    return keys;
}

QVariantMap UrduText::save() const
{
    QVariantMap saved;
    for (const SavedProperty &property : savedProperties()) {
        const QVariant value = property.read(*this);
        if (value != property.byDefault(*this))
            saved.insert(property.key.toString(), value);
    }
    return saved;
}

void UrduText::load(const QVariantMap &saved)
{
    for (const SavedProperty &property : savedProperties())
        property.write(*this, saved.value(property.key.toString(), property.byDefault(*this)));
}

QSize UrduText::sizeHint() const
{
    return m_txtMain->sizeHint();
}

QSize UrduText::minimumSizeHint() const
{
    return m_txtMain->minimumSizeHint();
}

bool UrduText::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_txtMain)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        keyReleased(static_cast<QKeyEvent *>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        mouseEvent(static_cast<QMouseEvent *>(event));
        return pastedSelection(*static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        break;
    case QEvent::InputMethod:
        return inputMethodCommitted(*static_cast<QInputMethodEvent *>(event));
    default:
        break;
    }
    return false;
}

void UrduText::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_txtMain->setGeometry(rect());
}

// True when the key is consumed, so that the box never sees it.
bool UrduText::keyPressed(QKeyEvent *event)
{
    if (clipboardChord(*event))
        return true;
    qint16 keyCode = VirtualKey::keyCode(event->key());
    qint16 shift = VirtualKey::shiftState(event->modifiers());
    emit KeyDown(keyCode, shift);
    // Delete and the period key are handled as characters at key-down: Delete has no
    // character of its own, and the period key types the full stop, code 190.
    if (keyCode == VirtualKey::Delete || keyCode == VirtualKey::PeriodKey) {
        typeCharacter(keyCode);
        return true;
    }
    if (std::any_of(event->text().cbegin(), event->text().cend(),
            [](QChar character) { return character.unicode() >= 0x80; })) {
        typeText(event->text());
        return true;
    }
    const int character = VirtualKey::characterOf(*event);
    if (character == VirtualKey::NoCharacter)
        return movedToEdge(*event);
    if (character != VirtualKey::Unrepresentable)
        typeCharacter(static_cast<qint16>(character));
    return true;
}

// The box's own clipboard would carry the font's private characters; these carry Urdu.
bool UrduText::clipboardChord(const QKeyEvent &event)
{
    if (event.matches(QKeySequence::Copy))
        copy();
    else if (event.matches(QKeySequence::Cut))
        cut();
    else if (event.matches(QKeySequence::Paste))
        paste();
    else
        return false;
    return true;
}

// Home goes to the box's left end and End to its right end, as they do in the glyph font's
// left-to-right line; in Nastaliq's right-to-left line the box's own Home goes the other way.
bool UrduText::movedToEdge(const QKeyEvent &event)
{
    const bool home = event.key() == Qt::Key_Home;
    if (m_script != UrduScript::Nastaliq || (!home && event.key() != Qt::Key_End))
        return false;
    const bool mark = event.modifiers() & Qt::ShiftModifier;
    if (home)
        m_txtMain->end(mark);
    else
        m_txtMain->home(mark);
    return true;
}

void UrduText::keyReleased(QKeyEvent *event)
{
    qint16 keyCode = VirtualKey::keyCode(event->key());
    qint16 shift = VirtualKey::shiftState(event->modifiers());
    emit KeyUp(keyCode, shift);
}

void UrduText::mouseEvent(QMouseEvent *event)
{
    qint16 shift = VirtualKey::shiftState(event->modifiers());
    auto x = static_cast<float>(event->position().x());
    auto y = static_cast<float>(event->position().y());
    if (event->type() == QEvent::MouseMove) {
        qint16 buttons = VirtualKey::mouseButtons(event->buttons());
        emit MouseMove(buttons, shift, x, y);
        return;
    }
    qint16 button = VirtualKey::mouseButton(event->button());
    if (event->type() == QEvent::MouseButtonPress) {
        emit MouseDown(button, shift, x, y);
        return;
    }
    emit MouseUp(button, shift, x, y);
    if (event->button() == Qt::LeftButton
        && m_txtMain->rect().contains(event->position().toPoint()))
        emit Click();
}

// Where the desktop has a selection clipboard, the middle button pastes it; the box would
// insert its characters unshaped, so they are typed as keys instead.
bool UrduText::pastedSelection(const QMouseEvent &event)
{
    if (event.type() != QEvent::MouseButtonRelease || event.button() != Qt::MiddleButton
        || !QApplication::clipboard()->supportsSelection())
        return false;
    pasteFrom(QClipboard::Selection);
    return true;
}

void UrduText::typeCharacter(qint16 code)
{
    emit KeyPress(code);
    takeBoxSelection();
    if (m_editor.typeCharacter(code))
        showEditor();
}

// The box counts positions in what it shows; the editor counts glyphs.
void UrduText::takeBoxSelection()
{
    if (!m_txtMain->hasSelectedText()) {
        m_editor.setCaret(caretAt(m_txtMain->cursorPosition()));
        return;
    }
    int start = m_txtMain->selectionStart();
    int end = m_txtMain->selectionEnd();
    if (m_script == UrduScript::Naskh) {
        const UrduNumberRuns::Run selected = UrduNumberRuns::selection(
            m_editor.shown(), UrduNumberRuns::wholeRuns(m_editor.shown(), { start, end }));
        m_editor.setSelection(selected.start, selected.end - selected.start);
        return;
    }
    // Nastaliq text is in reading order: its end is the selection's left edge in glyphs.
    start = m_reading.caretAt(start);
    end = m_reading.caretAt(end);
    m_editor.setSelection(end, start - end);
}

void UrduText::showEditor()
{
    const int caret = m_editor.caret();
    m_reading = UrduReadingMap(m_editor.shown());
    const QString shown = m_script == UrduScript::Nastaliq
        ? m_reading.text()
        : UrduGlyphFont::toDisplay(m_editor.shown());
    if (m_txtMain->text() != shown)
        m_txtMain->setText(shown);
    m_txtMain->setCursorPosition(boxPositionOf(caret));
    m_editor.setCaret(caret);
}

void UrduText::showSelection()
{
    const int start = m_editor.selectionStart();
    const int end = start + m_editor.selectionLength();
    if (m_script == UrduScript::Nastaliq) {
        const int first = m_reading.offsetOf(end);
        m_txtMain->setSelection(first, m_reading.offsetOf(start) - first);
        return;
    }
    const UrduNumberRuns::Run shown = UrduNumberRuns::selection(m_editor.shown(), { start, end });
    m_txtMain->setSelection(shown.start, shown.end - shown.start);
}

// What is selected on screen must be one stretch of glyphs, so that a deletion removes
// exactly what the user sees selected. Nastaliq text is in reading order, where every
// selection is one.
void UrduText::keepNumbersWhole()
{
    if (m_script == UrduScript::Nastaliq || !m_txtMain->hasSelectedText())
        return;
    const int start = m_txtMain->selectionStart();
    const int end = m_txtMain->selectionEnd();
    const UrduNumberRuns::Run whole = UrduNumberRuns::wholeRuns(m_editor.shown(), { start, end });
    if (whole.start == start && whole.end == end)
        return;
    if (m_txtMain->cursorPosition() == start)
        m_txtMain->setSelection(whole.end, whole.start - whole.end);
    else
        m_txtMain->setSelection(whole.start, whole.end - whole.start);
}

// The box's text changed: by showEditor, whose glyphs are known, or by the box itself (its
// undo), whose text is read back.
void UrduText::boxTextChanged()
{
    emit Change();
    const QString text = m_txtMain->text();
    if (m_script == UrduScript::Naskh) {
        m_editor.showChanged(UrduGlyphFont::fromDisplay(text));
    } else if (text == m_reading.text()) {
        m_editor.showChanged(m_editor.shown());
        return;
    } else {
        m_editor.showChanged(ShapeUrdu(UrduUnicode::toKeys(text).keys));
    }
    m_reading = UrduReadingMap(m_editor.shown());
}

int UrduText::caretAt(int boxPosition) const
{
    return m_script == UrduScript::Nastaliq ? m_reading.caretAt(boxPosition)
                                            : UrduNumberRuns::caret(m_editor.shown(), boxPosition);
}

int UrduText::boxPositionOf(int caret) const
{
    return m_script == UrduScript::Nastaliq ? m_reading.offsetOf(caret)
                                            : UrduNumberRuns::caret(m_editor.shown(), caret);
}

int UrduText::readingOffset(int boxPosition) const
{
    return m_reading.offsetOf(caretAt(boxPosition));
}

int UrduText::boxPosition(int readingOffset) const
{
    return boxPositionOf(m_reading.caretAt(readingOffset));
}

UrduScript UrduText::script() const
{
    return m_script;
}

// Nastaliq is drawn from right to left by the desktop's shaping, in reading order; the glyph
// font's characters lie strictly left to right. The key text, caret and selection stay.
void UrduText::setScript(UrduScript script)
{
    if (script == m_script)
        return;
    takeBoxSelection();
    const int start = m_editor.selectionStart();
    const int length = m_editor.selectionLength();
    const int caret = m_editor.caret();
    m_script = script;
    const bool nastaliq = script == UrduScript::Nastaliq;
    m_txtMain->setLayoutDirection(nastaliq ? Qt::RightToLeft : Qt::LeftToRight);
    // A lam alef is two characters in Nastaliq.
    m_txtMain->setMaxLength(nastaliq ? 2 * UrduKeyEditor::MaxLength : UrduKeyEditor::MaxLength);
    applyFont(m_glyphFont);
    m_editor.setCaret(caret);
    showEditor();
    if (length > 0) {
        m_editor.setSelection(start, length);
        showSelection();
    }
}

void UrduText::applyFont(const QFont &font)
{
    m_glyphFont = font;
    if (m_script == UrduScript::Nastaliq) {
        m_txtMain->setDrawnFont(NastaliqFont::font(font));
    } else {
        m_txtMain->setDrawnFont(std::nullopt);
        m_txtMain->setFont(font);
    }
    fitHeight();
}

// A single-line box keeps the height that its font and frame need, and the control takes
// that height; the width stays the container's.
void UrduText::fitHeight()
{
    setFixedHeight(m_txtMain->sizeHint().height());
    updateGeometry();
}

void UrduText::applyColors()
{
    QPalette palette = m_txtMain->palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Base, ColorNumber::toColor(m_backColor));
        palette.setColor(group, QPalette::Text, ColorNumber::toColor(m_foreColor));
    }
    m_txtMain->setPalette(palette);
}

QFont UrduText::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}
