#include "transfer/TransferSession.h"

#include "app/basMain.h"
#include "chat/ChatSession.h"
#include "net/SocketEndpoint.h"
#include "resources/StringTable.h"
#include "transfer/DownloadFolder.h"
#include "transfer/PlainFileName.h"

#include <QCoreApplication>
#include <QFile>

TransferSession::TransferSession(basMain &program, const ChatSession &chat, QObject *parent)
    : QObject(parent)
    , m_program(program)
    , m_chat(chat)
    , m_wskFtp(new SocketEndpoint(this, program.environment().bindAddress))
{
    m_wskFtp->setObjectName(QStringLiteral("WskFTP"));
    connect(m_wskFtp, &SocketEndpoint::Connected, this, &TransferSession::WskFTP_Connect);
    connect(m_wskFtp, &SocketEndpoint::ConnectionRequest, this,
        &TransferSession::WskFTP_ConnectionRequest);
    connect(m_wskFtp, &SocketEndpoint::DataArrival, this, &TransferSession::WskFTP_DataArrival);
    connect(m_wskFtp, &SocketEndpoint::PeerClosed, this, &TransferSession::WskFTP_Close);
    connect(&chat, &ChatSession::connectionEnded, this, &TransferSession::chatEnded);
}

TransferSession::~TransferSession() = default;

bool TransferSession::Transferring() const
{
    return m_transfer.busy() && state() != State::Dialling;
}

bool TransferSession::underWay() const
{
    return m_transfer.busy() && state() != State::AwaitingOffer && state() != State::AskingUser;
}

void TransferSession::start()
{
    listenAgain();
}

void TransferSession::listenAgain()
{
    m_wskFtp->Close();
    m_wskFtp->setLocalPort(m_program.environment().filePort);
    m_wskFtp->Listen();
}

void TransferSession::ResetTransfer()
{
    m_received.clear();
    m_transfer.reset();
    listenAgain();
    emit progressChanged(0);
    emit changed();
}

void TransferSession::close()
{
    m_wskFtp->Close();
    m_transfer.reset();
    emit changed();
}

// A chat that breaks ends a running transfer with the user told; a chat the user ended
// takes it along without a word.
void TransferSession::chatEnded(bool broken)
{
    const bool interrupted = broken && Transferring();
    ResetTransfer();
    if (!interrupted)
        return;
    const QString text = StringTable::text(StringTable::FileTransferInterrupted);
    emit transferEnded(text, false);
    m_program.messageBox(text, Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
}

void TransferSession::FileRequest()
{
    m_transfer.startSending(PlainFileName::bareName(TransferFileName));
    emit changed();
    m_wskFtp->Close();
    m_wskFtp->setRemoteHost(m_program.RemoteUserIP);
    m_wskFtp->setLocalPort(0);
    m_wskFtp->setRemotePort(m_program.environment().filePort);
    m_wskFtp->Connect();
    m_wskFtp->waitWhileDialling();
    // The chat may have ended or the user cancelled meanwhile, which resets the transfer and
    // leaves nothing to report.
    if (m_wskFtp->State() == SocketEndpoint::SocketState::Error)
        endTransfer(
            QStringLiteral("Error Connecting Remote Computer!"), Desktop::Icon::Exclamation);
}

void TransferSession::cancelTransfer()
{
    const quint32 transfer = m_transfer.serial();
    const Desktop::Answer answer
        = m_program.messageBox(QStringLiteral("Are you sure you want to Cancel?"),
            Desktop::Icon::Question, Desktop::Buttons::YesNo);
    // The transfer may have ended while the question was up; there is nothing left to cancel.
    if (answer != Desktop::Answer::Yes || transfer != m_transfer.serial())
        return;
    runTransferSteps(m_transfer.cancel());
    // The "{CLOSE}" leaves before the socket closes. A socket still dialling has nothing to
    // send: it stops at once, before the partner can take the call.
    for (int i = 0; i < 4 && m_wskFtp->State() == SocketEndpoint::SocketState::Connected; ++i)
        QCoreApplication::processEvents();
    endTransfer(
        StringTable::text(StringTable::FileTransferInterrupted), Desktop::Icon::Exclamation);
}

void TransferSession::WskFTP_Connect()
{
    m_transfer.connected();
    emit changed();
}

// Only the chat partner may send a file, and only during a session. A request left untaken
// is dropped by the socket; one from another address shows its address only once taken, so
// it is closed at once, unannounced, and the socket listens again.
void TransferSession::WskFTP_ConnectionRequest(qint32 requestId)
{
    if (!m_chat.sessionOpen() || m_transfer.busy() || !m_wskFtp->Accept(requestId))
        return;
    if (m_wskFtp->RemoteHostIP() != m_program.RemoteUserIP) {
        listenAgain();
        return;
    }
    m_program.PlaySound(basMain::RequestSound);
    m_received.clear();
    runTransferSteps(m_transfer.startReceiving());
}

void TransferSession::WskFTP_DataArrival(qint32)
{
    runTransferSteps(m_transfer.feed(m_wskFtp->GetData()));
}

void TransferSession::WskFTP_Close()
{
    runTransferSteps(m_transfer.connectionClosed());
}

// Carries out what the protocol asks for. An ending returns the transfer to idle before its
// message is shown, so the file socket listens again while the box is up.
void TransferSession::runTransferSteps(const FileTransfer::Steps &steps)
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
            m_received += step.bytes;
            break;
        case Kind::Progress:
            emit progressChanged(step.value);
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
    }
    emit changed();
}

// The user's answer goes to the transfer that asked, and only while it still waits for it.
void TransferSession::askToAcceptFile(const QString &offeredName)
{
    TransferFileName = offeredName;
    emit fileOffered(m_program.RemoteNickname, offeredName);
    const quint32 transfer = m_transfer.serial();
    const Desktop::Answer answer = m_program.messageBox(m_program.RemoteNickname
            + QStringLiteral(" wants to send a file.\r\n") + offeredName
            + QStringLiteral("\r\nDo you want to accept his request?"),
        Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (transfer != m_transfer.serial())
        return;
    const bool accepted = answer == Desktop::Answer::Yes && settleNameClash();
    if (transfer != m_transfer.serial())
        return;
    runTransferSteps(accepted ? m_transfer.accept() : m_transfer.refuse());
}

// False when the user left the name-clash question without settling it: the existing file
// is kept and the offer refused.
bool TransferSession::settleNameClash()
{
    const QString folder = basMain::downloadFolder(m_program.DownloadPath);
    if (!DownloadFolder(folder).holds(TransferFileName))
        return true;
    QString name = TransferFileName;
    bool settled = false;
    emit nameClash(folder, &name, &settled);
    if (settled)
        TransferFileName = name;
    return settled;
}

// The file is read into a local first: a transfer that ended while it was being read must
// not be left holding it.
void TransferSession::sendLoadedFile()
{
    emit changed();
    const quint32 transfer = m_transfer.serial();
    QByteArray data;
    QString error;
    const bool loaded = LoadFileData(data, error);
    if (transfer != m_transfer.serial())
        return;
    runTransferSteps(loaded ? m_transfer.fileLoaded(data) : m_transfer.fileUnreadable(error));
}

// Reads the file in pieces, letting the window breathe between them.
bool TransferSession::LoadFileData(QByteArray &data, QString &error)
{
    constexpr qint64 Piece = 65536;
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
    return loaded;
}

bool TransferSession::SaveFileData(const QByteArray &data, QString &error)
{
    const DownloadFolder folder(basMain::downloadFolder(m_program.DownloadPath));
    return folder.save(TransferFileName, data, error);
}

void TransferSession::storeReceivedFile()
{
    QString error;
    if (SaveFileData(m_received, error))
        endTransfer(StringTable::text(StringTable::FileReceived), Desktop::Icon::Information);
    else
        endTransfer(
            QStringLiteral("The file %1 could not be saved.\r\n%2").arg(TransferFileName, error),
            Desktop::Icon::Exclamation);
}

void TransferSession::endTransfer(const QString &text, Desktop::Icon icon)
{
    ResetTransfer();
    emit transferEnded(text, icon == Desktop::Icon::Information);
    m_program.messageBox(text, icon, Desktop::Buttons::Ok);
}
