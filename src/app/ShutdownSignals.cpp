#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int HandledSignals[] = { SIGTERM, SIGINT, SIGHUP };

// A signal handler reaches no object, so the writing end of the pair is kept here.
volatile std::sig_atomic_t writeSocket = -1;

void handleSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(writeSocket, &byte, 1);
    errno = savedErrno;
}

void restoreDefaultHandlers()
{
    for (const int signalNumber : HandledSignals)
        std::signal(signalNumber, SIG_DFL);
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject *parent)
    : QObject(parent)
{
    Q_ASSERT(writeSocket == -1);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0)
        return;
    writeSocket = m_sockets[0];
    m_notifier = new QSocketNotifier(m_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::notifier_Activated);

    struct sigaction action = {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : HandledSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    restoreDefaultHandlers();
    writeSocket = -1;
    for (const int socket : m_sockets) {
        if (socket != -1)
            ::close(socket);
    }
}

// The first signal asks for the orderly shut-down; should that hang (a message box nobody
// answers), a second one ends the process the default way.
void ShutdownSignals::notifier_Activated()
{
    restoreDefaultHandlers();
    char byte = 0;
    while (::read(m_sockets[1], &byte, 1) == 1)
        emit received(byte);
}
