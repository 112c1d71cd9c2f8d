// A pseudo-terminal held from its master side: the slave path exists while the master is open.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

namespace hddtest {

struct Pty {
    int master = -1;
    QString slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        slave = QString::fromLatin1(ptsname(master));
        termios t{};
        tcgetattr(master, &t);
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    // The far end goes away: the slave hangs up.
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    // What the slave's user wrote, until `wantBytes` came or `ms` ran out.
    QByteArray read(int wantBytes, int ms = 2000) {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (out.size() < wantBytes && t.elapsed() < ms) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) out.append(buf, static_cast<int>(n));
            }
        }
        return out;
    }
    void write(const QByteArray& b) { (void)!::write(master, b.constData(), static_cast<size_t>(b.size())); }
};

}  // namespace hddtest
