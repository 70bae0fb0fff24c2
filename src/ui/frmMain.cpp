#include "ui/frmMain.h"

#include "app/basMain.h"
#include "controls/UrduText.h"
#include "net/SocketEndpoint.h"
#include "resources/ProgramIcon.h"
#include "resources/StringTable.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"
#include "ui/frmKeyboard.h"
#include "urdu/UrduGlyphFont.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <random>

namespace {

const QString SessionMarker = QStringLiteral("ACCEPT");

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
    const double r = double(generator() - generator.min()) / (double(generator.max() - generator.min()) + 1.0);
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

    m_rtbMain = new QTextEdit(m_fraReceive);
    m_rtbMain->setObjectName(QStringLiteral("rtbMain"));
    m_rtbMain->setReadOnly(true);
    m_rtbMain->setGeometry(Twips::rect(30, 120, 4020, 4110));

    m_txtSend = new UrduText(client, m_program.environment().desktop);
    m_txtSend->setObjectName(QStringLiteral("txtSend"));
    m_txtSend->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    m_txtSend->setFont(UrduGlyphFont::font(12));
    m_txtSend->setEnabled(false);

    m_txtSendEN = new QPlainTextEdit(client);
    m_txtSendEN->setObjectName(QStringLiteral("txtSendEN"));
    m_txtSendEN->setGeometry(Twips::rect(45, 4230, 3420, 1020));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(9);
    m_txtSendEN->setFont(arial);
    m_txtSendEN->setEnabled(false);
    m_txtSendEN->setVisible(false);
    m_txtSendEN->setContextMenuPolicy(Qt::CustomContextMenu);

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

void frmMain::connectHandlers()
{
    connect(m_tmrState, &QTimer::timeout, this, &frmMain::TmrState_Timer);
    connect(action(QStringLiteral("mnuExit")), &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(action(QStringLiteral("mnuExitT")), &QAction::triggered, this, &frmMain::mnuExitT_Click);
    connect(action(QStringLiteral("mnuShowMessenger")), &QAction::triggered, this, &frmMain::ShowMessenger);
    connect(action(QStringLiteral("mnuHlepTopics")), &QAction::triggered, this, &frmMain::mnuHlepTopics_Click);
    connect(action(QStringLiteral("mnuAbout")), &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(action(QStringLiteral("mnuUrdukeyboard")), &QAction::triggered, this, &frmMain::mnuUrdukeyboard_Click);
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
        id = m_wskMain->Tag() == SessionMarker ? StringTable::StateConnected : StringTable::StateConnecting;
        break;
    case State::Closing:
        if (Transferring) {
            m_pbFtp->setValue(0);
            Transferring = false;
            m_program.environment().desktop->messageBox(this, StringTable::text(StringTable::FileTransferInterrupted),
                                                        Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        }
        listenAgain(*m_wskMain, m_program.environment().chatPort);
        break;
    case State::Error:
        listenAgain(*m_wskMain, m_program.environment().chatPort);
        break;
    default:
        break;
    }
    m_mainPanel->setText(StringTable::text(id));
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
        && m_program.environment().systemTrayAvailable())
        QMetaObject::invokeMethod(this, &frmMain::hideIfMinimized, Qt::QueuedConnection);
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
    const QString helpFile = QCoreApplication::applicationDirPath() + QStringLiteral("/help.html");
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

void frmMain::mnuAbout_Click()
{
    frmAbout about(*m_program.environment().desktop);
    about.exec();
}
