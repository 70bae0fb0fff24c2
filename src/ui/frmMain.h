#pragma once

#include "app/basMain.h"
#include "chat/ChatSession.h"
#include "transfer/TransferSession.h"
#include "ui/CommonDialog.h"

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

class Composers;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QTimer;
class SessionHistory;
class SocketEndpoint;
class Transcript;
class WindowNotices;
class frmConnect;
class frmKeyboard;

// The messenger's main window: transcript, composers, Send button, status bar with the
// file progress bar, menus and the tray icon. It shows the program's chat and transfer
// sessions and hands them the user's commands; what they do is theirs.
class frmMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(basMain &program, QWidget *parent = nullptr);
    // The main window of a running copy, as the program's environment makes it.
    static std::unique_ptr<QObject> make(basMain &program);

    ChatSession &chat() const { return m_program.chat(); }
    TransferSession &transfer() const { return m_program.transfer(); }
    SocketEndpoint &WskMain() const { return chat().WskMain(); }
    SocketEndpoint &WskFTP() const { return transfer().WskFTP(); }
    Transcript &transcript() const { return *m_transcript; }
    Composers &composers() const { return *m_composers; }
    // The font, colour and file pickers, one object that keeps its last values.
    CommonDialog &CDMain() { return m_cdMain; }

    // The text of a status bar panel: 0 the connection state, 1 under the progress bar.
    QString statusText(int panel) const;
    // The tray icon's identifier, drawn once at start-up and the same at every start.
    int trayIconId() const { return m_trayIconId; }
    bool trayIconShown() const;

public slots:
    // Brings the window back from the tray to the screen's top-left corner.
    void ShowMessenger();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void acceptFileDrops();
    void connectHandlers();
    void connectSessions();
    QAction *action(const QString &name) const;
    void onAction(const char16_t *name, void (frmMain::*handler)());

    void Form_Load();
    void Form_QueryUnload();
    void AddTrayIcon();
    void finishStart();
    void RemoveTrayIcon();
    void layProgressBarOverStatus();
    void hideIfMinimized();
    bool systemTrayAvailable() const;

    void showChatState(ChatSession::State state);
    void showSessionOpened(const QString &remoteNickname);
    void showTransferState();
    void EnableSessionControls(bool enable);
    void TmrState_Timer();
    void mnuConnect_Click();
    void cmdSend_Click();
    void mnuLocal_Click();
    void mnuRemote_Click();
    void mnuSaveAs_Click();
    void mnuPrint_Click();
    void mnuOpenHistory_Click();
    void handFocusToComposer();
    void mnuSettings_Click();
    void TrayCallback(QSystemTrayIcon::ActivationReason reason);
    void mnuExit_Click();
    void mnuHlepTopics_Click();
    void mnuSendFile_Click();
    void openSendDialog(const QString &path);
    void settleNameClash(const QString &folder, QString *name, bool *settled);
    void mnuAbout_Click();
    void mnuUrdukeyboard_Click();

    basMain &m_program;
    CommonDialog m_cdMain;

    QTextEdit *m_rtbMain = nullptr;
    Transcript *m_transcript = nullptr;
    SessionHistory *m_history = nullptr;
    Composers *m_composers = nullptr;
    QPushButton *m_cmdSend = nullptr;
    QStatusBar *m_stMain = nullptr;
    QLabel *m_mainPanel = nullptr;
    QLabel *m_progressPanel = nullptr;
    QProgressBar *m_pbFtp = nullptr;
    QTimer *m_tmrState = nullptr;

    QMenu *m_mnuTray = nullptr;
    QMenu *m_mnuPopText = nullptr;
    QPointer<frmKeyboard> m_keyboard;
    QPointer<frmConnect> m_connectDialog;
    QSystemTrayIcon *m_trayIcon = nullptr;
    WindowNotices *m_notices = nullptr;
    int m_trayIconId = 0;
    bool m_unloaded = false;
};
