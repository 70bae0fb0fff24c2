#include "ui/frmKeyboard.h"

#include "controls/UrduText.h"
#include "controls/VirtualKey.h"
#include "ui/Twips.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <span>
#include <utility>

namespace {

constexpr int KeySize = 510; // twips: every button's height, and a glyph button's width
constexpr int ClientWidth = 7155;
constexpr int ClientHeight = 3075;
constexpr int ButtonCount = 76;
constexpr qreal CaptionPointSize = 12;
// Large enough that an alif stands about 16 pixels tall on the 34-pixel buttons.
constexpr int GlyphCaptionPixelSize = 24;

constexpr int SpaceKey = 32;

using IndexedKey = std::pair<int, int>; // a button's index and the key it types

// The glyph rows, each from left to right.
constexpr IndexedKey Row1[]
    = { { 0, '/' }, { 1, '*' }, { 2, '1' }, { 3, '2' }, { 4, '3' }, { 5, '4' }, { 6, '5' },
          { 7, '6' }, { 8, '7' }, { 9, '8' }, { 10, '9' }, { 11, '0' }, { 12, '-' }, { 27, ':' } };
constexpr IndexedKey Row2[] = { { 14, '!' }, { 15, 'd' }, { 16, 'K' }, { 17, 'H' }, { 18, 'c' },
    { 19, 'j' }, { 20, 'C' }, { 21, 'T' }, { 22, 't' }, { 23, 'p' }, { 24, 'b' }, { 25, 'a' },
    { 26, 'A' }, { 41, ';' } };
constexpr IndexedKey Row3[] = { { 28, '"' }, { 29, 'V' }, { 30, 'v' }, { 31, 'J' }, { 32, 'S' },
    { 33, 'x' }, { 34, 's' }, { 35, 'X' }, { 36, 'z' }, { 37, 'R' }, { 38, 'r' }, { 39, 'Z' },
    { 40, 'D' }, { 55, '%' } };
constexpr IndexedKey Row4[]
    = { { 42, '=' }, { 43, 'h' }, { 44, 'o' }, { 45, 'w' }, { 46, 'n' }, { 47, 'm' }, { 48, 'l' },
          { 49, 'g' }, { 50, 'k' }, { 51, 'q' }, { 52, 'f' }, { 53, 'G' }, { 54, 'e' } };
constexpr IndexedKey Row5[] = { { 56, '[' }, { 57, ']' }, { 58, 'E' }, { 59, 'W' }, { 60, 'Y' },
    { 61, 'O' }, { 62, 'N' }, { 63, 'L' }, { 64, 'i' }, { 65, 'y' }, { 66, 'u' }, { 67, 'B' } };

struct GlyphRow
{
    int top;
    int left;
    std::span<const IndexedKey> keys;
};

constexpr GlyphRow GlyphRows[] = {
    { 15, 15, Row1 },
    { 525, 15, Row2 },
    { 1035, 15, Row3 },
    { 1545, 255, Row4 },
    { 2055, 525, Row5 },
};

// The bottom row. Index 74 types the period key, the Urdu full stop, and shows its glyph.
struct BottomButton
{
    int index;
    int key;
    int left;
    int width;
    const char16_t *word; // null for a glyph button
};

constexpr int BottomTop = 2565;
constexpr BottomButton BottomRow[] = {
    { 70, VirtualKey::Delete, 15, 1020, u"DELETE" },
    { 71, '?', 1035, KeySize, nullptr },
    { 72, SpaceKey, 1545, 3060, u"SPACE" },
    { 73, ',', 4605, KeySize, nullptr },
    { 74, VirtualKey::PeriodKey, 5115, KeySize, nullptr },
    { 75, VirtualKey::Backspace, 5625, 1530, u"BACKSPACE" },
};

// Buttons whose caption is another glyph than the key's own: the double quote shows the
// opening quotation mark, and the brackets show the bracket they type, which the glyph
// font draws turned round for right-to-left text.
constexpr std::pair<int, quint8> CaptionGlyphs[] = { { 28, 60 }, { 56, ']' }, { 57, '[' } };
constexpr int TanweenIndex = 67;

// A key as the desktop reports it: Qt's key, the modifiers and the character it types.
struct KeyStroke
{
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

KeyStroke strokeFor(int keyCode)
{
    switch (keyCode) {
    case VirtualKey::Backspace:
        return { Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b") };
    case VirtualKey::Delete:
        return { Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f") };
    case VirtualKey::PeriodKey:
        return { Qt::Key_Period, Qt::NoModifier, QStringLiteral(".") };
    default:
        break;
    }
    const QChar character = QChar::fromLatin1(char(keyCode));
    // Capitals and the signs above the digits and beside the letters need Shift.
    static constexpr QStringView ShiftedSigns = u"~!@#$%^&*()_+{}|:\"<>?";
    const bool shifted = character.isUpper() || ShiftedSigns.contains(character);
    // Qt numbers letter keys by their capitals and sign keys by their character.
    return { character.toUpper().unicode(), shifted ? Qt::ShiftModifier : Qt::NoModifier,
        QString(character) };
}

// The button's bevel, and its caption centred on the caption's ink.
void paintGlyphCaption(QPushButton *button)
{
    QStylePainter painter(button);
    QStyleOptionButton bevel;
    bevel.initFrom(button);
    bevel.state |= button->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButtonBevel, bevel);

    const QFontMetricsF metrics(button->font());
    const QRectF ink = metrics.tightBoundingRect(button->text());
    const QPointF origin = QRectF(button->rect()).center() - ink.center();
    painter.setPen(button->palette().color(QPalette::ButtonText));
    painter.drawText(origin, button->text());
}

QString glyphCaption(int index, int key)
{
    if (index == TanweenIndex)
        return QString(QChar(UrduGlyphFont::TanweenCaption));
    auto glyph = quint8(GlyphForForm(qint16(key), IsolatedForm));
    for (const auto &[captioned, caption] : CaptionGlyphs) {
        if (captioned == index)
            glyph = caption;
    }
    return UrduGlyphFont::toDisplay(QByteArray(1, char(glyph)));
}

} // namespace

frmKeyboard::frmKeyboard(UrduText *composer, QWidget *parent)
    : QWidget(parent,
        Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint)
    , m_composer(composer)
    , m_cmdKey(ButtonCount, nullptr)
{
    UrduGlyphFont::install();
    setObjectName(QStringLiteral("frmKeyboard"));
    setWindowTitle(QStringLiteral("Urdu Keyboard"));
    setFixedSize(Twips::toPixels(ClientWidth), Twips::toPixels(ClientHeight));
    createButtons();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
}

QPushButton *frmKeyboard::cmdKey(int index) const
{
    return index >= 0 && index < ButtonCount ? m_cmdKey.at(index) : nullptr;
}

void frmKeyboard::cmdKey_Click(int index)
{
    const QPushButton *button = cmdKey(index);
    if (!button || !m_composer || !m_composer->isEnabled())
        return;
    m_composer->window()->activateWindow();
    m_composer->setFocus(Qt::OtherFocusReason);
    typeKey(button->property("Tag").toString().toInt());
}

bool frmKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QPushButton *>(watched);
    if (event->type() != QEvent::Paint || !m_glyphButtons.contains(button))
        return QWidget::eventFilter(watched, event);
    paintGlyphCaption(button);
    return true;
}

void frmKeyboard::createButtons()
{
    QFont glyphFont = UrduGlyphFont::font(CaptionPointSize);
    glyphFont.setPixelSize(GlyphCaptionPixelSize);
    QFont wordFont(QStringLiteral("Tahoma"));
    wordFont.setPointSizeF(CaptionPointSize);

    auto addButton
        = [&](int index, int key, const QRect &place, const QString &caption, const QFont &font) {
              auto *button = new QPushButton(caption, this);
              button->setObjectName(QStringLiteral("cmdKey_%1").arg(index));
              button->setProperty("index", index);
              button->setProperty("Tag", QString::number(key));
              button->setFont(font);
              button->setGeometry(place);
              // The composer keeps the focus while the keyboard is used.
              button->setFocusPolicy(Qt::NoFocus);
              connect(button, &QPushButton::clicked, this, [this, index] { cmdKey_Click(index); });
              m_cmdKey[index] = button;
          };
    auto addGlyphButton = [&](int index, int key, const QRect &place) {
        addButton(index, key, place, glyphCaption(index, key), glyphFont);
        m_cmdKey[index]->installEventFilter(this);
        m_glyphButtons.append(m_cmdKey[index]);
    };

    for (const GlyphRow &row : GlyphRows) {
        int left = row.left;
        for (const auto &[index, key] : row.keys) {
            addGlyphButton(index, key, Twips::rect(left, row.top, KeySize, KeySize));
            left += KeySize;
        }
    }
    for (const BottomButton &bottom : BottomRow) {
        const QRect place = Twips::rect(bottom.left, BottomTop, bottom.width, KeySize);
        if (bottom.word)
            addButton(bottom.index, bottom.key, place, QString::fromUtf16(bottom.word), wordFont);
        else
            addGlyphButton(bottom.index, bottom.key, place);
    }
}

// Delivers the key to the composer's box as a press and a release, so that it passes
// through the box's key-down, character and key-up handling like a real key.
void frmKeyboard::typeKey(int keyCode)
{
    QLineEdit *box = m_composer->txtMain();
    const KeyStroke stroke = strokeFor(keyCode);
    QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
    QCoreApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
    QCoreApplication::sendEvent(box, &release);
}
