#include "ui/Composers.h"

#include "app/Desktop.h"
#include "chat/ColorNumber.h"
#include "chat/MessageMarkup.h"
#include "controls/UrduText.h"
#include "net/WireText.h"
#include "resources/StringTable.h"
#include "ui/CommonDialog.h"
#include "ui/Twips.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/UrduLineLayout.h"
#include "urdu/basUrdu.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// Urdu lines are wrapped at this width before they are sent.
constexpr int LayoutWidthTwips = 3885;

} // namespace

Composers::Composers(QWidget *client, CommonDialog &cdMain, Desktop &desktop)
    : QObject(client)
    , m_cdMain(cdMain)
    , m_desktop(desktop)
    , m_txtSend(new UrduText(client, &desktop))
    , m_txtSendEN(new QPlainTextEdit(client))
    , m_txtSendENColor(ColorNumber::WindowText)
{
    m_txtSend->setObjectName(QStringLiteral("txtSend"));
    m_txtSend->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    m_txtSend->setFont(UrduGlyphFont::font(12));
    m_txtSend->setEnabled(false);
    connect(
        m_txtSend, &UrduText::MouseDown, this, [this](qint16 &button, qint16 &, float &, float &) {
            if (button == 2)
                emit contextMenuRequested();
        });

    m_txtSendEN->setObjectName(QStringLiteral("txtSendEN"));
    m_txtSendEN->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    m_txtSendEN->setFont(arial);
    m_txtSendEN->setEnabled(false);
    m_txtSendEN->setVisible(false);
    m_txtSendEN->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        m_txtSendEN, &QWidget::customContextMenuRequested, this, &Composers::contextMenuRequested);
}

QWidget *Composers::activeBox() const
{
    return m_englishMode ? static_cast<QWidget *>(m_txtSendEN) : m_txtSend->txtMain();
}

void Composers::attachMenus(QAction *mnuEnglish, QAction *mnuUrdu, QAction *mnuEnglishP,
    QAction *mnuUrduP, QAction *mnuUrdukeyboard)
{
    m_mnuEnglish = mnuEnglish;
    m_mnuUrdu = mnuUrdu;
    m_mnuEnglishP = mnuEnglishP;
    m_mnuUrduP = mnuUrduP;
    m_mnuUrdukeyboard = mnuUrdukeyboard;
}

void Composers::enableForSession(bool open)
{
    m_txtSend->setEnabled(open);
    m_txtSendEN->setEnabled(open && m_englishMode);
}

void Composers::SetComposerLanguage(bool urdu)
{
    m_txtSend->setEnabled(urdu);
    m_txtSend->setVisible(urdu);
    m_txtSendEN->setEnabled(!urdu);
    m_txtSendEN->setVisible(!urdu);
    m_englishMode = !urdu;
    markLanguage(urdu);
    m_mnuUrdukeyboard->setEnabled(urdu);
}

void Composers::markLanguage(bool urdu)
{
    m_mnuUrdu->setChecked(urdu);
    m_mnuUrduP->setChecked(urdu);
    m_mnuEnglish->setChecked(!urdu);
    m_mnuEnglishP->setChecked(!urdu);
}

// A checkable entry flips its mark on every click; choosing the language already chosen
// puts the marks back and changes nothing else.
void Composers::mnuEnglish_Click()
{
    if (m_englishMode) {
        markLanguage(false);
        return;
    }
    emit englishChosen();
    SetComposerLanguage(false);
}

void Composers::mnuUrdu_Click()
{
    if (!m_englishMode) {
        markLanguage(true);
        return;
    }
    SetComposerLanguage(true);
}

// The Urdu composer takes only a Qirtas face; both take sizes below 24 points. The font is
// the chosen composer's: a session that opens in English enables the hidden Urdu composer
// too, and that one must not take the English font. Before a session, with both composers
// disabled, there is nothing to choose a font for.
void Composers::mnuFont_Click()
{
    m_cdMain.Flags = 1;
    const bool urdu = !m_englishMode;
    if (!(urdu ? static_cast<QWidget *>(m_txtSend) : m_txtSendEN)->isEnabled())
        return;
    QFont font = urdu ? m_txtSend->font() : m_txtSendEN->font();
    if (!chooseFont(font, urdu))
        return;
    if (urdu)
        m_txtSend->setFont(font);
    else
        m_txtSendEN->setFont(font);
}

// The face is tested first, so a wrong face with a large size gets the face message alone.
bool Composers::chooseFont(QFont &font, bool urdu)
{
    m_cdMain.FontName = font.family();
    m_cdMain.FontBold = font.bold();
    m_cdMain.FontItalic = font.italic();
    m_cdMain.FontSize = font.pointSizeF();
    if (!m_cdMain.ShowFont(m_txtSend->window()))
        return false;
    if (urdu && !m_cdMain.FontName.startsWith(UrduGlyphFont::familyPrefix())) {
        m_desktop.messageBox(m_txtSend->window(), StringTable::text(StringTable::SelectQirtasFont),
            Desktop::Icon::Information, Desktop::Buttons::Ok);
        return false;
    }
    if (m_cdMain.FontSize >= 24) {
        m_desktop.messageBox(m_txtSend->window(),
            QStringLiteral("Please choose a FontSize less than 24."), Desktop::Icon::Exclamation,
            Desktop::Buttons::Ok);
        return false;
    }
    font.setFamily(m_cdMain.FontName);
    font.setBold(m_cdMain.FontBold);
    font.setItalic(m_cdMain.FontItalic);
    font.setPointSizeF(m_cdMain.FontSize);
    return true;
}

// The dialog's colour is applied even when it was closed without a choice: it is then the
// colour last chosen there.
void Composers::mnuFontColor_Click()
{
    m_cdMain.ShowColor(m_txtSend->window());
    if (m_englishMode)
        setEnglishColor(m_cdMain.Color);
    else
        m_txtSend->setForeColor(m_cdMain.Color);
}

void Composers::setEnglishColor(qint32 color)
{
    m_txtSendENColor = color;
    QPalette palette = m_txtSendEN->palette();
    palette.setColor(QPalette::Text, ColorNumber::toColor(color));
    m_txtSendEN->setPalette(palette);
}

bool Composers::blank() const
{
    const QByteArray text
        = m_englishMode ? WireText::toWire(m_txtSendEN->toPlainText()) : m_txtSend->Text();
    return text.count(' ') == text.size();
}

QByteArray Composers::EncodeMessage() const
{
    const bool isUrdu = !m_englishMode;
    const QFont font = isUrdu ? m_txtSend->font() : m_txtSendEN->font();
    const MessageStyle style { font.family(), font.pointSizeF(), font.bold(), font.italic(),
        isUrdu ? m_txtSend->ForeColor() : m_txtSendENColor };
    const QByteArray text = isUrdu
        ? LayoutUrduLines(ShapeUrdu(m_txtSend->Text()), font, LayoutWidthTwips)
        : WireText::toWire(m_txtSendEN->toPlainText().replace(u'\n', QStringLiteral("\r\n")));
    return MessageMarkup::EncodeMessage(style, text, isUrdu);
}

void Composers::clearSent()
{
    if (m_englishMode)
        m_txtSendEN->clear();
    else
        m_txtSend->setText(UrduKeyText());
    activeBox()->setFocus();
}
