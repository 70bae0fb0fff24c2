#pragma once

#include "app/Desktop.h"
#include "controls/UrduLineEdit.h"
#include "urdu/UrduKeyEditor.h"
#include "urdu/UrduReadingMap.h"
#include "urdu/UrduScript.h"

#include <QClipboard>
#include <QPixmap>
#include <QVariantMap>
#include <QWidget>

#include <memory>
#include <span>

class QInputMethodEvent;
class QMimeData;

// The Urdu text box: a single-line box `txtMain` that shows the shaped glyphs of its key
// text in the glyph font, while every typed key edits the key text (see UrduKeyEditor).
// `Text` is the key text; the box's own text is the glyph text.
//
// The key and mouse events carry their arguments by reference, so a container that
// connects with a direct connection (the default within one thread) can change them
// before the control acts on them: set KeyAscii to 0 to swallow a character, or change
// Keycode to 46 or 190 to turn a key into Delete or the full stop. A slot that takes the
// arguments by value works as well. X and Y are in pixels within the box.
//
// The box has no context menu of its own: a right click raises MouseDown with Button 2
// and the container decides what to show. The clipboard shortcuts work in the box: a copy
// puts Unicode Urdu on the clipboard for other programs, and a paste types the keys of
// what the clipboard holds (see UrduUnicode). Text selected with the mouse goes to the
// desktop's selection clipboard as Unicode Urdu too. Urdu letters that come from the
// desktop's own Urdu keyboard layout or an input method type the keys that draw them, as a
// paste does; the phonetic keys type themselves whatever the layout.
class UrduText : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(qint32 BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(qint32 Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(QPixmap MouseIcon READ MouseIcon WRITE setMouseIcon)
    Q_PROPERTY(qint32 MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(QByteArray Text READ Text WRITE setText)
    Q_PROPERTY(qint32 Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)

public:
    // The font check reports through `desktop`.
    explicit UrduText(QWidget *parent = nullptr, Desktop *desktop = &Desktop::system());

    static constexpr qreal DefaultPointSize = 9.75;

    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 color);
    qint32 ForeColor() const { return m_foreColor; }
    void setForeColor(qint32 color);

    // The box's font. A font whose family does not begin with "Qirtas" cannot draw glyph
    // codes: it is refused with a message and the old font stays. These hide QWidget's
    // font(): call them on an UrduText, not through a QWidget pointer.
    QFont font() const;
    void setFont(const QFont &font);

    // 0 no border, 1 a single frame.
    qint32 BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(qint32 style);
    // 0 left, 1 right, 2 centre; other values are refused.
    qint32 Alignment() const { return m_alignment; }
    void setAlignment(qint32 alignment);
    // A locked box swallows every key.
    bool Locked() const;
    void setLocked(bool locked);
    QPixmap MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QPixmap &icon);
    // The classic pointer numbers (0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass,
    // 99 the MouseIcon, ...).
    qint32 MousePointer() const { return m_mousePointer; }
    void setMousePointer(qint32 pointer);
    // One character; when set the box hides its text behind the desktop's password mask.
    QString PasswordChar() const { return m_passwordChar; }
    void setPasswordChar(const QString &mask);

    // The key text last assigned or left by a handled key.
    UrduKeyText Text() const;
    void setText(const UrduKeyText &keys);
    // The live key text of what the box shows.
    UrduKeyText EditText() const;

    qint32 Appearance() const { return m_appearance; }
    void setAppearance(qint32 appearance);

    // Stored selection values: not tied to the box's live caret or selection.
    qint32 SelStart() const { return m_selStart; }
    void setSelStart(qint32 start);
    qint32 SelLength() const { return m_selLength; }
    void setSelLength(qint32 length);
    QString SelText() const { return m_selText; }
    void setSelText(const QString &text);

    // The window handle; makes the control a native window.
    WId hWnd() { return winId(); }

    // The script the box draws in: the glyph font itself (Naskh, the default), or the Unicode
    // Urdu its glyphs stand for in the Nastaliq font at a size that looks as large (Nastaliq,
    // which must be installed first, see NastaliqFont). Font() stays the glyph font either way.
    UrduScript script() const;
    void setScript(UrduScript script);

    // The inner box, where keys for the control are delivered.
    UrduLineEdit *txtMain() const { return m_txtMain; }

    // What a screen reader is given: the Unicode Urdu the box shows, in reading order, and
    // the offsets in it that stand for the box's own positions (see UrduReadingMap).
    QString readingText() const { return m_reading.text(); }
    int readingOffset(int boxPosition) const;
    int boxPosition(int readingOffset) const;

    // Saved state: the keys in the order they are restored, the non-default values, and
    // restoring them (a missing key takes its default; the font is not checked).
    static QStringList savedKeys();
    QVariantMap save() const;
    void load(const QVariantMap &saved);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // The selected glyphs to the clipboard, as Unicode Urdu and as glyph bytes.
    void copy();
    // Copies the selection, then removes it as Backspace would.
    void cut();
    // Types the keys of the clipboard's contents at the caret, replacing the selection.
    // Characters that no key types are left out, and a message says how many.
    void paste();

signals:
    void Click();
    void DblClick();
    void KeyDown(qint16 &Keycode, qint16 &Shift);
    void KeyPress(qint16 &KeyAscii);
    void KeyUp(qint16 &Keycode, qint16 &Shift);
    void MouseDown(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseUp(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void Change();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct SavedProperty;
    static std::span<const SavedProperty> savedProperties();

    bool keyPressed(QKeyEvent *event);
    bool clipboardChord(const QKeyEvent &event);
    bool canCopy() const;
    bool pastedSelection(const QMouseEvent &event);
    void pasteFrom(QClipboard::Mode mode);
    std::unique_ptr<QMimeData> selectedMimeData();
    void keepSelectionReadable();
    void typeKeys(const UrduKeyText &keys);
    void typeText(QStringView text);
    bool inputMethodCommitted(const QInputMethodEvent &event);
    void tellLeftOut(int dropped);
    void keepNumbersWhole();
    void showSelection();
    bool movedToEdge(const QKeyEvent &event);
    void keyReleased(QKeyEvent *event);
    void mouseEvent(QMouseEvent *event);
    void typeCharacter(qint16 code);
    void takeBoxSelection();
    void showEditor();
    void boxTextChanged();
    int caretAt(int boxPosition) const;
    int boxPositionOf(int caret) const;
    void applyFont(const QFont &font);
    void fitHeight();
    void applyColors();
    QFont ambientFont() const;

    Desktop *m_desktop;
    UrduLineEdit *m_txtMain;
    UrduKeyEditor m_editor;
    UrduReadingMap m_reading;
    UrduScript m_script = UrduScript::Naskh;
    QFont m_glyphFont;
    qint32 m_backColor;
    qint32 m_foreColor;
    qint32 m_borderStyle = 1;
    qint32 m_alignment = 1;
    qint32 m_appearance = 1;
    qint32 m_mousePointer = 0;
    QPixmap m_mouseIcon;
    QString m_passwordChar;
    qint32 m_selStart = 0;
    qint32 m_selLength = 0;
    QString m_selText;
};
