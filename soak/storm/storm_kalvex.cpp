// A hostile partner, round after round, against one complete messenger: it calls, sometimes
// with a proper identity and sometimes with noise, then writes a storm of bytes cut anywhere
// on the chat connection (markup, handshake tags, half messages, random bytes, HTML) and on the
// file connection (offers with hostile names and sizes, tags, random bytes), then hangs up.
// After every round the messenger must be back to "Listening..." with no transfer running,
// and nothing may have been written outside its download folder. Descriptors and memory are
// watched as in the soak. Built with the sanitizers (build-sanitize/soak/storm/), a memory
// error anywhere on the way aborts the run.
//   storm_kalvex [rounds [seed]]     (defaults: 300 and a fresh seed)
#include "PhaseMeter.h"
#include "support/RawPeer.h"
#include "support/TestMessenger.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

const QString OurAddress = QStringLiteral("127.0.0.1");
const QString PeerAddress = QStringLiteral("127.0.0.3");
constexpr int SettleTimeoutMs = 15000;
constexpr long RssToleranceKiB = 4096;

class Storm
{
public:
    explicit Storm(quint32 seed)
        : m_random(seed)
    {
    }

    QByteArray chatPiece()
    {
        switch (m_random.bounded(8)) {
        case 0:
        case 1:
            return markup();
        case 2:
            return pick({ "{SEND}eve/Eve/eve@example.org/", "{RECEV}eve/x/y/", "{YES}", "{NOT}",
                "{SEND}", "{RECEV}", "/", "{CLOSE}" });
        case 3:
            return "\\F:Arial\\{T:" + QByteArray(m_random.bounded(40000), 'x');
        case 4:
            return pick({ "\\", "\\}", "\\{T:", "\\F:", "\\C:", "\\S:", "\\L:1", "\\BLD", "\\ITL",
                "<b>bold</b>", "<img src=x>", "&amp;", "\r\n" });
        default:
            return noise(m_random.bounded(3000));
        }
    }

    QByteArray filePiece()
    {
        switch (m_random.bounded(6)) {
        case 0:
            return "{FILE}"
                + pick({ "a.txt", "../up.txt", "/etc/x", ":res.txt", "C:x", "..", "", "a\\b.txt",
                    "con", "x\r\n.txt" })
                + (m_random.bounded(3) == 0 ? noise(m_random.bounded(400)) : QByteArray());
        case 1:
            return "{BOF} "
                + pick({ "0", "1", "-1", "2097152", "2097153", "99999999999999", "abc", " 10",
                    "1e6", "" });
        case 2:
            return pick({ "{EOF}", "{CLOSE}", "{NXT}", "{SF}", "{NS}", "{ACCEPT}" });
        default:
            return noise(m_random.bounded(3000));
        }
    }

    // Writes bytes in pieces cut at random points, letting the messenger run in between.
    void sendCut(RawPeer &peer, const QByteArray &bytes)
    {
        qsizetype at = 0;
        while (at < bytes.size()) {
            const qsizetype piece = 1 + m_random.bounded(qMax<qsizetype>(1, bytes.size() - at));
            peer.send(bytes.mid(at, piece));
            at += piece;
            if (m_random.bounded(3) == 0)
                QTest::qWait(m_random.bounded(4));
        }
    }

    int bounded(int limit) { return m_random.bounded(limit); }

private:
    QByteArray markup()
    {
        QByteArray text = m_random.bounded(2) ? noise(m_random.bounded(200))
                                              : QByteArray("<a href=x>link</a> &lt;");
        QByteArray message = "\\F:" + pick({ "Arial", "Qirtas1", "", "No Such Font", "\\" })
            + "\\C: " + QByteArray::number(m_random.generate())
            + "\\S: " + pick({ "10", "0", "-5", "1e9", "72", "abc" })
            + "\\L:" + QByteArray::number(m_random.bounded(3));
        if (m_random.bounded(2))
            message += "\\BLD";
        if (m_random.bounded(2))
            message += "\\ITL";
        return message + "\\{T:" + text + "\\}";
    }

    QByteArray noise(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(m_random.bounded(256));
        return bytes;
    }

    QByteArray pick(std::initializer_list<const char *> choices)
    {
        return QByteArray(*(choices.begin() + m_random.bounded(int(choices.size()))));
    }

    QRandomGenerator m_random;
};

// What the storm reached, printed at the end to show it got past the handshake.
struct Reached
{
    int sessions = 0;
    int fileConnections = 0;
    int boxes = 0;
};

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// One round; an empty string when the messenger came through it, or what went wrong.
QString round(TestMessenger &us, Storm &storm, const QString &downloads, const QString &outside,
    Reached &reached)
{
    RawPeer chat;
    if (!chat.call(PeerAddress, us.ports().chat) || !chat.receives("/"))
        return QStringLiteral("the call was not answered");
    if (storm.bounded(4) == 0) {
        storm.sendCut(chat, storm.chatPiece());
    } else {
        chat.send("{RECEV}bob/Bob Smith/bob@example.org/");
        if (!TestMessenger::busyWaitFor([&] { return us.window().chat().sessionOpen(); }, 5000))
            return QStringLiteral("a proper answer did not open the session");
        ++reached.sessions;
        RawPeer file;
        const bool files = storm.bounded(2) == 0 && file.call(PeerAddress, us.ports().file);
        reached.fileConnections += files;
        for (int i = storm.bounded(30); i >= 0; --i) {
            storm.sendCut(chat, storm.chatPiece());
            if (files)
                storm.sendCut(file, storm.filePiece());
        }
        if (files)
            file.hangUp();
    }
    chat.hangUp();
    if (!QTest::qWaitFor([&] { return us.listening() && us.transferIdle(); }, SettleTimeoutMs))
        return QStringLiteral("after the partner hung up, the messenger was not back to "
                              "\"Listening...\" with no transfer running");
    if (!entriesOf(outside).isEmpty())
        return QStringLiteral("written outside the download folder: %1")
            .arg(entriesOf(outside).join(u", "));
    QDir(downloads).removeRecursively();
    reached.boxes += us.desktop.shown.size();
    us.desktop.shown.clear();
    us.desktop.sounds.clear();
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    bool ok = true;
    const int rounds = arguments.value(0, QStringLiteral("300")).toInt(&ok);
    bool seedOk = true;
    const quint32 seed = arguments.size() > 1 ? arguments.at(1).toUInt(&seedOk)
                                              : QRandomGenerator::system()->generate();
    if (!ok || !seedOk || rounds < 1 || arguments.size() > 2) {
        std::fprintf(stderr, "usage: storm_kalvex [rounds [seed]]\n");
        return 2;
    }
    std::printf("# seed %u: storm_kalvex %d %u repeats this run\n", seed, rounds, seed);
    std::fflush(stdout);

    // The working folder is where a file would land that escaped the download folder.
    QTemporaryDir outside;
    QDir::setCurrent(outside.path());
    QTemporaryDir downloadsRoot;
    const QString downloads = downloadsRoot.filePath(QStringLiteral("in"));
    TestMessenger us(OurAddress, TestMessenger::freePorts());
    us.startAs(QStringLiteral("ali"));
    us.program->DownloadPath = downloads;
    Storm storm(seed);
    PhaseMeter meter(QStringLiteral("storm"), RssToleranceKiB);
    Reached reached;
    for (int i = 0; i < rounds; ++i) {
        const QString failure = round(us, storm, downloads, outside.path(), reached);
        if (!failure.isEmpty()) {
            std::fprintf(
                stderr, "storm failed: round %d of %d: %s\n", i + 1, rounds, qPrintable(failure));
            return 1;
        }
        if (i == 0)
            meter.start();
        if (i == rounds / 2)
            meter.middle();
    }
    meter.end(rounds, QStringLiteral("rounds"));
    std::printf("# %d sessions opened, %d file connections, %d message boxes answered\n",
        reached.sessions, reached.fileConnections, reached.boxes);
    const QString growth = meter.growth();
    if (!growth.isEmpty()) {
        std::fprintf(stderr, "storm failed: %s\n", qPrintable(growth));
        return 1;
    }
    return 0;
}
