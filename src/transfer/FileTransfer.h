#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One file transfer over the file connection, either side, without windows or sockets:
// bytes that arrived and the user's decisions go in, and the steps the window takes come
// out (bytes to send, a question, progress, content, and one ending).
//
// The wire carries text tags and raw content with no framing of its own. Content is told
// from tags by counting: once the size is announced, the receiver knows exactly how many
// content bytes come next (a chunk of 1024, or what remains), so content that looks like a
// tag is stored as content, and a chunk split over arrivals is acknowledged once. Tags are
// looked for only where the protocol expects them. The offered name and the size have no
// end mark, so each is taken as it arrives, as every peer has always sent them.
class FileTransfer
{
public:
    static constexpr qint32 ChunkSize = 1024;
    static constexpr qint32 MaxFileSize = 2097152;

    enum class Phase {
        Idle,
        // Sender: connecting to the partner, offering the name, waiting for the answer,
        // reading the file, sending.
        Dialling,
        Offering,
        AwaitingAnswer,
        Loading,
        Sending,
        // Receiver: waiting for the offer, asking the user, waiting for the size, receiving.
        AwaitingOffer,
        AskingUser,
        AwaitingSize,
        Receiving,
    };

    struct Step
    {
        enum class Kind {
            Send, // bytes go to the partner
            AskUser, // text: the offered name; answer with accept() or refuse()
            LoadFile, // read the file; answer with fileLoaded() or fileUnreadable()
            Content, // bytes: the next piece of the received file
            Progress, // value: 0 to 100
            // Endings; each is the last step of its list, after which the transfer is idle.
            Sent,
            Received, // all content has come: store it
            Refused, // the partner said no
            Declined, // our user said no
            Interrupted, // cancelled by the partner, or the partner vanished
            Failed, // text: what went wrong, for the user
        };
        Kind kind;
        QByteArray bytes = {};
        QString text = {};
        int value = 0;

        bool operator==(const Step &other) const = default;
    };
    using Steps = QList<Step>;

    // Sender: the connection is being made to offer the file of that bare name.
    void startSending(const QString &name);
    // Sender: the connection stands; the partner's "{ACCEPT}" is awaited.
    void connected();
    Steps fileLoaded(const QByteArray &data);
    Steps fileUnreadable(const QString &reason);

    // Receiver: a partner's connection was taken.
    Steps startReceiving();
    Steps accept();
    Steps refuse();

    // Either side.
    Steps feed(const QByteArray &bytes);
    // Our user cancels: the partner is told, and the transfer is idle.
    Steps cancel();
    // The file connection ended.
    Steps connectionClosed();
    void reset();

    Phase phase() const { return m_phase; }
    bool busy() const { return m_phase != Phase::Idle; }
    qint32 size() const { return m_size; }
    // Content bytes sent or received so far.
    qint32 done() const { return m_done; }
    // Changes with every reset, so that an answer given in a modal box can tell whether
    // the transfer it answers is still the one that asked.
    quint32 serial() const { return m_serial; }

private:
    struct Expected
    {
        QByteArray tag;
        // An exact tag is the whole message; any other begins it and the rest belongs to it.
        bool exact;
    };

    static Step send(const QByteArray &bytes);
    static Step ending(Step::Kind kind, const QString &text = {});
    Steps end(Steps steps);
    Steps refuseWith(const QByteArray &answer, const QString &reason);
    int progress() const;

    // The message waiting in m_pending when it is one of the tags expected now, taken whole;
    // empty when none is. A message that may still become one of them (or "{CLOSE}") is
    // kept for the next arrival; anything else is dropped.
    QByteArray takeTag(const QList<Expected> &expected);
    // Each takes what it can from m_pending and says whether to look again.
    bool takeAsSender(Steps &steps);
    bool takeAsReceiver(Steps &steps);
    bool takeOffer(Steps &steps);
    bool takeSize(Steps &steps);
    bool takeContent(Steps &steps);
    bool takeEnd(Steps &steps);
    Steps sendNext();

    Phase m_phase = Phase::Idle;
    QString m_name;
    QByteArray m_data;
    qint32 m_size = 0;
    qint32 m_done = 0;
    // Bytes of the partner's not yet taken as a whole message or chunk.
    QByteArray m_pending;
    quint32 m_serial = 0;
};
