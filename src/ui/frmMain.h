#pragma once

#include "chat/ChatStreamReader.h"
#include "chat/MessageMarkup.h"
#include "transfer/FileTransfer.h"
#include "ui/CommonDialog.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QTimer;
class basMain;
class frmConnect;
class frmKeyboard;
class Transcript;
class UrduText;
class SocketEndpoint;

// The messenger's main window: transcript, composers, Send button, status bar with the
// file progress bar, menus, the tray icon, and the two sockets of a running copy.
class frmMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(basMain &program, QWidget *parent = nullptr);
    ~frmMain() override;
    // The main window of a running copy, as the program's environment makes it.
    static std::unique_ptr<QObject> make(basMain &program);

    SocketEndpoint &WskMain() const { return *m_wskMain; }
    SocketEndpoint &WskFTP() const { return *m_wskFtp; }
    Transcript &transcript() const { return *m_transcript; }
    // The font, colour and file pickers, one object that keeps its last values.
    CommonDialog &CDMain() { return m_cdMain; }

    // The text of a status bar panel: 0 the connection state, 1 under the progress bar.
    QString statusText(int panel) const;
    // The tray icon's identifier, drawn once at start-up and the same at every start.
    int trayIconId() const { return m_trayIconId; }
    bool trayIconShown() const;
    // True while a chat session is open.
    bool sessionOpen() const;

    // The file transfer's state. TransferFileName keeps its value when a transfer ends.
    QString TransferFileName;
    bool Transferring = false;
    qint32 TransferSize = 0;
    QByteArray TransferData;
    qint32 TransferPos = 0;
    // Returns the transfer to idle and the file socket to listening.
    void ResetTransfer();
    // Connects the file socket to the partner to send the file TransferFileName; returns
    // when the connection is made or has failed.
    void FileRequest();

    // True while the English composer is the active one.
    bool EnglishMode = false;
    // The values of the message decoded last.
    DecodedMessage Msg;

public slots:
    // Brings the window back from the tray to the screen's top-left corner.
    void ShowMessenger();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where this side stands in the handshake of the current chat connection. Only the
    // answers the other side may give at that point are taken, so a caller cannot open a
    // session on our side by sending "{YES}" itself.
    enum class HandshakeStep { None, Dialling, CallerAnswered, CalleeWaiting, CalleeAsking };

    void createControls();
    void createMenus();
    void connectHandlers();
    QAction *action(const QString &name) const;
    void onAction(const char16_t *name, void (frmMain::*handler)());

    void Form_Load();
    void Form_QueryUnload();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void layProgressBarOverStatus();
    void hideIfMinimized();
    bool systemTrayAvailable() const;
    void listenAgain(SocketEndpoint &endpoint, quint16 port);
    void listenForCalls();

    // Connection and handshake.
    void mnuConnect_Click();
    void mnuConnectT_Click();
    void ConnectRemote();
    void setConnectCaptions(int stringId);
    void EnableSessionControls(bool enable);
    void enableComposers(bool enable);
    void beginConnection(HandshakeStep step);
    void WskMain_ConnectionRequest(qint32 requestId);
    void WskMain_DataArrival(qint32 bytesTotal);
    void WskMain_Close();
    void TmrState_Timer();
    void expirePartialMessage();
    void handleArrival(const QByteArray &message);
    void partnerIdentityArrived(const QByteArray &message);
    void partnerAsksToChat(const QByteArray &message);
    void partnerRefused();
    void openSession();
    void writeConnectionReset();

    // Messages.
    void cmdSend_Click();
    void messageArrived(const QByteArray &markup);
    void ShowMessage(const QString &nickname, int writer);
    static QString textToShow(const DecodedMessage &message);
    QByteArray EncodeMessage(bool isUrdu);
    QByteArray LayoutUrduLines();
    QByteArray GetTmpLine(int index) const;

    // Transcript commands.
    void mnuLocal_Click();
    void mnuRemote_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void handFocusToComposer();

    // Composer language, font and colour.
    void SetComposerLanguage(bool urdu);
    void markLanguage(bool urdu);
    void mnuEnglish_Click();
    void mnuUrdu_Click();
    void mnuFont_Click();
    void mnuFontColor_Click();
    bool chooseComposerFont(QFont &font, bool urdu);
    void setEnglishColor(qint32 color);

    void mnuSettings_Click();
    void TrayCallback(QSystemTrayIcon::ActivationReason reason);
    void mnuExit_Click();
    void mnuExitT_Click();
    void mnuHlepTopics_Click();
    // File transfer.
    void mnuSendFile_Click();
    void cancelTransfer();
    static void waitWhileDialling(const SocketEndpoint &endpoint);
    void WskFTP_Connect();
    void WskFTP_ConnectionRequest(qint32 requestId);
    void WskFTP_DataArrival(qint32 bytesTotal);
    void WskFTP_Close();
    void runTransferSteps(const FileTransfer::Steps &steps);
    void askToAcceptFile(const QString &offeredName);
    bool settleNameClash();
    void sendLoadedFile();
    bool LoadFileData(QByteArray &data, qint32 &size, QString &error);
    bool SaveFileData(const QByteArray &data, QString &error);
    void storeReceivedFile();
    void endTransfer(const QString &text, Desktop::Icon icon);
    void setSendFileCaption(int stringId);

    void mnuAbout_Click();
    void mnuUrdukeyboard_Click();
    void txtSend_MouseDown(qint16 &button);
    void showComposerMenu();

    basMain &m_program;
    SocketEndpoint *m_wskMain;
    SocketEndpoint *m_wskFtp;
    CommonDialog m_cdMain;

    QFrame *m_fraReceive = nullptr;
    QTextEdit *m_rtbMain = nullptr;
    std::unique_ptr<Transcript> m_transcript;
    UrduText *m_txtSend = nullptr;
    QPlainTextEdit *m_txtSendEN = nullptr;
    // The English composer's text colour as a colour number; the window text colour until
    // the user picks one.
    qint32 m_txtSendENColor;
    QPushButton *m_cmdSend = nullptr;
    QStatusBar *m_stMain = nullptr;
    QLabel *m_mainPanel = nullptr;
    QLabel *m_progressPanel = nullptr;
    QProgressBar *m_pbFtp = nullptr;
    QPlainTextEdit *m_txtTmp = nullptr;
    // The lines into which the layout box last wrapped its text, first to last.
    QStringList m_tmpLines;
    QTimer *m_tmrState = nullptr;

    QMenu *m_mnuTray = nullptr;
    QMenu *m_mnuPopText = nullptr;
    QPointer<frmKeyboard> m_keyboard;
    QPointer<frmConnect> m_connectDialog;
    QSystemTrayIcon *m_trayIcon = nullptr;
    int m_trayIconId = 0;
    bool m_unloaded = false;

    ChatStreamReader m_chatReader;
    QElapsedTimer m_clock;
    QTimer *m_partialTimer = nullptr;
    HandshakeStep m_handshake = HandshakeStep::None;
    // Counts chat connections, so that an answer given in a modal box can tell whether the
    // connection it answers is still the one that asked.
    quint32 m_connectionSerial = 0;

    // The file protocol; the members above named Transfer* mirror its state for the rest
    // of the window, TransferData holding the file itself.
    FileTransfer m_transfer;
};
