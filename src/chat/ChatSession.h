#pragma once

#include "chat/ChatStreamReader.h"
#include "chat/MessageMarkup.h"

#include <QElapsedTimer>
#include <QObject>

class QTimer;
class SocketEndpoint;
class basMain;

// The chat connection of a running copy: the chat socket WskMain, the reader that cuts its
// stream into messages, the handshake, the session and its messages. Where it stands is one
// State; the session marker on the socket and everything a window shows of it (the connect
// entries' caption, the status text, the controls a session enables) follow from that
// state. It asks its user through the desktop seam and plays sounds through basMain; what
// the transcript shows goes out as signals, in the order it is to be written.
class ChatSession final : public QObject
{
    Q_OBJECT

public:
    enum class State {
        NotListening, // the chat port could not be opened
        Listening, // waiting for a call
        Dialling, // ConnectRemote: resolving the partner's address and connecting
        AwaitingIdentity, // caller: connected, waiting for the callee's "{SEND}"
        AwaitingAnswer, // caller: "{RECEV}" sent, waiting for "{YES}" or "{NOT}"
        Answering, // callee: the call taken and "{SEND}" sent, waiting for "{RECEV}"
        AskingUser, // callee: our user is asked whether to chat
        InSession,
        Closing, // the partner closed; the next status tick tidies up
        Failed, // the connect failed; the next status tick tidies up
    };
    Q_ENUM(State)

    // Who wrote a message shown in the transcript.
    enum Writer : int { Local = 0, Remote = 1 };

    // A partner that has not said who it is this long after the connection stands (a crashed
    // peer, a half-open connection, a scanner) is hung up on, so that the chat port is open
    // to others again. The wait for our partner's user to answer is not limited.
    static constexpr int IdentityTimeoutMs = 20 * 1000;
    // What a partner may send before its identity is complete; an honest identity is well
    // under 200 bytes, and a partner sending more is hung up on at once.
    static constexpr qsizetype MaxBytesBeforeIdentity = 4096;

    explicit ChatSession(basMain &program, QObject *parent = nullptr);
    ~ChatSession() override;

    SocketEndpoint &WskMain() const { return *m_wskMain; }
    State state() const { return m_state; }
    bool sessionOpen() const { return m_state == State::InSession; }
    // True exactly while the chat socket is connected, during a handshake too.
    bool IsConnected() const;
    // The status bar's text for the current state (a string-table id).
    int statusTextId() const;
    // The values of the message decoded last; a decode that fails part-way leaves the
    // earlier values in the fields it could not read.
    const DecodedMessage &Msg() const { return m_msg; }

    // Start-up: records the local address and waits for calls.
    void start();
    // Dials RemoteIP and lets events run until the socket has stopped dialling; the
    // handshake usually begins inside this wait. With no nickname, settingsNeeded comes
    // first, and the dial goes on whatever the user did there.
    void ConnectRemote();
    // Our user ends the session: nothing goes to the partner, which learns of it from its
    // own socket.
    void hangUp();
    // Sends the markup of one message and shows it here as the partner will see it. False,
    // with the user told, when it is too long for the partner to read whole.
    bool sendMessage(const QByteArray &markup);
    // The socket steps of the status timer: a connection the partner closed, or a connect
    // that failed, ends and the socket listens again. Returns the status text id of the
    // state the tick found, which stays on show until the next tick.
    int TmrState_Timer();
    // The program ends: the socket closes without a word to the partner.
    void close();
    // Tests shorten the wait for a partner's identity.
    void setIdentityTimeout(int ms);

signals:
    void stateChanged(ChatSession::State state);
    // ConnectRemote found no nickname: the user is shown the settings before dialling.
    void settingsNeeded();
    // A partner calls; a call being dialled gives way.
    void callArriving();
    // The caller, "nickname {address}", has said who it is and our user is about to be asked;
    // sent before the question, which waits for the answer.
    void userAsked(const QString &partner);
    void sessionOpened(const QString &remoteNickname);
    void messageDecoded(const QString &nickname, int writer, const DecodedMessage &message);
    // The line that ends a session, naming the partner as "nickname {address}".
    void connectionReset(const QString &partner);
    void sessionClosed();
    // The chat connection is over; broken when the partner's side closed it.
    void connectionEnded(bool broken);

private:
    void setState(State state);
    void listenForCalls();
    void beginConnection();
    QString partner() const;

    void WskMain_Connect();
    void WskMain_Failed();
    void WskMain_ConnectionRequest(qint32 requestId);
    void WskMain_DataArrival(qint32 bytesTotal);
    void WskMain_Close();
    bool awaitingPartnerIdentity() const;
    bool floodedBeforeIdentity(qsizetype arrived);
    void identityOverdue();
    void expirePartialMessage();
    void waitForRestOfMessage();
    void handleArrival(QByteArrayView message);
    void partnerIdentityArrived(const QByteArray &message);
    void partnerAsksToChat(const QByteArray &message);
    void partnerRefused();
    void openSession();
    void messageArrived(const QByteArray &markup);

    basMain &m_program;
    SocketEndpoint *m_wskMain;
    State m_state = State::NotListening;
    ChatStreamReader m_chatReader;
    QElapsedTimer m_clock;
    QTimer *m_partialTimer;
    QTimer *m_identityTimer;
    // What the partner of this connection has sent while its identity was awaited.
    qsizetype m_bytesBeforeIdentity = 0;
    DecodedMessage m_msg;
    // Counts chat connections, so that an answer given in a modal box can tell whether the
    // connection it answers is still the one that asked.
    quint32 m_connectionSerial = 0;
};
