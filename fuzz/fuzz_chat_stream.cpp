// The chat connection's reader: a partner's stream cut at any points, with time passing
// between arrivals; every message it yields goes through the handshake readers.
#include "FuzzCheck.h"
#include "FuzzSchedule.h"
#include "chat/ChatStreamReader.h"
#include "chat/Handshake.h"

namespace {

constexpr quint8 PauseBit = 0x80;
constexpr quint8 LengthBits = 0x7f;

// What the window does with a message before the session opens: classify it and read an
// identity from it into values a previous handshake left.
void readAsHandshake(const QByteArray &message)
{
    FUZZ_CHECK(!message.isEmpty());
    FUZZ_CHECK(message.size() <= ChatStreamReader::MaxMessageBytes);
    const QString earlier = QStringLiteral("earlier");
    PartnerIdentity identity { earlier, earlier, earlier };
    Handshake::readIdentity(message, Handshake::classify(message), identity);
    // Each field is read from the message's bytes, one character per byte, or kept.
    for (const QString *field : { &identity.nickname, &identity.fullName, &identity.email })
        FUZZ_CHECK(*field == earlier || field->size() <= message.size());
}

struct Tally
{
    QByteArray arrived;
    QByteArray handedOut;

    void take(const QList<QByteArray> &messages)
    {
        for (const QByteArray &message : messages) {
            readAsHandshake(message);
            handedOut += message;
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSchedule schedule(data, size);
    ChatStreamReader reader;
    Tally tally;
    qint64 now = 0;
    while (!schedule.done()) {
        const quint8 control = schedule.nextControl();
        // The reader's timer may fire between arrivals: two pauses in a row let a partial
        // message expire.
        if (control & PauseBit) {
            now += ChatStreamReader::PartialTimeoutMs / 2;
            tally.take(reader.expire(now).toList());
        }
        const QByteArray arrival = schedule.take(control & LengthBits);
        tally.arrived += arrival;
        tally.take(reader.feed(arrival, now).toList());

        // What the reader holds is what arrived and has not come out, and it stays below
        // the longest message.
        const qsizetype held = tally.arrived.size() - tally.handedOut.size();
        FUZZ_CHECK(held >= 0 && held < ChatStreamReader::MaxMessageBytes);
        FUZZ_CHECK(reader.hasPartial() == (held > 0));
        const qint64 wait = reader.msUntilExpiry(now);
        FUZZ_CHECK(held > 0 ? wait >= 0 && wait <= ChatStreamReader::PartialTimeoutMs : wait == -1);
    }
    now += ChatStreamReader::PartialTimeoutMs;
    tally.take(reader.expire(now).toList());
    FUZZ_CHECK(!reader.hasPartial());
    // Every byte comes out once, in the order it arrived.
    FUZZ_CHECK(tally.handedOut == tally.arrived);
    return 0;
}
