#include "app/shell/ShutdownSignals.h"

#include "app/AppLog.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace zova {

namespace {

int pipeEnds[2] = { -1, -1 };
constexpr int handled[] = { SIGTERM, SIGINT, SIGHUP };

} // namespace

void ShutdownSignals::handle(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
}

ShutdownSignals::ShutdownSignals(QObject* parent)
    : QObject(parent)
{
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcApp) << "no pipe for the shutdown signals";
        return;
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(pipeEnds[0], &byte, 1) == 1) {
            qCInfo(lcApp) << "signal" << int(byte) << "received: saving and quitting";
            emit received(int(byte));
            QCoreApplication::exit(0);
        }
    });
    struct sigaction action = {};
    action.sa_handler = &ShutdownSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : handled)
        sigaction(s, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int s : handled)
        sigaction(s, &action, nullptr);
}

} // namespace zova
