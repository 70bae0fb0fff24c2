#include "ui/frmMain.h"

#include "app/DataFiles.h"
#include "controls/UrduText.h"
#include "resources/ProgramIcon.h"
#include "resources/StringTable.h"
#include "ui/Composers.h"
#include "ui/FileDrops.h"
#include "ui/FirstPaint.h"
#include "ui/MainMenus.h"
#include "ui/SessionHistory.h"
#include "ui/Transcript.h"
#include "ui/TranscriptView.h"
#include "ui/Twips.h"
#include "ui/UrduScriptChoice.h"
#include "ui/WindowNotices.h"
#include "ui/frmAbout.h"
#include "ui/frmConnect.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"
#include "ui/frmKeyboard.h"
#include "ui/frmSettings.h"
#include "urdu/UrduGlyphFont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <random>

namespace {

const QString ConnectRequested = QStringLiteral("1");

// The tray icon's identifier: the first draw of a generator that is never seeded, so every
// start comes up with the same number from 1 to 65535.
int drawTrayIconId()
{
    std::minstd_rand generator;
    const double r
        = double(generator() - generator.min()) / (double(generator.max() - generator.min()) + 1.0);
    return int(r * 65535 + 1);
}

QFont tahomaBold()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

} // namespace

frmMain::frmMain(basMain &program, QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_program(program)
    , m_cdMain(program.desktop())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kalvex v1.0"));
    UrduGlyphFont::install();

    createControls();
    createMenus();
    acceptFileDrops();
    connectHandlers();
    connectSessions();
    Form_Load();
}

std::unique_ptr<QObject> frmMain::make(basMain &program)
{
    return std::make_unique<frmMain>(program);
}

void frmMain::createControls()
{
    auto *client = new QWidget(this);
    client->setFixedSize(Twips::toPixels(4155), Twips::toPixels(5640));
    setCentralWidget(client);
    // The window has a fixed size: the client area above plus the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto *fraReceive = new QFrame(client);
    fraReceive->setObjectName(QStringLiteral("fraReceive"));
    fraReceive->setFrameShape(QFrame::StyledPanel);
    fraReceive->setGeometry(Twips::rect(30, -45, 4080, 4260));

    m_rtbMain = new TranscriptView(fraReceive);
    m_rtbMain->setObjectName(QStringLiteral("rtbMain"));
    m_rtbMain->setReadOnly(true);
    m_rtbMain->setGeometry(Twips::rect(30, 120, 4020, 4110));
    m_rtbMain->viewport()->installEventFilter(this);
    m_transcript = new Transcript(m_rtbMain);
    m_history
        = new SessionHistory(*m_transcript, m_program, SessionHistory::standardFolder(), this);

    m_composers = new Composers(client, m_cdMain, m_program.desktop());
    m_composers->txtSend()->txtMain()->installEventFilter(this);
    m_composers->txtSendEN()->installEventFilter(this);

    m_cmdSend = new QPushButton(QStringLiteral("&Send"), client);
    m_cmdSend->setObjectName(QStringLiteral("cmdSend"));
    m_cmdSend->setGeometry(Twips::rect(3510, 4290, 600, 915));
    m_cmdSend->setFont(tahomaBold());
    m_cmdSend->setDefault(true);
    m_cmdSend->setEnabled(false);

    m_stMain = new QStatusBar(client);
    m_stMain->setObjectName(QStringLiteral("StMain"));
    m_stMain->setSizeGripEnabled(false);
    m_stMain->setGeometry(Twips::rect(0, 5265, 4155, 375));
    m_stMain->setFont(tahomaBold());
    m_mainPanel = new QLabel(m_stMain);
    m_mainPanel->setObjectName(QStringLiteral("MAIN"));
    m_mainPanel->setFixedWidth(Twips::toPixels(2800));
    m_stMain->addWidget(m_mainPanel);
    m_progressPanel = new QLabel(m_stMain);
    m_progressPanel->setObjectName(QStringLiteral("PROGRESS"));
    m_progressPanel->setFixedWidth(Twips::toPixels(1300));
    m_stMain->addWidget(m_progressPanel);

    m_pbFtp = new QProgressBar(client);
    m_pbFtp->setObjectName(QStringLiteral("PBFTP"));
    m_pbFtp->setRange(0, 100);
    m_pbFtp->setValue(0);
    m_pbFtp->setTextVisible(false);
    m_pbFtp->setVisible(false);

    m_tmrState = new QTimer(this);
    m_tmrState->setObjectName(QStringLiteral("TmrState"));
    m_tmrState->setInterval(500);
    m_tmrState->start();

    QWidget::setTabOrder(m_composers->txtSend(), m_composers->txtSendEN());
    QWidget::setTabOrder(m_composers->txtSendEN(), m_cmdSend);
    QWidget::setTabOrder(m_cmdSend, m_stMain);
    QWidget::setTabOrder(m_stMain, fraReceive);
    QWidget::setTabOrder(fraReceive, m_rtbMain);
    QWidget::setTabOrder(m_rtbMain, m_pbFtp);
}

void frmMain::createMenus()
{
    MainMenus::build(*this);
    m_mnuTray = findChild<QMenu *>(QStringLiteral("mnuTray"));
    m_mnuPopText = findChild<QMenu *>(QStringLiteral("mnuPopText"));
    action(QStringLiteral("mnuKeepHistory"))->setChecked(m_program.KeepHistory);
    m_composers->attachMenus(action(QStringLiteral("mnuEnglish")),
        action(QStringLiteral("mnuUrdu")), action(QStringLiteral("mnuEnglishP")),
        action(QStringLiteral("mnuUrduP")), action(QStringLiteral("mnuUrdukeyboard")));
    new UrduScriptChoice(action(QStringLiteral("mnuNaskh")), action(QStringLiteral("mnuNastaliq")),
        m_program, *m_transcript, *m_composers->txtSend(), this);
}

QAction *frmMain::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

void frmMain::onAction(const char16_t *name, void (frmMain::*handler)())
{
    connect(action(QString::fromUtf16(name)), &QAction::triggered, this, handler);
}

// The tray menu's entries and the composers' context menu do exactly what their namesakes
// in the main menus do.
void frmMain::connectHandlers()
{
    connect(m_tmrState, &QTimer::timeout, this, &frmMain::TmrState_Timer);
    connect(m_cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);
    for (const char16_t *name : { u"mnuConnect", u"mnuConnectT" })
        onAction(name, &frmMain::mnuConnect_Click);
    for (const char16_t *name : { u"mnuSettings", u"mnuSettingsT" })
        onAction(name, &frmMain::mnuSettings_Click);
    for (const char16_t *name : { u"mnuExit", u"mnuExitT" })
        onAction(name, &frmMain::mnuExit_Click);
    onAction(u"mnuSaveAs", &frmMain::mnuSaveAs_Click);
    onAction(u"mnuPrint", &frmMain::mnuPrint_Click);
    onAction(u"mnuOpenHistory", &frmMain::mnuOpenHistory_Click);
    connect(action(QStringLiteral("mnuKeepHistory")), &QAction::toggled, this,
        [this](bool keep) { m_program.KeepHistory = keep; });
    onAction(u"mnuShowMessenger", &frmMain::ShowMessenger);
    onAction(u"mnuUrdukeyboard", &frmMain::mnuUrdukeyboard_Click);
    onAction(u"mnuLocal", &frmMain::mnuLocal_Click);
    onAction(u"mnuRemote", &frmMain::mnuRemote_Click);
    onAction(u"mnuSendFile", &frmMain::mnuSendFile_Click);
    onAction(u"mnuHlepTopics", &frmMain::mnuHlepTopics_Click);
    onAction(u"mnuAbout", &frmMain::mnuAbout_Click);
    for (const QString &suffix : { QString(), QStringLiteral("P") }) {
        const auto entry
            = [this, &suffix](const char *name) { return action(QLatin1String(name) + suffix); };
        connect(
            entry("mnuEnglish"), &QAction::triggered, m_composers, &Composers::mnuEnglish_Click);
        connect(entry("mnuUrdu"), &QAction::triggered, m_composers, &Composers::mnuUrdu_Click);
        connect(entry("mnuFont"), &QAction::triggered, m_composers, &Composers::mnuFont_Click);
        connect(entry("mnuFontColor"), &QAction::triggered, m_composers,
            &Composers::mnuFontColor_Click);
    }
    connect(m_composers, &Composers::contextMenuRequested, this,
        [this] { m_mnuPopText->popup(QCursor::pos()); });
    connect(m_composers, &Composers::englishChosen, this, [this] {
        if (m_keyboard)
            m_keyboard->close();
    });
}

// What the sessions do shows here: their states drive the menus and controls, and what
// they report is written into the transcript.
void frmMain::connectSessions()
{
    connect(&chat(), &ChatSession::stateChanged, this, &frmMain::showChatState);
    connect(&chat(), &ChatSession::settingsNeeded, this, &frmMain::mnuSettings_Click);
    connect(&chat(), &ChatSession::callArriving, this, [this] {
        if (m_connectDialog)
            m_connectDialog->reject();
    });
    connect(&chat(), &ChatSession::sessionOpened, this, &frmMain::showSessionOpened);
    connect(&chat(), &ChatSession::messageDecoded, m_transcript, &Transcript::ShowMessage);
    connect(
        &chat(), &ChatSession::connectionReset, m_transcript, &Transcript::writeConnectionReset);
    // The closing banner goes into the history with the session.
    connect(&chat(), &ChatSession::sessionClosed, this, [this] {
        m_transcript->WriteSessionBanner(StringTable::SessionClosed);
        m_history->sessionEnded();
    });
    connect(&transfer(), &TransferSession::changed, this, &frmMain::showTransferState);
    connect(&transfer(), &TransferSession::progressChanged, m_pbFtp, &QProgressBar::setValue);
    connect(&transfer(), &TransferSession::nameClash, this, &frmMain::settleNameClash);
}

// A session that the history could not keep yet stays above the new one.
void frmMain::showSessionOpened(const QString &remoteNickname)
{
    m_transcript->writeSessionOpened(remoteNickname,
        m_history->keepsEarlierText() ? Transcript::EarlierText::Keep
                                      : Transcript::EarlierText::Clear);
    m_history->sessionOpened(remoteNickname);
}

// Start-up of the window. A step that fails is passed over and the next one runs: a port
// that another program holds leaves its socket closed, and the messenger still calls out.
void frmMain::Form_Load()
{
    AddTrayIcon();
    new FirstPaint(this, [this] { finishStart(); });
    layProgressBarOverStatus();
    chat().start();
    transfer().start();
}

void frmMain::AddTrayIcon()
{
    m_trayIconId = drawTrayIconId();
    // It goes up with its icon once the window has been painted (see finishStart).
    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    m_trayIcon->setToolTip(QStringLiteral("Kalvex v1.0"));
    m_trayIcon->setContextMenu(m_mnuTray);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &frmMain::TrayCallback);
    m_notices
        = new WindowNotices(this, m_program, m_trayIcon, [this] { return systemTrayAvailable(); });
    connect(m_notices, &WindowNotices::showRequested, this, &frmMain::ShowMessenger);
}

// What the first window does not need waits until it has been painted: the program's icon,
// whose images take milliseconds to read, and with it the tray icon. Every window takes the
// icon from the application.
void frmMain::finishStart()
{
    QApplication::setWindowIcon(ProgramIcon::icon());
    m_trayIcon->setIcon(QApplication::windowIcon());
    m_trayIcon->show();
}

void frmMain::RemoveTrayIcon()
{
    if (m_trayIcon)
        m_trayIcon->hide();
}

bool frmMain::trayIconShown() const
{
    return m_trayIcon && m_trayIcon->isVisible();
}

void frmMain::layProgressBarOverStatus()
{
    if (QLayout *panels = m_stMain->layout())
        panels->activate();
    const QRect panel = m_progressPanel->geometry();
    m_pbFtp->setGeometry(m_stMain->x() + panel.left(), m_stMain->y(),
        panel.width() - Twips::toPixels(10), m_stMain->height());
    m_pbFtp->raise();
    m_pbFtp->setVisible(true);
}

QString frmMain::statusText(int panel) const
{
    return (panel == 0 ? m_mainPanel : m_progressPanel)->text();
}

void frmMain::showChatState(ChatSession::State state)
{
    const bool open = state == ChatSession::State::InSession;
    const QString caption
        = StringTable::text(open ? StringTable::Disconnect : StringTable::Connect);
    action(QStringLiteral("mnuConnect"))->setText(caption);
    action(QStringLiteral("mnuConnectT"))->setText(caption);
    m_composers->enableForSession(open);
    EnableSessionControls(open);
    // A session that opens finds the user ready to type.
    if (open)
        handFocusToComposer();
}

// Save As and Print stay enabled once a session has been open: the transcript of an ended
// session can still be kept.
void frmMain::EnableSessionControls(bool enable)
{
    for (const char16_t *name : { u"mnuSetLanguage", u"mnuSetLanguageP", u"mnuSendFile", u"mnuFont",
             u"mnuRemote", u"mnuFontColor" })
        action(QString::fromUtf16(name))->setEnabled(enable);
    m_cmdSend->setEnabled(enable);
    if (enable) {
        action(QStringLiteral("mnuPrint"))->setEnabled(true);
        action(QStringLiteral("mnuSaveAs"))->setEnabled(true);
    }
}

// While the file is read, the panel under the progress bar says so.
void frmMain::showTransferState()
{
    action(QStringLiteral("mnuSendFile"))
        ->setText(StringTable::text(
            transfer().underWay() ? StringTable::CancelFileTransfer : StringTable::SendFile));
    const bool loading = transfer().state() == TransferSession::State::Loading;
    m_pbFtp->setVisible(!loading);
    m_progressPanel->setText(loading ? QStringLiteral("Initializing...") : QString());
}

// The state shown is the one the tick found; a message box of the chat's closing steps
// holds the timer, so they run once.
void frmMain::TmrState_Timer()
{
    m_tmrState->stop();
    const int id = chat().TmrState_Timer();
    m_mainPanel->setText(StringTable::text(id));
    if (!m_unloaded)
        m_tmrState->start();
}

// The File menu's entry connects or disconnects; its caption tells which.
void frmMain::mnuConnect_Click()
{
    if (chat().sessionOpen()) {
        chat().hangUp();
        return;
    }
    QAction *mnuConnect = action(QStringLiteral("mnuConnect"));
    frmConnect dialog(m_program, mnuConnect, this);
    m_connectDialog = &dialog;
    dialog.exec();
    if (mnuConnect->data().toString() == ConnectRequested)
        chat().ConnectRemote();
    mnuConnect->setData(QString());
}

void frmMain::cmdSend_Click()
{
    if (m_composers->blank() || !chat().sendMessage(m_composers->EncodeMessage()))
        return;
    m_composers->clearSent();
}

void frmMain::mnuLocal_Click()
{
    m_transcript->writeUserInformation(StringTable::LocalUserInformation, m_program.LocalUserIP,
        m_program.LocalNickname, m_program.LocalFullName, m_program.LocalEmail);
}

void frmMain::mnuRemote_Click()
{
    if (!chat().IsConnected())
        return;
    m_transcript->writeUserInformation(StringTable::RemoteUserInformation, m_program.RemoteUserIP,
        m_program.RemoteNickname, m_program.RemoteFullName, m_program.RemoteEmail);
}

// A cancelled dialog saves nothing: the file name it still holds from an earlier choice is
// never the target.
void frmMain::mnuSaveAs_Click()
{
    m_cdMain.Flags = 4;
    m_cdMain.Filter = QStringLiteral("RichText Format (*.rtf)|*.rtf|All Files (*.*)|*.*");
    if (m_cdMain.ShowSave(this))
        m_transcript->saveAs(m_cdMain.FileName);
}

// The folder is made first, so that the file manager opens it even before the first session.
void frmMain::mnuOpenHistory_Click()
{
    const QString folder = m_history->openFolder();
    if (folder.isEmpty()) {
        m_program.messageBox(QStringLiteral("The history folder %1 cannot be made.")
                                 .arg(QDir::toNativeSeparators(SessionHistory::standardFolder())),
            Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return;
    }
    m_program.desktop().openUrl(QUrl::fromLocalFile(folder));
}

// Straight to the default printer; without one there is nothing to do and nothing to say.
void frmMain::mnuPrint_Click()
{
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull())
        return;
    QPrinter printer(printerInfo);
    m_transcript->print(printer);
}

// The transcript never keeps the keyboard: a click in it hands the focus to the composer
// of the current language, when that one can take it.
void frmMain::handFocusToComposer()
{
    QWidget *composer = m_composers->activeBox();
    if (composer->isEnabled() && composer->isVisibleTo(this))
        composer->setFocus();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rtbMain->viewport() && event->type() == QEvent::MouseButtonPress) {
        handFocusToComposer();
        return false;
    }
    // Enter in either composer presses the window's default button.
    if ((watched == m_composers->txtSendEN() || watched == m_composers->txtSend()->txtMain())
        && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_cmdSend->isEnabled())
                m_cmdSend->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::mnuSettings_Click()
{
    frmSettings settings(m_program, this);
    settings.exec();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded)
        Form_QueryUnload();
    event->accept();
}

// Every way out passes here. The settings are written before the rest of the shut-down, so
// that a failure further on cannot lose them; the partner learns of the end from its own
// socket.
void frmMain::Form_QueryUnload()
{
    m_unloaded = true;
    // A box about a failed write lets events run: no status tick may listen again or reset
    // a transfer while the program ends.
    m_tmrState->stop();
    m_history->sessionEnded();
    m_program.SaveSettings();
    RemoveTrayIcon();
    chat().close();
    transfer().close();
    m_program.environment().endProcess();
}

void frmMain::mnuExit_Click()
{
    close();
}

// Minimizing sends the window to the tray. Without a tray nothing could bring it back, so
// it then stays minimized as usual. The hiding waits for the event loop, since whoever
// minimized the window may still make it visible right after the state change.
void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)
        && systemTrayAvailable())
        QMetaObject::invokeMethod(this, &frmMain::hideIfMinimized, Qt::QueuedConnection);
}

bool frmMain::systemTrayAvailable() const
{
    const auto &available = m_program.environment().systemTrayAvailable;
    return available ? available() : QSystemTrayIcon::isSystemTrayAvailable();
}

void frmMain::hideIfMinimized()
{
    if (windowState() & Qt::WindowMinimized)
        hide();
}

void frmMain::TrayCallback(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        ShowMessenger();
}

void frmMain::ShowMessenger()
{
    show();
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const QScreen *current = screen() ? screen() : QGuiApplication::primaryScreen();
    move(current->geometry().topLeft());
    raise();
    activateWindow();
    m_notices->windowShown();
}

void frmMain::mnuHlepTopics_Click()
{
    const QString helpFile = DataFiles::path(QStringLiteral("help.html"));
    m_program.desktop().openUrl(QUrl::fromLocalFile(helpFile));
}

void frmMain::mnuUrdukeyboard_Click()
{
    if (!m_keyboard)
        m_keyboard = new frmKeyboard(m_composers->txtSend(), this);
    m_keyboard->show();
    m_keyboard->raise();
    m_keyboard->activateWindow();
}

// Idle, the entry offers a file; from the dial on it offers to cancel the transfer.
void frmMain::mnuSendFile_Click()
{
    if (transfer().state() != TransferSession::State::Idle) {
        transfer().cancelTransfer();
        return;
    }
    openSendDialog(QString());
}

void frmMain::openSendDialog(const QString &path)
{
    frmFileTransfer dialog(m_cdMain, m_program.desktop(), this);
    dialog.setFileName(path);
    connect(&dialog, &frmFileTransfer::sendRequested, this, [this](const QString &path) {
        transfer().TransferFileName = path;
        transfer().FileRequest();
    });
    connect(
        &dialog, &frmFileTransfer::cancelRequested, &transfer(), &TransferSession::cancelTransfer);
    dialog.exec();
}

void frmMain::acceptFileDrops()
{
    auto *drops = new FileDrops(this, action(QStringLiteral("mnuSendFile")), transfer());
    connect(drops, &FileDrops::fileDropped, this, &frmMain::openSendDialog);
    connect(drops, &FileDrops::refused, this, [this](const QString &reason) {
        m_program.messageBox(reason, Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
    });
}

void frmMain::settleNameClash(const QString &folder, QString *name, bool *settled)
{
    frmFileExists dialog(DownloadFolder(folder), m_program.desktop(), this);
    *settled = dialog.exec() == QDialog::Accepted;
    if (*settled)
        *name = dialog.chosenName(*name);
}

void frmMain::mnuAbout_Click()
{
    frmAbout about(m_program.desktop());
    about.exec();
}
