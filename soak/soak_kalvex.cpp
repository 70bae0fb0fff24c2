// Two complete messengers in one process go through many chat sessions and then many file
// transfers, as their users would, while the process's open descriptors and resident memory
// are watched. Exits nonzero on the first round that fails or hangs, naming the step, and
// when descriptors or memory grew.
//   soak_kalvex [cycles [transfers [seed]]]     (defaults: 1000 200 and a fresh seed)
#include "PhaseMeter.h"
#include "SoakPair.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>

namespace {

constexpr qsizetype LargestFile = 2097152;
// How far resident memory may rise from a phase's middle to its end and still count as
// holding steady: the allocator keeps some freed pages, the more so after large files.
constexpr long RssToleranceKiB = 2048;

struct Options
{
    int cycles = 1000;
    int transfers = 200;
    quint32 seed = 0;
};

// A count given on the command line, the fallback when there is none, -1 when it is not a
// number of zero or more.
int countArgument(const QStringList &arguments, int position, int fallback)
{
    if (arguments.size() <= position)
        return fallback;
    bool ok = false;
    const int value = arguments.at(position).toInt(&ok);
    return ok && value >= 0 ? value : -1;
}

bool parse(const QApplication &app, Options &options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Soak test of two messengers in one process."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("cycles"), QStringLiteral("Chat sessions (1000); 0 skips them."));
    parser.addPositionalArgument(
        QStringLiteral("transfers"), QStringLiteral("File transfers (200); 0 skips them."));
    parser.addPositionalArgument(
        QStringLiteral("seed"), QStringLiteral("Seed of the file sizes and contents."));
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    bool seedOk = true;
    options.cycles = countArgument(arguments, 0, options.cycles);
    options.transfers = countArgument(arguments, 1, options.transfers);
    options.seed = arguments.size() > 2 ? arguments.at(2).toUInt(&seedOk)
                                        : QRandomGenerator::system()->generate();
    const bool ok
        = options.cycles >= 0 && options.transfers >= 0 && seedOk && arguments.size() <= 3;
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
    return ok;
}

QByteArray randomContent(QRandomGenerator &random)
{
    const qsizetype size = random.bounded(1, int(LargestFile) + 1);
    QByteArray content((size + 3) / 4 * 4, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
    content.truncate(size);
    return content;
}

bool failed(const QString &why)
{
    std::fprintf(stderr, "soak failed: %s\n", qPrintable(why));
    return false;
}

// Runs count rounds and stops at the first that fails. The start reading follows the first
// round: the first call starts Qt's helper threads (a thread pool and the proxy lookup), each
// holding a wake-up descriptor for the rest of the process, and the first message and file fill
// caches.
bool runPhase(
    PhaseMeter &meter, int count, const QString &noun, const std::function<QString(int)> &round)
{
    for (int i = 0; i < count; ++i) {
        const QString failure = round(i);
        if (!failure.isEmpty())
            return failed(
                QStringLiteral("%1 %2 of %3: %4").arg(noun).arg(i + 1).arg(count).arg(failure));
        if (i == 0)
            meter.start();
        if (i == count / 2)
            meter.middle();
    }
    meter.end(count, noun + u's');
    const QString growth = meter.growth();
    return growth.isEmpty() || failed(growth);
}

bool soakChat(SoakPair &pair, int cycles)
{
    PhaseMeter meter(QStringLiteral("chat"), RssToleranceKiB);
    return runPhase(
        meter, cycles, QStringLiteral("cycle"), [&pair](int i) { return pair.chatCycle(i); });
}

// The transfers run in one session, opened before the start reading so that its connection
// counts among the descriptors at the start.
bool soakTransfers(SoakPair &pair, int transfers, quint32 seed)
{
    const QString failure = pair.openSession();
    if (!failure.isEmpty())
        return failed(failure);
    QRandomGenerator random(seed);
    PhaseMeter meter(QStringLiteral("transfer"), RssToleranceKiB);
    return runPhase(meter, transfers, QStringLiteral("transfer"),
        [&](int i) { return pair.transfer(i, randomContent(random)); });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!parse(app, options))
        return 2;
    std::printf("# seed %u: soak_kalvex %d %d %u repeats this run\n", options.seed, options.cycles,
        options.transfers, options.seed);
    std::fflush(stdout);
    SoakPair pair;
    bool ok = options.cycles == 0 || soakChat(pair, options.cycles);
    ok = ok && (options.transfers == 0 || soakTransfers(pair, options.transfers, options.seed));
    return ok ? 0 : 1;
}
