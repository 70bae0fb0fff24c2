#pragma once

#include <QByteArray>
#include <QObject>

class CommonDialog;
class Desktop;
class QAction;
class QFont;
class QPlainTextEdit;
class QWidget;
class UrduText;

// The two composers at the foot of the main window, of which one is shown: txtSend, the
// Urdu control, and txtSendEN, the English box. Owns which language is chosen (EnglishMode)
// with the language entries' marks, the font and colour commands of both composers, and
// the markup a message is sent as.
class Composers final : public QObject
{
    Q_OBJECT

public:
    // Makes both composers on client, Urdu chosen; the pickers are cdMain's.
    Composers(QWidget *client, CommonDialog &cdMain, Desktop &desktop);

    UrduText *txtSend() const { return m_txtSend; }
    QPlainTextEdit *txtSendEN() const { return m_txtSendEN; }
    bool EnglishMode() const { return m_englishMode; }
    // The box that takes the keys of the chosen language.
    QWidget *activeBox() const;

    // The entries whose marks and enabled state follow the language: the language entries
    // of the Options menu and of the composers' context menu, and the on-screen keyboard's.
    void attachMenus(QAction *mnuEnglish, QAction *mnuUrdu, QAction *mnuEnglishP, QAction *mnuUrduP,
        QAction *mnuUrdukeyboard);
    // A session opens or ends: the Urdu composer, and the English one when chosen, are
    // usable only in a session.
    void enableForSession(bool open);

    void SetComposerLanguage(bool urdu);
    void mnuEnglish_Click();
    void mnuUrdu_Click();
    void mnuFont_Click();
    void mnuFontColor_Click();

    // True when the chosen composer holds nothing but blanks.
    bool blank() const;
    // The markup of the chosen composer's message: its text in its font, size, style,
    // colour and language. An Urdu text goes as its lines, last to first.
    QByteArray EncodeMessage() const;
    // After a send: the chosen composer is emptied and keeps the keyboard.
    void clearSent();

signals:
    // English was chosen; the on-screen keyboard has no use then.
    void englishChosen();
    // A right click on either composer asks for their context menu.
    void contextMenuRequested();

private:
    void markLanguage(bool urdu);
    bool chooseFont(QFont &font, bool urdu);
    void setEnglishColor(qint32 color);

    CommonDialog &m_cdMain;
    Desktop &m_desktop;
    UrduText *m_txtSend;
    QPlainTextEdit *m_txtSendEN;
    bool m_englishMode = false;
    // The English composer's text colour as a colour number; the window text colour until
    // the user picks one.
    qint32 m_txtSendENColor;
    QAction *m_mnuEnglish = nullptr;
    QAction *m_mnuUrdu = nullptr;
    QAction *m_mnuEnglishP = nullptr;
    QAction *m_mnuUrduP = nullptr;
    QAction *m_mnuUrdukeyboard = nullptr;
};
