#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

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
class frmAbout;
class frmKeyboard;
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

    SocketEndpoint &WskMain() const { return *m_wskMain; }
    SocketEndpoint &WskFTP() const { return *m_wskFtp; }

    // The text of a status bar panel: 0 the connection state, 1 under the progress bar.
    QString statusText(int panel) const;
    // The tray icon's identifier, drawn once at start-up and the same at every start.
    int trayIconId() const { return m_trayIconId; }
    bool trayIconShown() const;

    // True while a file transfer runs.
    bool Transferring = false;

public slots:
    // Brings the window back from the tray to the screen's top-left corner.
    void ShowMessenger();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void connectHandlers();
    QAction *action(const QString &name) const;

    void Form_Load();
    void Form_QueryUnload();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void layProgressBarOverStatus();
    void hideIfMinimized();
    void listenAgain(SocketEndpoint &endpoint, quint16 port);

    void TmrState_Timer();
    void TrayCallback(QSystemTrayIcon::ActivationReason reason);
    void mnuExit_Click();
    void mnuExitT_Click();
    void mnuHlepTopics_Click();
    void mnuAbout_Click();
    void mnuUrdukeyboard_Click();
    void txtSend_MouseDown(qint16 &button);
    void showComposerMenu();

    basMain &m_program;
    SocketEndpoint *m_wskMain;
    SocketEndpoint *m_wskFtp;

    QFrame *m_fraReceive = nullptr;
    QTextEdit *m_rtbMain = nullptr;
    UrduText *m_txtSend = nullptr;
    QPlainTextEdit *m_txtSendEN = nullptr;
    QPushButton *m_cmdSend = nullptr;
    QStatusBar *m_stMain = nullptr;
    QLabel *m_mainPanel = nullptr;
    QLabel *m_progressPanel = nullptr;
    QProgressBar *m_pbFtp = nullptr;
    QPlainTextEdit *m_txtTmp = nullptr;
    QTimer *m_tmrState = nullptr;

    QMenu *m_mnuTray = nullptr;
    QMenu *m_mnuPopText = nullptr;
    QPointer<frmKeyboard> m_keyboard;
    QSystemTrayIcon *m_trayIcon = nullptr;
    int m_trayIconId = 0;
    bool m_unloaded = false;
};
