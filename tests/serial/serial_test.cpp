// The serial port module over a real pseudo-terminal (real time, kept short).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "pty_master.h"
#include "pty_speed.h"
#include "serial_port.h"

namespace {

using hddtest::Pty;

// Pumps events until the condition holds or the time runs out.
template <class F>
bool pumpUntil(F cond, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return cond();
}

TEST(PortNames, SortCaseInsensitivelySoTwoDigitsComeBeforeALargerDigit) {
    QStringList names{"COM2", "com10", "COM1", "ttyUSB0"};
    hdd::sortPortNames(names);
    EXPECT_EQ(names, (QStringList{"COM1", "com10", "COM2", "ttyUSB0"}));
}

TEST(PortNames, EnumeratesSystemPortsThenRegisteredNames) {
    hdd::SerialPort port;
    port.setSystemPortLister([] { return QStringList{"ttyS1", "TTYS0"}; });
    port.registerBackend("sim", [] { return std::unique_ptr<hdd::SerialBackend>(); });
    QStringList list{"stale"};
    port.EnumComPorts(list);
    EXPECT_EQ(list, (QStringList{"TTYS0", "ttyS1", "sim"}));
}

TEST(PtyPort, OpensByPathAndMovesBytesBothWays) {
    Pty pty;
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(pty.slave, 9600)) << qPrintable(pty.slave);
    EXPECT_EQ(port.baud(), 9600);
    EXPECT_EQ(port.ComWriteBytes("/2\r"), 1);  // the count of the last byte's write
    EXPECT_EQ(pty.read(3), "/2\r");
    const QByteArray block(1024, '\x5a');
    EXPECT_EQ(port.ComWriteBuffer(block.constData(), block.size()), 1024);
    EXPECT_EQ(pty.read(1024), block);

    int notes = 0;
    QObject::connect(&port, &hdd::SerialPort::RxNotify, [&] { ++notes; });
    pty.write("\r\nT>");
    ASSERT_TRUE(pumpUntil([&] { return port.ComBytesWaiting() >= 4; }));
    EXPECT_EQ(port.ComReadAll(), "\r\nT>");
    EXPECT_GE(notes, 1);
    EXPECT_EQ(port.ComReadAll(), "");
    port.CloseComPort();
    EXPECT_FALSE(port.isOpen());
}

TEST(PtyPort, SecondOpenOfAHeldPortFailsAndLeavesNoHandle) {
    Pty pty;
    hdd::SerialPort first, second;
    ASSERT_TRUE(first.OpenComPort(pty.slave, 9600));
    EXPECT_FALSE(second.OpenComPort(pty.slave, 9600));
    EXPECT_FALSE(second.isOpen());
    EXPECT_NE(second.lastError(), hdd::PortError::None);
    first.CloseComPort();
    EXPECT_TRUE(second.OpenComPort(pty.slave, 9600));
}

TEST(PtyPort, MissingDeviceFailsAsNotFound) {
    hdd::SerialPort port;
    EXPECT_FALSE(port.OpenComPort("/dev/hddterm-no-such-port", 9600));
    EXPECT_EQ(port.lastError(), hdd::PortError::NotFound);
}

TEST(PtyPort, CustomRate625200ReachesTheDriverAsIs) {
    Pty pty;
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(pty.slave, 9600));
    ASSERT_TRUE(port.SetComBaud(625200));
    EXPECT_EQ(hddsim::ptyHostBaud(pty.master), 625200);
    ASSERT_TRUE(port.SetComBaud(921600));
    EXPECT_EQ(hddsim::ptyHostBaud(pty.master), 921600);
}

TEST(PtyPort, RefusedModemLinesDoNotPoisonThePort) {
    Pty pty;
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(pty.slave, 9600));
    port.SetControlLines(true);  // a pseudo-terminal has no DTR/RTS
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.ComWriteBytes("x"), 1);
    EXPECT_EQ(pty.read(1), "x");
    EXPECT_TRUE(port.SetComBaud(115200));
}

TEST(PtyPort, CloseWhileTheDriveTalksDiscardsTheRest) {
    Pty pty;
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(pty.slave, 9600));
    pty.write(QByteArray(2000, 'a'));
    port.CloseComPort();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.ComReadAll(), "");
    EXPECT_EQ(port.ComWriteBytes("abc"), 0);
    port.CloseComPort();  // with no port open it returns at once
}

TEST(PtyPort, VanishingDeviceClosesThePortAndSaysSo) {
    auto pty = std::make_unique<Pty>();
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(pty->slave, 9600));
    bool lost = false;
    QObject::connect(&port, &hdd::SerialPort::portLost, [&](hdd::PortError e) {
        lost = true;
        EXPECT_EQ(e, hdd::PortError::Disconnected);
    });
    pty->closeMaster();
    // Nothing more can be read from a terminal whose other side is gone.
    EXPECT_TRUE(pumpUntil([&] {
        port.ComWriteBytes("x");
        return lost;
    }));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.ComWriteBytes("x"), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

namespace {

// Opt-in: HDDTERM_TEST_PORT names a real port with a drive (or "hddsim --port") at 9600 baud.
TEST(RealPort, AnswersWithAPrompt) {
    const QString name = qEnvironmentVariable("HDDTERM_TEST_PORT");
    if (name.isEmpty()) GTEST_SKIP() << "set HDDTERM_TEST_PORT to a port with a drive to run this";
    hdd::SerialPort port;
    ASSERT_TRUE(port.OpenComPort(name, 9600)) << hdd::portErrorText(port.lastError()).toStdString();
    port.ComWriteBytes("\x1a");
    port.ComWriteBytes("/\r");
    QByteArray answer;
    EXPECT_TRUE(pumpUntil([&] {
        answer += port.ComReadAll();
        return answer.contains('>');
    }));
    port.CloseComPort();
}

}  // namespace
