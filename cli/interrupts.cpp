#include "interrupts.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace hdd {

namespace {

volatile sig_atomic_t firstSignal = 0;
int pipeFds[2] = {-1, -1};

void onSignal(int sig) {
    if (firstSignal != 0) _exit(128 + firstSignal);
    firstSignal = sig;
    const char byte = static_cast<char>(sig);
    const ssize_t n = ::write(pipeFds[1], &byte, 1);
    (void)n;
}

}  // namespace

std::unique_ptr<Interrupts> Interrupts::catchSignals() {
    auto self = std::make_unique<Interrupts>();
    if (pipeFds[0] < 0 && ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return self;
    self->owner_ = true;
    self->notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, self.get());
    connect(self->notifier_, &QSocketNotifier::activated, self.get(), &Interrupts::onPipe);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return self;
}

Interrupts::~Interrupts() {
    if (!owner_) return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void Interrupts::onPipe() {
    char byte = 0;
    while (::read(pipeFds[0], &byte, 1) > 0) {
    }
    raise(firstSignal);
}

void Interrupts::raise(int sig) {
    if (signal_ != 0 || sig == 0) return;
    signal_ = sig;
    emit raised(sig);
}

QString signalName(int sig) {
    switch (sig) {
        case SIGINT:
            return QStringLiteral("SIGINT");
        case SIGTERM:
            return QStringLiteral("SIGTERM");
        default:
            return QString::number(sig);
    }
}

}  // namespace hdd
