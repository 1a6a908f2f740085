#include "signalwatcher.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array watchedSignals { SIGTERM, SIGINT, SIGHUP };

// [0] is written by the handler, [1] read by the notifier.
int sockets[2] = { -1, -1 };

// What each signal did before, for those this watcher handles. One that was ignored stays
// ignored, as whoever started the program asked: nohup ignores SIGHUP, and a shell script SIGINT
// for a program it starts in the background.
std::array<struct sigaction, watchedSignals.size()> previous {};
std::array<bool, watchedSignals.size()> handled {};

void handleSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // Non-blocking: should the pipe ever be full, one more of the same news is not needed.
    [[maybe_unused]] const auto written = ::write(sockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets) != 0)
        return;
    m_notifier = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignals);

    struct sigaction action = {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < watchedSignals.size(); ++i) {
        handled[i] = ::sigaction(watchedSignals[i], nullptr, &previous[i]) == 0
            && previous[i].sa_handler != SIG_IGN
            && ::sigaction(watchedSignals[i], &action, nullptr) == 0;
    }
}

SignalWatcher::~SignalWatcher()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < watchedSignals.size(); ++i) {
        if (handled[i])
            ::sigaction(watchedSignals[i], &previous[i], nullptr);
    }
    delete m_notifier;
    ::close(sockets[0]);
    ::close(sockets[1]);
    sockets[0] = sockets[1] = -1;
}

void SignalWatcher::readSignals()
{
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(sockets[1], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit received(numbers[i]);
    }
}
