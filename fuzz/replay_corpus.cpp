// The committed corpora through the fuzz targets, without libFuzzer: every file of
// <corpus>/<target>/ goes to its target's entry point once, in name order. A broken invariant
// or a crash stops the run, and its last line names the target and the input. CTest runs it
// as fuzz.replay.
//   replay_corpus <corpus folder>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

// Each target's LLVMFuzzerTestOneInput, renamed by the build so that all five live here.
extern "C" {
int replay_chat_stream(const uint8_t *data, size_t size);
int replay_markup(const uint8_t *data, size_t size);
int replay_file_transfer(const uint8_t *data, size_t size);
int replay_file_name(const uint8_t *data, size_t size);
int replay_urdu(const uint8_t *data, size_t size);
}

namespace {

struct FuzzTarget
{
    const char *name;
    int (*testOneInput)(const uint8_t *data, size_t size);
};

constexpr FuzzTarget Targets[] = {
    { "chat_stream", replay_chat_stream },
    { "markup", replay_markup },
    { "file_transfer", replay_file_transfer },
    { "file_name", replay_file_name },
    { "urdu", replay_urdu },
};

// The line that names the input being run, made before it runs, so that a signal handler
// only has to write it out.
QByteArray failureLine;
volatile std::sig_atomic_t failureReported = 0;

void reportFailure()
{
    if (failureReported || failureLine.isEmpty())
        return;
    failureReported = 1;
    [[maybe_unused]] const ssize_t written
        = write(STDERR_FILENO, failureLine.constData(), size_t(failureLine.size()));
}

extern "C" void reportFailureAndDie(int signal)
{
    reportFailure();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// FUZZ_CHECK aborts. Under the sanitizers, which report memory errors themselves, their
// death callback names the input; elsewhere a crash's own signal does.
void reportFailuresOnDeath()
{
    std::signal(SIGABRT, reportFailureAndDie);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(reportFailure);
#else
    for (const int signal : { SIGSEGV, SIGBUS, SIGFPE, SIGILL })
        std::signal(signal, reportFailureAndDie);
#endif
}

// Every input of the target's folder, each in a buffer of exactly its size as libFuzzer
// hands it, so that the sanitizers catch a read past its end. False when there is none.
bool replay(const FuzzTarget &target, const QDir &corpus)
{
    const QDir folder(corpus.filePath(QString::fromLatin1(target.name)));
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "fuzz.replay: no inputs in %s\n", qPrintable(folder.path()));
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "fuzz.replay: cannot read %s\n", qPrintable(file.fileName()));
            return false;
        }
        const QByteArray bytes = file.readAll();
        const std::vector<uint8_t> input(bytes.cbegin(), bytes.cend());
        failureLine = "\nfuzz.replay: target " + QByteArray(target.name) + " failed on input "
            + QFile::encodeName(file.fileName()) + '\n';
        target.testOneInput(input.data(), input.size());
    }
    failureLine.clear();
    std::printf("%s: %lld inputs in %lld ms\n", target.name, qint64(names.size()), timer.elapsed());
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: replay_corpus <corpus folder>\n");
        return 2;
    }
    // The file_name target saves files under the temporary folder: give it one of its own,
    // removed at the end, as ./kalvex.sh fuzz does.
    const QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/kalvex-fuzz-replay-XXXXXX"));
    if (!scratch.isValid()) {
        std::fprintf(stderr, "fuzz.replay: no temporary folder\n");
        return 1;
    }
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
    reportFailuresOnDeath();
    const QDir corpus(QFile::decodeName(argv[1]));
    bool passed = true;
    for (const FuzzTarget &target : Targets)
        passed = replay(target, corpus) && passed;
    return passed ? 0 : 1;
}
