#include "app/basMain.h"

#include "app/DataFiles.h"
#include "chat/ChatSession.h"
#include "transfer/TransferSession.h"

#include <QDir>
#include <QHostAddress>
#include <QRegularExpression>
#include <QStandardPaths>

namespace Key {
const QString RemoteIP = QStringLiteral("RemoteIP");
const QString Nickname = QStringLiteral("Nickname");
const QString FullName = QStringLiteral("FullName");
const QString Email = QStringLiteral("Email");
const QString Path = QStringLiteral("Path");
const QString RecentIPs = QStringLiteral("RecentIPs");
const QString KeepHistory = QStringLiteral("KeepHistory");
const QString UrduScript = QStringLiteral("UrduScript");
} // namespace Key

namespace {

// A settings file edited by hand or damaged may hold anything; only what can be dialled is
// offered as a partner.
bool isAddress(const QString &text)
{
    static const QRegularExpression hostName(
        QStringLiteral("^(?=.{1,253}$)(?:[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\.)*"
                       "[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\.?$"));
    return !QHostAddress(text).isNull() || hostName.match(text).hasMatch();
}

} // namespace

basMain::basMain(std::unique_ptr<SettingsStore> store, Environment environment)
    : m_store(std::move(store))
    , m_environment(std::move(environment))
    , m_chat(std::make_unique<ChatSession>(*this))
    , m_transfer(std::make_unique<TransferSession>(*this, *m_chat))
{
}

basMain::~basMain() = default;

QString basMain::defaultDownloadPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\My Downloads\\");
#else
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir::toNativeSeparators(folder) + QDir::separator();
#endif
}

QString basMain::downloadFolder(const QString &typed)
{
    if (typed.isEmpty())
        return defaultDownloadPath();
    return typed.endsWith(QDir::separator()) ? typed : typed + QDir::separator();
}

void basMain::Main()
{
    RemoteIP = m_store->read(Key::RemoteIP, QString());
    LocalNickname = m_store->read(Key::Nickname, QString());
    LocalFullName = m_store->read(Key::FullName, QString());
    LocalEmail = m_store->read(Key::Email, QString());
    DownloadPath = m_store->read(Key::Path, defaultDownloadPath());
    // Taken oldest first, so that each address ends up at its newest place and the newest
    // ten are kept.
    RecentIPs.clear();
    const QStringList stored = m_store->readList(Key::RecentIPs);
    for (auto address = stored.crbegin(); address != stored.crend(); ++address)
        rememberPartner(*address);
    // Only a clear "no" turns the history off; a damaged value keeps the user's chats.
    const QString keep = m_store->read(Key::KeepHistory, QString()).trimmed();
    KeepHistory = keep.compare(u"false", Qt::CaseInsensitive) != 0 && keep != u"0";
    Script = UrduScripts::named(m_store->read(Key::UrduScript, QString()));

    if (!m_environment.makeMainWindow)
        return;
    m_mainWindow = m_environment.makeMainWindow(*this);
    QMetaObject::invokeMethod(m_mainWindow.get(), "show");
}

void basMain::SaveSettings()
{
    m_store->write(Key::Nickname, LocalNickname);
    m_store->write(Key::FullName, LocalFullName);
    m_store->write(Key::Email, LocalEmail);
    m_store->write(Key::RemoteIP, RemoteIP);
    m_store->write(Key::Path, DownloadPath);
    m_store->writeList(Key::RecentIPs, RecentIPs);
    m_store->write(
        Key::KeepHistory, KeepHistory ? QStringLiteral("true") : QStringLiteral("false"));
    m_store->write(Key::UrduScript, UrduScripts::name(Script));
    if (m_store->sync()) {
        m_saveFailureShown = false;
        return;
    }
    if (m_saveFailureShown)
        return;
    m_saveFailureShown = true;
    messageBox(QStringLiteral("Your settings could not be saved in %1:\n%2.")
                   .arg(QDir::toNativeSeparators(m_store->fileName()), m_store->errorString()),
        Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
}

void basMain::Unload()
{
    // The window's own close runs its unload, as the close box does.
    if (m_mainWindow)
        QMetaObject::invokeMethod(m_mainWindow.get(), "close");
}

void basMain::rememberPartner(const QString &address)
{
    if (!isAddress(address))
        return;
    RecentIPs.removeAll(address);
    RecentIPs.prepend(address);
    if (RecentIPs.size() > MaxRecentIPs)
        RecentIPs.resize(MaxRecentIPs);
}

bool basMain::IsConnected() const
{
    return m_chat->IsConnected();
}

void basMain::PlaySound(int kind)
{
    QString name = QStringLiteral("error.wav");
    if (kind == MessageSound)
        name = QStringLiteral("message.wav");
    else if (kind == RequestSound)
        name = QStringLiteral("request.wav");
    m_environment.desktop->playSound(DataFiles::path(name));
}

Desktop::Answer basMain::messageBox(
    const QString &text, Desktop::Icon icon, Desktop::Buttons buttons)
{
    return m_environment.desktop->messageBox(m_mainWindow.get(), text, icon, buttons);
}
