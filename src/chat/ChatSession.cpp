#include "chat/ChatSession.h"

#include "app/basMain.h"
#include "chat/Handshake.h"
#include "net/SocketEndpoint.h"
#include "resources/StringTable.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

const QString SessionMarker = QStringLiteral("ACCEPT");

} // namespace

ChatSession::ChatSession(basMain &program, QObject *parent)
    : QObject(parent)
    , m_program(program)
    , m_wskMain(new SocketEndpoint(this, program.environment().bindAddress))
    , m_partialTimer(new QTimer(this))
    , m_identityTimer(new QTimer(this))
{
    m_wskMain->setObjectName(QStringLiteral("WskMain"));
    m_partialTimer->setSingleShot(true);
    m_identityTimer->setSingleShot(true);
    m_identityTimer->setInterval(IdentityTimeoutMs);
    m_clock.start();
    connect(m_wskMain, &SocketEndpoint::Connected, this, &ChatSession::WskMain_Connect);
    connect(m_wskMain, &SocketEndpoint::Failed, this, &ChatSession::WskMain_Failed);
    connect(m_wskMain, &SocketEndpoint::ConnectionRequest, this,
        &ChatSession::WskMain_ConnectionRequest);
    connect(m_wskMain, &SocketEndpoint::DataArrival, this, &ChatSession::WskMain_DataArrival);
    connect(m_wskMain, &SocketEndpoint::PeerClosed, this, &ChatSession::WskMain_Close);
    connect(m_partialTimer, &QTimer::timeout, this, &ChatSession::expirePartialMessage);
    connect(m_identityTimer, &QTimer::timeout, this, &ChatSession::identityOverdue);
}

ChatSession::~ChatSession() = default;

bool ChatSession::IsConnected() const
{
    return m_wskMain->State() == SocketEndpoint::SocketState::Connected;
}

int ChatSession::statusTextId() const
{
    switch (m_state) {
    case State::NotListening:
        return StringTable::StateClosed;
    case State::Listening:
        return StringTable::StateListening;
    case State::Dialling:
        // Resolving, resolved and connecting each have their text.
        return qMin(
            StringTable::StateClosed + int(m_wskMain->State()), int(StringTable::StateConnecting));
    case State::AwaitingIdentity:
    case State::AwaitingAnswer:
    case State::Answering:
    case State::AskingUser:
        return StringTable::StateConnecting;
    case State::InSession:
        return StringTable::StateConnected;
    case State::Closing:
        return StringTable::StatePartnerClosing;
    case State::Failed:
        return StringTable::StateProblemConnecting;
    }
    return StringTable::StateClosed;
}

// The one place the state changes. The session marker goes with it, so the socket says
// "ACCEPT" exactly while a session is open, and so does the wait for the partner's identity,
// which runs from the moment the connection stands.
void ChatSession::setState(State state)
{
    m_wskMain->setTag(state == State::InSession ? SessionMarker : QString());
    if (state == m_state)
        return;
    m_state = state;
    if (awaitingPartnerIdentity())
        m_identityTimer->start();
    else
        m_identityTimer->stop();
    emit stateChanged(state);
}

bool ChatSession::awaitingPartnerIdentity() const
{
    return m_state == State::AwaitingIdentity || m_state == State::Answering;
}

void ChatSession::start()
{
    m_program.LocalUserIP = m_wskMain->LocalIP();
    listenForCalls();
}

// Back to waiting for a partner on the chat port, with nothing left of the last connection.
// A port another program holds leaves the socket closed; calling out still works.
void ChatSession::listenForCalls()
{
    beginConnection();
    m_partialTimer->stop();
    m_wskMain->Close();
    m_wskMain->setLocalPort(m_program.environment().chatPort);
    setState(m_wskMain->Listen() ? State::Listening : State::NotListening);
}

// A new chat connection starts with nothing of the last one.
void ChatSession::beginConnection()
{
    ++m_connectionSerial;
    m_chatReader.clear();
    m_bytesBeforeIdentity = 0;
}

QString ChatSession::partner() const
{
    return m_program.RemoteNickname + QStringLiteral(" {") + m_program.RemoteUserIP
        + QStringLiteral("}");
}

void ChatSession::ConnectRemote()
{
    if (m_program.LocalNickname.isEmpty())
        emit settingsNeeded();
    m_wskMain->Close();
    beginConnection();
    m_wskMain->setRemoteHost(m_program.RemoteIP);
    m_wskMain->setRemotePort(m_program.environment().chatPort);
    m_wskMain->setLocalPort(0);
    m_program.LocalUserIP = m_wskMain->LocalIP();
    setState(State::Dialling);
    m_wskMain->Connect();
    m_wskMain->waitWhileDialling();
}

void ChatSession::WskMain_Connect()
{
    if (m_state == State::Dialling)
        setState(State::AwaitingIdentity);
}

// A failed connect stays on show until the next status tick tidies it up.
void ChatSession::WskMain_Failed()
{
    if (m_state == State::Dialling)
        setState(State::Failed);
}

void ChatSession::hangUp()
{
    m_wskMain->Close();
    setState(State::NotListening);
    emit connectionReset(partner());
    emit sessionClosed();
    listenForCalls();
    emit connectionEnded(false);
}

// A partner calls. Every call is taken; the user decides once the caller has said who it is.
void ChatSession::WskMain_ConnectionRequest(qint32 requestId)
{
    emit callArriving();
    m_wskMain->Close();
    m_program.LocalUserIP = m_wskMain->LocalIP();
    m_program.PlaySound(basMain::RequestSound);
    beginConnection();
    // A call that cannot be taken leaves the socket listening again, not closed for good.
    if (!m_wskMain->Accept(requestId)) {
        listenForCalls();
        return;
    }
    setState(State::Answering);
    m_wskMain->SendData(Handshake::identityMessage(Handshake::Tag::Send, m_program.LocalNickname,
        m_program.LocalFullName, m_program.LocalEmail));
}

// What arrives is read by its grammar, so that joined sends are taken apart and a split
// one is put together before anything is shown.
void ChatSession::WskMain_DataArrival(qint32)
{
    const QByteArray bytes = m_wskMain->GetData();
    if (floodedBeforeIdentity(bytes.size())) {
        listenForCalls();
        return;
    }
    const ChatMessages messages = m_chatReader.feed(bytes, m_clock.elapsed());
    const quint32 connection = m_connectionSerial;
    for (qsizetype index = 0; index < messages.size(); ++index) {
        // A modal question may have ended this connection while earlier messages were
        // handled; what followed them belongs to it and goes with it.
        if (connection != m_connectionSerial)
            return;
        handleArrival(messages.at(index));
    }
    if (connection == m_connectionSerial)
        waitForRestOfMessage();
}

// Counted as the bytes arrive, before they are cut into messages, so that a flood is
// refused without being held.
bool ChatSession::floodedBeforeIdentity(qsizetype arrived)
{
    if (!awaitingPartnerIdentity())
        return false;
    m_bytesBeforeIdentity += arrived;
    return m_bytesBeforeIdentity > MaxBytesBeforeIdentity;
}

// Hung up on without a sound or a box, as a refused caller is: the partner never said who it
// is, and may not even be there.
void ChatSession::identityOverdue()
{
    if (awaitingPartnerIdentity())
        listenForCalls();
}

// A message that never got its end is handled as it stands once it has waited long enough.
void ChatSession::expirePartialMessage()
{
    const ChatMessages messages = m_chatReader.expire(m_clock.elapsed());
    for (qsizetype index = 0; index < messages.size(); ++index)
        handleArrival(messages.at(index));
    waitForRestOfMessage();
}

void ChatSession::waitForRestOfMessage()
{
    if (m_chatReader.hasPartial())
        m_partialTimer->start(int(qMax<qint64>(0, m_chatReader.msUntilExpiry(m_clock.elapsed()))));
}

// Each handshake answer counts only at the step where the other side may give it, so a
// caller cannot open a session on our side by sending "{YES}" itself.
void ChatSession::handleArrival(QByteArrayView message)
{
    switch (Handshake::classify(message)) {
    case Handshake::Tag::Send:
        if (m_state == State::AwaitingIdentity) {
            partnerIdentityArrived(message.toByteArray());
            setState(State::AwaitingAnswer);
            m_wskMain->SendData(Handshake::identityMessage(Handshake::Tag::Recev,
                m_program.LocalNickname, m_program.LocalFullName, m_program.LocalEmail));
        }
        return;
    case Handshake::Tag::Recev:
        if (m_state == State::Answering)
            partnerAsksToChat(message.toByteArray());
        return;
    case Handshake::Tag::Not:
        if (m_state == State::AwaitingAnswer)
            partnerRefused();
        return;
    case Handshake::Tag::Yes:
        if (m_state == State::AwaitingAnswer)
            openSession();
        return;
    case Handshake::Tag::None:
        messageArrived(message.toByteArray());
        return;
    }
}

void ChatSession::partnerIdentityArrived(const QByteArray &message)
{
    PartnerIdentity identity { m_program.RemoteNickname, m_program.RemoteFullName,
        m_program.RemoteEmail };
    Handshake::readIdentity(message, Handshake::classify(message), identity);
    m_program.RemoteNickname = identity.nickname;
    m_program.RemoteFullName = identity.fullName;
    m_program.RemoteEmail = identity.email;
    m_program.RemoteUserIP = m_wskMain->RemoteHostIP();
}

// The caller has said who it is: the user decides. The answer goes to the connection that
// asked, and only while it stands; a partner who has gone meanwhile gets nothing.
void ChatSession::partnerAsksToChat(const QByteArray &message)
{
    partnerIdentityArrived(message);
    setState(State::AskingUser);
    m_program.PlaySound(basMain::RequestSound);
    emit userAsked(partner());
    const quint32 connection = m_connectionSerial;
    const Desktop::Answer answer = m_program.messageBox(
        partner() + QStringLiteral(" wants to Chat you.\r\nDo you want to accept his/her request?"),
        Desktop::Icon::Question, Desktop::Buttons::YesNo);
    if (connection != m_connectionSerial || !IsConnected() || m_wskMain->PeerHasClosed())
        return;
    if (answer == Desktop::Answer::Yes) {
        m_wskMain->SendData(Handshake::yes());
        m_program.rememberPartner(m_program.RemoteUserIP);
        openSession();
        return;
    }
    m_wskMain->SendData(Handshake::no());
    QCoreApplication::processEvents();
    listenForCalls();
}

void ChatSession::partnerRefused()
{
    const quint32 connection = m_connectionSerial;
    m_program.messageBox(partner() + QStringLiteral(" didn't accept your request."),
        Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
    if (connection != m_connectionSerial)
        return;
    listenForCalls();
    m_program.PlaySound(basMain::ErrorSound);
}

void ChatSession::openSession()
{
    setState(State::InSession);
    emit sessionOpened(m_program.RemoteNickname);
    m_program.PlaySound(basMain::MessageSound);
}

// The partner has closed the chat connection. The socket stays closing until the next
// status tick, which ends the connection and listens again.
void ChatSession::WskMain_Close()
{
    const bool wasInSession = sessionOpen();
    setState(State::Closing);
    if (!wasInSession)
        return;
    emit connectionReset(partner());
    m_program.PlaySound(basMain::ErrorSound);
}

int ChatSession::TmrState_Timer()
{
    const int id = statusTextId();
    switch (m_state) {
    case State::Closing:
        emit connectionEnded(true);
        emit sessionClosed();
        listenForCalls();
        break;
    case State::Failed:
        listenForCalls();
        m_program.PlaySound(basMain::ErrorSound);
        break;
    default:
        break;
    }
    return id;
}

void ChatSession::close()
{
    m_partialTimer->stop();
    m_wskMain->Close();
    setState(State::NotListening);
}

void ChatSession::setIdentityTimeout(int ms)
{
    m_identityTimer->setInterval(ms);
}

bool ChatSession::sendMessage(const QByteArray &markup)
{
    // A partner reads at most this much as one message; a longer one would reach it cut.
    if (markup.size() > MessageMarkup::MaxMarkupBytes) {
        m_program.messageBox(QStringLiteral("This message is too long to send; please shorten it."),
            Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return false;
    }
    m_wskMain->SendData(markup);
    MessageMarkup::DecodeMessage(markup, m_msg);
    emit messageDecoded(m_program.LocalNickname, Local, m_msg);
    return true;
}

// Chat messages count only inside a session: a caller the user has not accepted cannot
// write into the transcript, nor make a sound.
void ChatSession::messageArrived(const QByteArray &markup)
{
    if (!sessionOpen())
        return;
    m_program.PlaySound(basMain::MessageSound);
    MessageMarkup::DecodeMessage(markup, m_msg);
    emit messageDecoded(m_program.RemoteNickname, Remote, m_msg);
}
