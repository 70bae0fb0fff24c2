#include "ui/frmMain.h"

#include "app/DataFiles.h"
#include "app/basMain.h"
#include "chat/ColorNumber.h"
#include "chat/Handshake.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "net/WireText.h"
#include "resources/ProgramIcon.h"
#include "resources/StringTable.h"
#include "transfer/DownloadFolder.h"
#include "transfer/PlainFileName.h"
#include "ui/Transcript.h"
#include "ui/TranscriptView.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"
#include "ui/frmConnect.h"
#include "ui/frmFileExists.h"
#include "ui/frmFileTransfer.h"
#include "ui/frmKeyboard.h"
#include "ui/frmSettings.h"
#include "urdu/UrduGlyphFont.h"
#include "urdu/basUrdu.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

#include <random>

namespace {

const QString SessionMarker = QStringLiteral("ACCEPT");
const QString ConnectRequested = QStringLiteral("1");

// Colour numbers (0x00BBGGRR) of the transcript's fixed colours.
constexpr qint32 Black = 0;
constexpr qint32 BannerCrimson = 4653723;
constexpr qint32 LocalNickGreen = 4954117;
constexpr qint32 RemoteNickPurple = 9978225;

// The hidden layout box wraps Urdu lines at this width.
constexpr int LayoutWidthTwips = 3885;
// Sizes a partner asks for are drawn within these bounds, so that a hostile size cannot
// make the transcript unusable; an honest partner's font dialog stays below 24 points.
constexpr int SmallestShownSize = 1;
constexpr int LargestShownSize = 72;

enum SoundKind { MessageSound = 0, RequestSound = 1, ErrorSound = 2 };

enum MenuFlag : unsigned {
    Plain = 0,
    Disabled = 1,
    Checkable = 2,
    Checked = 4 | Checkable,
    Hidden = 8,
};

struct MenuEntry
{
    int level;
    const char16_t *name;
    const char16_t *caption;
    unsigned flags;
};

// The whole menu tree, in order. Level 0 entries are menus (the hidden ones serve as the
// tray's and the composers' context menus); an entry followed by deeper entries is a submenu.
constexpr MenuEntry MenuTree[] = {
    { 0, u"mnuFile", u"&File", Plain },
    { 1, u"mnuConnect", u"&Connect", Plain },
    { 1, u"mnuSettings", u"&Settings", Plain },
    { 1, u"mnuln1", u"-", Plain },
    { 1, u"mnuSaveAs", u"Save &As", Disabled },
    { 1, u"mnuPrint", u"&Print", Disabled },
    { 1, u"mnuln7", u"-", Plain },
    { 1, u"mnuExit", u"E&xit", Plain },
    { 0, u"mnuOptions", u"&Options", Plain },
    { 1, u"mnuUrdukeyboard", u"&Urdu Keyboard", Plain },
    { 1, u"mnuln2", u"-", Plain },
    { 1, u"mnuGetInfo", u"&Get Info.", Plain },
    { 2, u"mnuRemote", u"&Remote", Disabled },
    { 2, u"mnuLocal", u"&Local", Plain },
    { 1, u"mnuSetLanguage", u"Set &Language", Disabled },
    { 2, u"mnuEnglish", u"&English", Checkable },
    { 2, u"mnuUrdu", u"&Urdu", Checked },
    { 1, u"mnuFont", u"&Font", Disabled },
    { 1, u"mnuFontColor", u"Font &Color", Disabled },
    { 1, u"mnuln3", u"-", Plain },
    { 1, u"mnuSendFile", u"&Send File", Disabled },
    { 0, u"mnuHelp", u"&Help", Plain },
    { 1, u"mnuHlepTopics", u"Help &Topics", Plain },
    { 1, u"mnuln4", u"-", Plain },
    { 1, u"mnuAbout", u"&About \"Kalvex\"", Plain },
    { 0, u"mnuTray", u"Tray", Hidden },
    { 1, u"mnuShowMessenger", u"&Show Messenger", Plain },
    { 1, u"mnuConnectT", u"&Connect", Plain },
    { 1, u"mnuSettingsT", u"&Settings", Plain },
    { 1, u"mnuln5", u"-", Plain },
    { 1, u"mnuExitT", u"E&xit", Plain },
    { 0, u"mnuPopText", u"PopText", Hidden },
    { 1, u"mnuSetLanguageP", u"Set &Language", Plain },
    { 2, u"mnuEnglishP", u"&English", Checkable },
    { 2, u"mnuUrduP", u"&Urdu", Checked },
    { 1, u"mnuln6", u"-", Plain },
    { 1, u"mnuFontP", u"&Font", Plain },
    { 1, u"mnuFontColorP", u"Font &Color", Plain },
};

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
    , m_wskMain(new SocketEndpoint(this, program.environment().bindAddress))
    , m_wskFtp(new SocketEndpoint(this, program.environment().bindAddress))
    , m_cdMain(*program.environment().desktop)
    , m_txtSendENColor(ColorNumber::WindowText)
{
    setObjectName(QStringLiteral("frmMain"));
    m_wskMain->setObjectName(QStringLiteral("WskMain"));
    m_wskFtp->setObjectName(QStringLiteral("WskFTP"));
    setWindowTitle(QStringLiteral("Kalvex v1.0"));
    setWindowIcon(ProgramIcon::icon());
    UrduGlyphFont::install();

    createControls();
    createMenus();
    connectHandlers();
    Form_Load();
}

frmMain::~frmMain() = default;

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

    m_fraReceive = new QFrame(client);
    m_fraReceive->setObjectName(QStringLiteral("fraReceive"));
    m_fraReceive->setFrameShape(QFrame::StyledPanel);
    m_fraReceive->setGeometry(Twips::rect(30, -45, 4080, 4260));

    m_rtbMain = new TranscriptView(m_fraReceive);
    m_rtbMain->setObjectName(QStringLiteral("rtbMain"));
    m_rtbMain->setReadOnly(true);
    m_rtbMain->setGeometry(Twips::rect(30, 120, 4020, 4110));
    m_rtbMain->viewport()->installEventFilter(this);
    m_transcript = std::make_unique<Transcript>(m_rtbMain);

    m_txtSend = new UrduText(client, m_program.environment().desktop);
    m_txtSend->setObjectName(QStringLiteral("txtSend"));
    m_txtSend->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    m_txtSend->setFont(UrduGlyphFont::font(12));
    m_txtSend->setEnabled(false);
    m_txtSend->txtMain()->installEventFilter(this);

    m_txtSendEN = new QPlainTextEdit(client);
    m_txtSendEN->setObjectName(QStringLiteral("txtSendEN"));
    m_txtSendEN->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    m_txtSendEN->setFont(arial);
    m_txtSendEN->setEnabled(false);
    m_txtSendEN->setVisible(false);
    m_txtSendEN->setContextMenuPolicy(Qt::CustomContextMenu);
    m_txtSendEN->installEventFilter(this);

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

    m_txtTmp = new QPlainTextEdit(client);
    m_txtTmp->setObjectName(QStringLiteral("txtTmp"));
    m_txtTmp->setGeometry(Twips::rect(-3825, 2580, 3885, 1125));
    m_txtTmp->setFont(UrduGlyphFont::font(8.25));
    m_txtTmp->setVisible(false);

    m_tmrState = new QTimer(this);
    m_tmrState->setObjectName(QStringLiteral("TmrState"));
    m_tmrState->setInterval(500);
    m_tmrState->start();

    m_partialTimer = new QTimer(this);
    m_partialTimer->setSingleShot(true);
    m_clock.start();

    QWidget::setTabOrder(m_txtSend, m_txtSendEN);
    QWidget::setTabOrder(m_txtSendEN, m_cmdSend);
    QWidget::setTabOrder(m_cmdSend, m_stMain);
    QWidget::setTabOrder(m_stMain, m_fraReceive);
    QWidget::setTabOrder(m_fraReceive, m_rtbMain);
    QWidget::setTabOrder(m_rtbMain, m_pbFtp);
    QWidget::setTabOrder(m_pbFtp, m_txtTmp);
}

void frmMain::createMenus()
{
    QList<QMenu *> openMenus; // the menu at each level above the current entry
    const auto entryCount = std::size(MenuTree);
    for (std::size_t i = 0; i < entryCount; ++i) {
        const MenuEntry &entry = MenuTree[i];
        const QString name = QString::fromUtf16(entry.name);
        const QString caption = QString::fromUtf16(entry.caption);
        const bool hasChildren = i + 1 < entryCount && MenuTree[i + 1].level > entry.level;
        openMenus.resize(entry.level);

        QAction *item = nullptr;
        if (entry.level == 0) {
            auto *menu = new QMenu(caption, this);
            if (!(entry.flags & Hidden))
                menuBar()->addMenu(menu);
            menu->setObjectName(name);
            openMenus.append(menu);
            item = menu->menuAction();
        } else if (hasChildren) {
            QMenu *menu = openMenus.last()->addMenu(caption);
            menu->setObjectName(name);
            openMenus.append(menu);
            item = menu->menuAction();
        } else if (caption == u"-") {
            item = openMenus.last()->addSeparator();
        } else {
            item = openMenus.last()->addAction(caption);
        }
        item->setObjectName(name);
        item->setEnabled(!(entry.flags & Disabled));
        item->setCheckable(entry.flags & Checkable);
        item->setChecked((entry.flags & Checked) == Checked);
    }
    m_mnuTray = findChild<QMenu *>(QStringLiteral("mnuTray"));
    m_mnuPopText = findChild<QMenu *>(QStringLiteral("mnuPopText"));
}

QAction *frmMain::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

void frmMain::onAction(const char16_t *name, void (frmMain::*handler)())
{
    connect(action(QString::fromUtf16(name)), &QAction::triggered, this, handler);
}

void frmMain::connectHandlers()
{
    connect(m_tmrState, &QTimer::timeout, this, &frmMain::TmrState_Timer);
    connect(m_partialTimer, &QTimer::timeout, this, &frmMain::expirePartialMessage);
    connect(
        m_wskMain, &SocketEndpoint::ConnectionRequest, this, &frmMain::WskMain_ConnectionRequest);
    connect(m_wskMain, &SocketEndpoint::DataArrival, this, &frmMain::WskMain_DataArrival);
    connect(m_wskMain, &SocketEndpoint::PeerClosed, this, &frmMain::WskMain_Close);
    connect(m_wskFtp, &SocketEndpoint::Connected, this, &frmMain::WskFTP_Connect);
    connect(m_wskFtp, &SocketEndpoint::ConnectionRequest, this, &frmMain::WskFTP_ConnectionRequest);
    connect(m_wskFtp, &SocketEndpoint::DataArrival, this, &frmMain::WskFTP_DataArrival);
    connect(m_wskFtp, &SocketEndpoint::PeerClosed, this, &frmMain::WskFTP_Close);
    connect(m_cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);

    onAction(u"mnuConnect", &frmMain::mnuConnect_Click);
    onAction(u"mnuConnectT", &frmMain::mnuConnectT_Click);
    onAction(u"mnuSettings", &frmMain::mnuSettings_Click);
    onAction(u"mnuSettingsT", &frmMain::mnuSettings_Click);
    onAction(u"mnuSaveAs", &frmMain::mnuSaveAs_Click);
    onAction(u"mnuPrint", &frmMain::mnuPrint_Click);
    onAction(u"mnuExit", &frmMain::mnuExit_Click);
    onAction(u"mnuExitT", &frmMain::mnuExitT_Click);
    onAction(u"mnuShowMessenger", &frmMain::ShowMessenger);
    onAction(u"mnuUrdukeyboard", &frmMain::mnuUrdukeyboard_Click);
    onAction(u"mnuLocal", &frmMain::mnuLocal_Click);
    onAction(u"mnuRemote", &frmMain::mnuRemote_Click);
    onAction(u"mnuSendFile", &frmMain::mnuSendFile_Click);
    // The context menu's entries do exactly what their namesakes in the Options menu do.
    for (const char16_t *suffix : { u"", u"P" }) {
        const auto named = [suffix](const char16_t *name) {
            return QString::fromUtf16(name) + QString::fromUtf16(suffix);
        };
        connect(
            action(named(u"mnuEnglish")), &QAction::triggered, this, &frmMain::mnuEnglish_Click);
        connect(action(named(u"mnuUrdu")), &QAction::triggered, this, &frmMain::mnuUrdu_Click);
        connect(action(named(u"mnuFont")), &QAction::triggered, this, &frmMain::mnuFont_Click);
        connect(action(named(u"mnuFontColor")), &QAction::triggered, this,
            &frmMain::mnuFontColor_Click);
    }
    onAction(u"mnuHlepTopics", &frmMain::mnuHlepTopics_Click);
    onAction(u"mnuAbout", &frmMain::mnuAbout_Click);
    connect(m_txtSend, &UrduText::MouseDown, this,
        [this](qint16 &button, qint16 &, float &, float &) { txtSend_MouseDown(button); });
    connect(m_txtSendEN, &QWidget::customContextMenuRequested, this, &frmMain::showComposerMenu);
}

// Start-up of the window. A step that fails is passed over and the next one runs: a port
// that another program holds leaves its socket closed, and the messenger still calls out.
void frmMain::Form_Load()
{
    AddTrayIcon();
    layProgressBarOverStatus();
    m_program.LocalUserIP = m_wskMain->LocalIP();
    Transferring = false;
    QFont composerFont = m_txtSend->font();
    composerFont.setFamily(UrduGlyphFont::faceName());
    m_txtSend->setFont(composerFont);
    const Environment &environment = m_program.environment();
    m_wskMain->setLocalPort(environment.chatPort);
    m_wskMain->Listen();
    m_wskFtp->setLocalPort(environment.filePort);
    m_wskFtp->Listen();
}

void frmMain::AddTrayIcon()
{
    m_trayIconId = drawTrayIconId();
    m_trayIcon = new QSystemTrayIcon(ProgramIcon::icon(), this);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    m_trayIcon->setToolTip(QStringLiteral("Kalvex v1.0"));
    m_trayIcon->setContextMenu(m_mnuTray);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &frmMain::TrayCallback);
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

void frmMain::listenAgain(SocketEndpoint &endpoint, quint16 port)
{
    endpoint.Close();
    endpoint.setLocalPort(port);
    endpoint.Listen();
}

// Back to waiting for a partner on the chat port, with nothing left of the last connection.
void frmMain::listenForCalls()
{
    beginConnection(HandshakeStep::None);
    m_partialTimer->stop();
    listenAgain(*m_wskMain, m_program.environment().chatPort);
}

bool frmMain::sessionOpen() const
{
    return m_wskMain->Tag() == SessionMarker;
}

// Shows the chat socket's state every half second, and brings a socket that the partner
// closed, or whose connect failed, back to listening.
void frmMain::TmrState_Timer()
{
    using State = SocketEndpoint::SocketState;
    const State state = m_wskMain->State();
    int id = StringTable::StateClosed + int(state);
    switch (state) {
    case State::Connected:
        // A connection whose handshake still runs reads as connecting.
        id = sessionOpen() ? StringTable::StateConnected : StringTable::StateConnecting;
        break;
    case State::Closing:
        if (Transferring) {
            m_pbFtp->setValue(0);
            Transferring = false;
            // No tick may close the connection a second time while the user reads this.
            m_tmrState->stop();
            m_program.environment().desktop->messageBox(this,
                StringTable::text(StringTable::FileTransferInterrupted), Desktop::Icon::Exclamation,
                Desktop::Buttons::Ok);
            m_tmrState->start();
        }
        m_transcript->WriteSessionBanner(StringTable::SessionClosed);
        ResetTransfer();
        listenForCalls();
        break;
    case State::Error:
        listenForCalls();
        m_program.PlaySound(ErrorSound);
        break;
    default:
        break;
    }
    m_mainPanel->setText(StringTable::text(id));
}

void frmMain::ResetTransfer()
{
    m_pbFtp->setValue(0);
    TransferData.clear();
    TransferSize = 0;
    TransferPos = 0;
    Transferring = false;
    m_transfer.reset();
    action(QStringLiteral("mnuSendFile"))->setText(StringTable::text(StringTable::SendFile));
    listenAgain(*m_wskFtp, m_program.environment().filePort);
}

// The File menu's entry connects or disconnects; its caption tells which.
void frmMain::mnuConnect_Click()
{
    QAction *mnuConnect = action(QStringLiteral("mnuConnect"));
    if (mnuConnect->text() == StringTable::text(StringTable::Connect)) {
        frmConnect dialog(m_program, mnuConnect, this);
        m_connectDialog = &dialog;
        dialog.exec();
        if (mnuConnect->data().toString() == ConnectRequested)
            ConnectRemote();
        mnuConnect->setData(QString());
        return;
    }
    // Nothing goes to the partner: it learns of the end from its own socket.
    setConnectCaptions(StringTable::Connect);
    enableComposers(false);
    EnableSessionControls(false);
    m_wskMain->Close();
    m_wskMain->setTag(QString());
    writeConnectionReset();
    m_transcript->WriteSessionBanner(StringTable::SessionClosed);
    listenForCalls();
    ResetTransfer();
}

void frmMain::mnuConnectT_Click()
{
    mnuConnect_Click();
}

void frmMain::setConnectCaptions(int stringId)
{
    const QString caption = StringTable::text(stringId);
    action(QStringLiteral("mnuConnect"))->setText(caption);
    action(QStringLiteral("mnuConnectT"))->setText(caption);
}

// Dials RemoteIP and waits while the connection is being made; the partner's identity
// usually arrives inside this wait. The wait ends once the socket stops dialling, also when
// the status timer has already put a failed attempt back to listening.
void frmMain::ConnectRemote()
{
    if (m_program.LocalNickname.isEmpty())
        mnuSettings_Click();
    m_wskMain->Close();
    beginConnection(HandshakeStep::Dialling);
    m_wskMain->setRemoteHost(m_program.RemoteIP);
    m_wskMain->setRemotePort(m_program.environment().chatPort);
    m_wskMain->setLocalPort(0);
    m_program.LocalUserIP = m_wskMain->LocalIP();
    m_wskMain->Connect();
    waitWhileDialling(*m_wskMain);
}

// A new chat connection starts with nothing of the last one.
void frmMain::beginConnection(HandshakeStep step)
{
    ++m_connectionSerial;
    m_handshake = step;
    m_chatReader.clear();
}

// A partner calls: an incoming call wins over one being dialled.
void frmMain::WskMain_ConnectionRequest(qint32 requestId)
{
    if (m_connectDialog)
        m_connectDialog->reject();
    m_wskMain->Close();
    m_program.LocalUserIP = m_wskMain->LocalIP();
    m_program.PlaySound(RequestSound);
    beginConnection(HandshakeStep::CalleeWaiting);
    // A call that cannot be taken leaves the socket listening again, not closed for good.
    if (!m_wskMain->Accept(requestId)) {
        listenForCalls();
        return;
    }
    m_wskMain->SendData(Handshake::identityMessage(Handshake::Tag::Send, m_program.LocalNickname,
        m_program.LocalFullName, m_program.LocalEmail));
}

// What arrives is read by its grammar, so that joined sends are taken apart and a split
// one is put together before anything is shown.
void frmMain::WskMain_DataArrival(qint32)
{
    const QList<QByteArray> messages = m_chatReader.feed(m_wskMain->GetData(), m_clock.elapsed());
    const quint32 connection = m_connectionSerial;
    for (const QByteArray &message : messages) {
        // A modal question may have ended this connection while earlier messages were
        // handled; what followed them belongs to it and goes with it.
        if (connection != m_connectionSerial)
            return;
        handleArrival(message);
    }
    if (connection == m_connectionSerial && m_chatReader.hasPartial())
        m_partialTimer->start(int(qMax<qint64>(0, m_chatReader.msUntilExpiry(m_clock.elapsed()))));
}

// A message that never got its end is handled as it stands once it has waited long enough.
void frmMain::expirePartialMessage()
{
    const QList<QByteArray> messages = m_chatReader.expire(m_clock.elapsed());
    for (const QByteArray &message : messages)
        handleArrival(message);
    if (m_chatReader.hasPartial())
        m_partialTimer->start(int(qMax<qint64>(0, m_chatReader.msUntilExpiry(m_clock.elapsed()))));
}

void frmMain::handleArrival(const QByteArray &message)
{
    switch (Handshake::classify(message)) {
    case Handshake::Tag::Send:
        if (m_handshake == HandshakeStep::Dialling) {
            partnerIdentityArrived(message);
            m_handshake = HandshakeStep::CallerAnswered;
            m_wskMain->SendData(Handshake::identityMessage(Handshake::Tag::Recev,
                m_program.LocalNickname, m_program.LocalFullName, m_program.LocalEmail));
        }
        return;
    case Handshake::Tag::Recev:
        if (m_handshake == HandshakeStep::CalleeWaiting)
            partnerAsksToChat(message);
        return;
    case Handshake::Tag::Not:
        if (m_handshake == HandshakeStep::CallerAnswered)
            partnerRefused();
        return;
    case Handshake::Tag::Yes:
        if (m_handshake == HandshakeStep::CallerAnswered)
            openSession();
        return;
    case Handshake::Tag::None:
        messageArrived(message);
        return;
    }
}

void frmMain::partnerIdentityArrived(const QByteArray &message)
{
    PartnerIdentity identity { m_program.RemoteNickname, m_program.RemoteFullName,
        m_program.RemoteEmail };
    Handshake::readIdentity(message, Handshake::classify(message), identity);
    m_program.RemoteNickname = identity.nickname;
    m_program.RemoteFullName = identity.fullName;
    m_program.RemoteEmail = identity.email;
    m_program.RemoteUserIP = m_wskMain->RemoteHostIP();
}

// The caller's identity has come: the user decides. The answer is given to the connection
// that asked, and only while it stands; a partner who has gone meanwhile gets nothing.
void frmMain::partnerAsksToChat(const QByteArray &message)
{
    partnerIdentityArrived(message);
    m_handshake = HandshakeStep::CalleeAsking;
    m_program.PlaySound(RequestSound);
    const quint32 connection = m_connectionSerial;
    const QString question = m_program.RemoteNickname + QStringLiteral(" {")
        + m_program.RemoteUserIP
        + QStringLiteral("} wants to Chat you.\r\nDo you want to accept his/her request?");
    const Desktop::Answer answer = m_program.environment().desktop->messageBox(
        this, question, Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (connection != m_connectionSerial
        || m_wskMain->State() != SocketEndpoint::SocketState::Connected
        || m_wskMain->PeerHasClosed())
        return;
    if (answer == Desktop::Answer::Yes) {
        m_wskMain->SendData(Handshake::yes());
        openSession();
        return;
    }
    m_wskMain->SendData(Handshake::no());
    QCoreApplication::processEvents();
    listenForCalls();
}

void frmMain::partnerRefused()
{
    const quint32 connection = m_connectionSerial;
    m_program.environment().desktop->messageBox(this,
        m_program.RemoteNickname + QStringLiteral(" {") + m_program.RemoteUserIP
            + QStringLiteral("} didn't accept your request."),
        Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
    if (connection != m_connectionSerial)
        return;
    listenForCalls();
    m_program.PlaySound(ErrorSound);
}

void frmMain::openSession()
{
    m_handshake = HandshakeStep::None;
    m_wskMain->setTag(SessionMarker);
    setConnectCaptions(StringTable::Disconnect);
    m_txtSend->setEnabled(true);
    if (EnglishMode)
        m_txtSendEN->setEnabled(true);
    EnableSessionControls(true);
    m_transcript->clear();
    m_transcript->WriteSessionBanner(StringTable::SessionOpened);
    m_transcript->AppendRun(
        QStringLiteral("\r\nRemote User Nick is "), Black, QStringLiteral("Tahoma"), 10);
    m_transcript->AppendRun(m_program.RemoteNickname + QStringLiteral("\r\n"), BannerCrimson,
        QStringLiteral("Tahoma"), 10);
    m_program.PlaySound(MessageSound);
}

// The line that ends a session on either side: the partner's nickname and address.
void frmMain::writeConnectionReset()
{
    m_transcript->AppendRun(QStringLiteral("\r\n")
            + StringTable::text(StringTable::ConnectionWithThe) + m_program.RemoteNickname
            + QStringLiteral(" {") + m_program.RemoteUserIP + QStringLiteral("}")
            + StringTable::text(StringTable::IsReset),
        BannerCrimson, QStringLiteral("Tahoma"), 10);
}

// The partner has closed the chat connection. The socket stays closing until the next
// status tick, which writes the closing banner and listens again.
void frmMain::WskMain_Close()
{
    setConnectCaptions(StringTable::Connect);
    m_handshake = HandshakeStep::None;
    if (!sessionOpen())
        return;
    writeConnectionReset();
    m_program.PlaySound(ErrorSound);
    m_wskMain->setTag(QString());
    enableComposers(false);
    EnableSessionControls(false);
    setConnectCaptions(StringTable::Connect);
    m_wskMain->setLocalPort(m_program.environment().chatPort);
    m_wskMain->Listen();
}

void frmMain::enableComposers(bool enable)
{
    m_txtSend->setEnabled(enable);
    m_txtSendEN->setEnabled(enable);
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

void frmMain::cmdSend_Click()
{
    const bool urdu = !EnglishMode;
    const QByteArray text = urdu ? m_txtSend->Text() : WireText::toWire(m_txtSendEN->toPlainText());
    if (text.count(' ') == text.size())
        return;
    const QByteArray markup = EncodeMessage(urdu);
    // A partner reads at most this much as one message; a longer one would reach it cut.
    if (markup.size() > MessageMarkup::MaxMarkupBytes) {
        m_program.environment().desktop->messageBox(this,
            QStringLiteral("This message is too long to send; please shorten it."),
            Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return;
    }
    m_wskMain->SendData(markup);
    MessageMarkup::DecodeMessage(markup, Msg);
    ShowMessage(m_program.LocalNickname, 0);
    if (urdu) {
        m_txtSend->setText(UrduKeyText());
        m_txtSend->txtMain()->setFocus();
    } else {
        m_txtSendEN->clear();
        m_txtSendEN->setFocus();
    }
}

// Chat messages count only inside a session: a caller the user has not accepted cannot
// write into the transcript, nor make a sound.
void frmMain::messageArrived(const QByteArray &markup)
{
    if (!sessionOpen())
        return;
    m_program.PlaySound(MessageSound);
    MessageMarkup::DecodeMessage(markup, Msg);
    ShowMessage(m_program.RemoteNickname, 1);
}

// Only text in a Qirtas font is glyph codes; any other font gets the wire's single-byte text.
// The line breaks between the lines of an Urdu message stay line breaks.
QString frmMain::textToShow(const DecodedMessage &message)
{
    if (!message.MsgFontName.startsWith(UrduGlyphFont::familyPrefix()))
        return WireText::fromWire(message.MsgText);
    QStringList lines;
    for (const QByteArray &line : message.MsgText.split('\n'))
        lines << UrduGlyphFont::toDisplay(line.endsWith('\r') ? line.chopped(1) : line);
    return lines.join(QStringLiteral("\r\n"));
}

// The header names the writer; the body is drawn in the writer's style.
void frmMain::ShowMessage(const QString &nickname, int writer)
{
    m_transcript->AppendStyledRun(
        QStringLiteral("\r\n") + nickname + QStringLiteral(" Says : \r\n"), QStringLiteral("Arial"),
        10, writer != 0 ? RemoteNickPurple : LocalNickGreen, true, false, Transcript::Left);
    const QString text = textToShow(Msg);
    const int size = qBound(SmallestShownSize, int(Msg.MsgFontSize), LargestShownSize);
    if (Msg.MsgUrdu)
        m_transcript->AppendStyledRun(text, Msg.MsgFontName, size, Msg.MsgColor, Msg.MsgBold,
            Msg.MsgItalic, Transcript::Right);
    else
        m_transcript->AppendStyledRun(QStringLiteral("   ") + text, Msg.MsgFontName, size,
            Msg.MsgColor, Msg.MsgBold, Msg.MsgItalic, Transcript::Left);
}

QByteArray frmMain::EncodeMessage(bool isUrdu)
{
    const QFont font = isUrdu ? m_txtSend->font() : m_txtSendEN->font();
    const MessageStyle style { font.family(), font.pointSizeF(), font.bold(), font.italic(),
        isUrdu ? m_txtSend->ForeColor() : m_txtSendENColor };
    const QByteArray text = isUrdu
        ? LayoutUrduLines()
        : WireText::toWire(m_txtSendEN->toPlainText().replace(u'\n', QStringLiteral("\r\n")));
    return MessageMarkup::EncodeMessage(style, text, isUrdu);
}

// An Urdu message goes out as lines wrapped to the width of the hidden layout box. The
// glyphs are in visual order, so the box's first line holds the end of the message: the
// lines are sent from the last to the first, each ending in CR LF, so that a right-to-left
// reader meets the beginning first.
QByteArray frmMain::LayoutUrduLines()
{
    m_txtTmp->setPlainText(UrduGlyphFont::toDisplay(ShapeUrdu(m_txtSend->Text())));
    const QFont composerFont = m_txtSend->font();
    QFont layoutFont = m_txtTmp->font();
    layoutFont.setFamily(composerFont.family());
    layoutFont.setPointSizeF(composerFont.pointSizeF());
    layoutFont.setBold(composerFont.bold());
    layoutFont.setItalic(composerFont.italic());
    m_txtTmp->setFont(layoutFont);

    QTextLayout layout(m_txtTmp->toPlainText(), layoutFont);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    m_tmpLines.clear();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(Twips::toPixels(LayoutWidthTwips));
        m_tmpLines << layout.text().mid(line.textStart(), line.textLength());
    }
    layout.endLayout();

    QByteArray lines;
    for (int i = int(m_tmpLines.size()) - 1; i >= 0; --i)
        lines += GetTmpLine(i) + "\r\n";
    return lines;
}

// A line of the layout box as glyph codes, without the blanks at its end.
QByteArray frmMain::GetTmpLine(int index) const
{
    if (index < 0 || index >= m_tmpLines.size())
        return {};
    QByteArray line = UrduGlyphFont::fromDisplay(m_tmpLines.at(index));
    while (line.endsWith(' '))
        line.chop(1);
    return line;
}

void frmMain::mnuLocal_Click()
{
    m_transcript->writeUserInformation(StringTable::LocalUserInformation, m_program.LocalUserIP,
        m_program.LocalNickname, m_program.LocalFullName, m_program.LocalEmail);
}

void frmMain::mnuRemote_Click()
{
    if (m_wskMain->State() != SocketEndpoint::SocketState::Connected)
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
    QWidget *composer = EnglishMode ? static_cast<QWidget *>(m_txtSendEN) : m_txtSend->txtMain();
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
    if ((watched == m_txtSendEN || watched == m_txtSend->txtMain())
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

void frmMain::SetComposerLanguage(bool urdu)
{
    m_txtSend->setEnabled(urdu);
    m_txtSend->setVisible(urdu);
    m_txtSendEN->setEnabled(!urdu);
    m_txtSendEN->setVisible(!urdu);
    EnglishMode = !urdu;
    markLanguage(urdu);
    action(QStringLiteral("mnuUrdukeyboard"))->setEnabled(urdu);
}

void frmMain::markLanguage(bool urdu)
{
    action(QStringLiteral("mnuUrdu"))->setChecked(urdu);
    action(QStringLiteral("mnuUrduP"))->setChecked(urdu);
    action(QStringLiteral("mnuEnglish"))->setChecked(!urdu);
    action(QStringLiteral("mnuEnglishP"))->setChecked(!urdu);
}

// A checkable entry flips its mark on every click; choosing the language already chosen
// puts the marks back and changes nothing else.
void frmMain::mnuEnglish_Click()
{
    if (EnglishMode) {
        markLanguage(false);
        return;
    }
    if (m_keyboard)
        m_keyboard->close();
    SetComposerLanguage(false);
}

void frmMain::mnuUrdu_Click()
{
    if (!EnglishMode) {
        markLanguage(true);
        return;
    }
    SetComposerLanguage(true);
}

// The Urdu composer takes only a Qirtas face; both take sizes below 24 points. The face is
// tested first, so a wrong face with a large size gets the face message alone.
void frmMain::mnuFont_Click()
{
    m_cdMain.Flags = 1;
    const bool urdu = m_txtSend->isEnabled();
    if (!urdu && !m_txtSendEN->isEnabled())
        return;
    QFont font = urdu ? m_txtSend->font() : m_txtSendEN->font();
    if (!chooseComposerFont(font, urdu))
        return;
    if (urdu)
        m_txtSend->setFont(font);
    else
        m_txtSendEN->setFont(font);
}

bool frmMain::chooseComposerFont(QFont &font, bool urdu)
{
    m_cdMain.FontName = font.family();
    m_cdMain.FontBold = font.bold();
    m_cdMain.FontItalic = font.italic();
    m_cdMain.FontSize = font.pointSizeF();
    if (!m_cdMain.ShowFont(this))
        return false;
    Desktop *desktop = m_program.environment().desktop;
    if (urdu && !m_cdMain.FontName.startsWith(UrduGlyphFont::familyPrefix())) {
        desktop->messageBox(this, StringTable::text(StringTable::SelectQirtasFont),
            Desktop::Icon::Information, Desktop::Buttons::Ok);
        return false;
    }
    if (m_cdMain.FontSize >= 24) {
        desktop->messageBox(this, QStringLiteral("Please choose a FontSize less than 24."),
            Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
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
void frmMain::mnuFontColor_Click()
{
    m_cdMain.ShowColor(this);
    if (EnglishMode)
        setEnglishColor(m_cdMain.Color);
    else
        m_txtSend->setForeColor(m_cdMain.Color);
}

void frmMain::setEnglishColor(qint32 color)
{
    m_txtSendENColor = color;
    QPalette palette = m_txtSendEN->palette();
    palette.setColor(QPalette::Text, ColorNumber::toColor(color));
    m_txtSendEN->setPalette(palette);
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

// Every way out passes here. The settings are written before anything else, so that a
// failure further on cannot lose them; the partner learns of the end from its own socket.
void frmMain::Form_QueryUnload()
{
    m_unloaded = true;
    m_program.SaveSettings();
    RemoveTrayIcon();
    if (m_wskMain->State() != SocketEndpoint::SocketState::Closed)
        m_wskMain->Close();
    if (m_wskFtp->State() != SocketEndpoint::SocketState::Closed)
        m_wskFtp->Close();
    m_tmrState->stop();
    m_program.environment().endProcess();
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::mnuExitT_Click()
{
    mnuExit_Click();
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
}

void frmMain::mnuHlepTopics_Click()
{
    const QString helpFile = DataFiles::path(QStringLiteral("help.html"));
    m_program.environment().desktop->openUrl(QUrl::fromLocalFile(helpFile));
}

void frmMain::mnuUrdukeyboard_Click()
{
    if (!m_keyboard)
        m_keyboard = new frmKeyboard(m_txtSend, this);
    m_keyboard->show();
    m_keyboard->raise();
    m_keyboard->activateWindow();
}

void frmMain::txtSend_MouseDown(qint16 &button)
{
    if (button == 2)
        showComposerMenu();
}

void frmMain::showComposerMenu()
{
    m_mnuPopText->popup(QCursor::pos());
}

// Idle, the entry offers a file; during a transfer it offers to cancel it.
void frmMain::mnuSendFile_Click()
{
    if (Transferring) {
        cancelTransfer();
        return;
    }
    if (m_transfer.busy())
        return;
    frmFileTransfer dialog(m_cdMain, *m_program.environment().desktop, this);
    connect(&dialog, &frmFileTransfer::sendRequested, this, [this](const QString &path) {
        TransferFileName = path;
        FileRequest();
    });
    dialog.exec();
}

void frmMain::FileRequest()
{
    setSendFileCaption(StringTable::CancelFileTransfer);
    m_transfer.startSending(PlainFileName::bareName(TransferFileName));
    m_wskFtp->Close();
    m_wskFtp->setRemoteHost(m_program.RemoteUserIP);
    m_wskFtp->setLocalPort(0);
    m_wskFtp->setRemotePort(m_program.environment().filePort);
    m_wskFtp->Connect();
    waitWhileDialling(*m_wskFtp);
    // The chat may have ended meanwhile, which resets the transfer and leaves nothing to report.
    if (m_wskFtp->State() == SocketEndpoint::SocketState::Error)
        endTransfer(
            QStringLiteral("Error Connecting Remote Computer!"), Desktop::Icon::Exclamation);
}

// Lets events run until the endpoint has stopped dialling, connected or not; the partner's
// first answers may be handled inside.
void frmMain::waitWhileDialling(const SocketEndpoint &endpoint)
{
    using State = SocketEndpoint::SocketState;
    for (State state = endpoint.State(); state == State::ResolvingHost
         || state == State::HostResolved || state == State::Connecting;
         state = endpoint.State())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void frmMain::cancelTransfer()
{
    const quint32 transfer = m_transfer.serial();
    const Desktop::Answer answer = m_program.environment().desktop->messageBox(this,
        QStringLiteral("Are you sure you want to Cancel?"), Desktop::Icon::Question,
        Desktop::Buttons::YesNo);
    // The transfer may have ended while the question was up; there is nothing left to cancel.
    if (answer != Desktop::Answer::Yes || transfer != m_transfer.serial())
        return;
    Transferring = false;
    runTransferSteps(m_transfer.cancel());
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    ResetTransfer();
    m_program.environment().desktop->messageBox(this,
        StringTable::text(StringTable::FileTransferInterrupted), Desktop::Icon::Exclamation,
        Desktop::Buttons::Ok);
}

void frmMain::WskFTP_Connect()
{
    Transferring = true;
}

// Only the chat partner may send a file, and only during a session. A request left untaken
// is dropped by the socket; one from another address shows its address only once taken, so
// it is closed at once, unannounced, and the socket listens again.
void frmMain::WskFTP_ConnectionRequest(qint32 requestId)
{
    if (!sessionOpen() || m_transfer.busy() || !m_wskFtp->Accept(requestId))
        return;
    if (m_wskFtp->RemoteHostIP() != m_program.RemoteUserIP) {
        listenAgain(*m_wskFtp, m_program.environment().filePort);
        return;
    }
    m_program.PlaySound(RequestSound);
    Transferring = true;
    runTransferSteps(m_transfer.startReceiving());
}

void frmMain::WskFTP_DataArrival(qint32)
{
    runTransferSteps(m_transfer.feed(m_wskFtp->GetData()));
}

void frmMain::WskFTP_Close()
{
    runTransferSteps(m_transfer.connectionClosed());
}

// Carries out what the protocol asks for. An ending returns the transfer to idle before its
// message is shown, so the file socket listens again while the box is up.
void frmMain::runTransferSteps(const FileTransfer::Steps &steps)
{
    using Kind = FileTransfer::Step::Kind;
    for (const FileTransfer::Step &step : steps) {
        switch (step.kind) {
        case Kind::Send:
            m_wskFtp->SendData(step.bytes);
            break;
        case Kind::AskUser:
            askToAcceptFile(step.text);
            break;
        case Kind::LoadFile:
            sendLoadedFile();
            break;
        case Kind::Content:
            TransferData += step.bytes;
            break;
        case Kind::Progress:
            m_pbFtp->setValue(step.value);
            break;
        case Kind::Sent:
            endTransfer(StringTable::text(StringTable::FileSent), Desktop::Icon::Information);
            break;
        case Kind::Received:
            storeReceivedFile();
            break;
        case Kind::Refused:
            endTransfer(m_program.RemoteNickname + QStringLiteral(" refuse to take file!"),
                Desktop::Icon::Exclamation);
            break;
        case Kind::Declined:
            ResetTransfer();
            break;
        case Kind::Interrupted:
            endTransfer(StringTable::text(StringTable::FileTransferInterrupted),
                Desktop::Icon::Exclamation);
            break;
        case Kind::Failed:
            endTransfer(step.text, Desktop::Icon::Exclamation);
            break;
        }
        TransferSize = m_transfer.size();
        TransferPos = m_transfer.done();
    }
}

// The user's answer goes to the transfer that asked, and only while it still waits for it.
void frmMain::askToAcceptFile(const QString &offeredName)
{
    TransferFileName = offeredName;
    const quint32 transfer = m_transfer.serial();
    const Desktop::Answer answer = m_program.environment().desktop->messageBox(this,
        m_program.RemoteNickname + QStringLiteral(" wants to send a file.\r\n") + offeredName
            + QStringLiteral("\r\nDo you want to accept his request?"),
        Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (transfer != m_transfer.serial())
        return;
    const bool accepted = answer == Desktop::Answer::Yes && settleNameClash();
    if (transfer != m_transfer.serial())
        return;
    if (!accepted) {
        runTransferSteps(m_transfer.refuse());
        return;
    }
    runTransferSteps(m_transfer.accept());
    setSendFileCaption(StringTable::CancelFileTransfer);
}

// False when the user left the name-clash dialog without settling it: the existing file
// is kept and the offer refused.
bool frmMain::settleNameClash()
{
    const DownloadFolder folder(basMain::downloadFolder(m_program.DownloadPath));
    if (!folder.holds(TransferFileName))
        return true;
    frmFileExists dialog(folder, *m_program.environment().desktop, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    TransferFileName = dialog.chosenName(TransferFileName);
    return true;
}

// The file is read into a local first: a transfer that ended while it was being read must
// not be left holding it.
void frmMain::sendLoadedFile()
{
    const quint32 transfer = m_transfer.serial();
    QByteArray data;
    qint32 size = 0;
    QString error;
    const bool loaded = LoadFileData(data, size, error);
    if (transfer != m_transfer.serial())
        return;
    TransferData = data;
    runTransferSteps(loaded ? m_transfer.fileLoaded(data) : m_transfer.fileUnreadable(error));
}

// Reads the file in pieces, letting the window breathe between them; the status panel under
// the progress bar says what is going on meanwhile.
bool frmMain::LoadFileData(QByteArray &data, qint32 &size, QString &error)
{
    constexpr qint64 Piece = 65536;
    m_pbFtp->setVisible(false);
    m_progressPanel->setText(QStringLiteral("Initializing..."));
    data.clear();
    QFile file(TransferFileName);
    bool loaded = file.open(QIODevice::ReadOnly) && file.size() <= FileTransfer::MaxFileSize;
    const qint64 length = loaded ? file.size() : 0;
    while (loaded && data.size() < length) {
        QCoreApplication::processEvents();
        const QByteArray piece = file.read(qMin(Piece, length - data.size()));
        loaded = !piece.isEmpty();
        data += piece;
    }
    error = file.error() != QFileDevice::NoError
        ? file.errorString()
        : QStringLiteral("It is no longer there or has grown beyond 2 MB.");
    size = qint32(data.size());
    m_progressPanel->clear();
    m_pbFtp->setVisible(true);
    return loaded;
}

bool frmMain::SaveFileData(const QByteArray &data, QString &error)
{
    const DownloadFolder folder(basMain::downloadFolder(m_program.DownloadPath));
    return folder.save(TransferFileName, data, error);
}

void frmMain::storeReceivedFile()
{
    QString error;
    const bool saved = SaveFileData(TransferData, error);
    if (saved)
        endTransfer(StringTable::text(StringTable::FileReceived), Desktop::Icon::Information);
    else
        endTransfer(
            QStringLiteral("The file %1 could not be saved.\r\n%2").arg(TransferFileName, error),
            Desktop::Icon::Exclamation);
}

void frmMain::endTransfer(const QString &text, Desktop::Icon icon)
{
    ResetTransfer();
    m_program.environment().desktop->messageBox(this, text, icon, Desktop::Buttons::Ok);
}

void frmMain::setSendFileCaption(int stringId)
{
    action(QStringLiteral("mnuSendFile"))->setText(StringTable::text(stringId));
}

void frmMain::mnuAbout_Click()
{
    frmAbout about(*m_program.environment().desktop);
    about.exec();
}
