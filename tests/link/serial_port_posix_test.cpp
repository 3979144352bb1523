#include "expect_port_error.h"
#include "link/serial_port.h"
#include "pty_peer.h"
#include "scripted_host.h"
#include "serial_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace veldro {
namespace {

using test::Link;
using test::PtyPeer;
using test::ScriptedHost;
using namespace std::chrono_literals;

// The prompt names the device behind the number.
Message connectPrompt(const std::string& device) {
    return {"Connect Serial link < COM 1 (" + device +
                ") > between computer and Veldro click <OK Button>",
            "Communication", MessageIcon::Information};
}

bool sameMessage(const Message& a, const Message& b) {
    return a.text == b.text && a.caption == b.caption && a.icon == b.icon;
}

// True when nobody holds the device: the port under test has not opened it.
bool deviceFree(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool free = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0) ::close(fd);
    return free;
}

TEST(SerialConnect, RefusedPromptLeavesThePortUnlockedAndTheLineClosed) {
    Link link;
    link.host.answers = {false};
    EXPECT_EQ(link.connect(), 0);
    ASSERT_EQ(link.host.questions.size(), 1u);
    EXPECT_TRUE(sameMessage(link.host.questions[0], connectPrompt(link.peer.devicePath())));
    EXPECT_EQ(link.port.GetState(), -1);
    EXPECT_FALSE(link.port.isLocked());
    EXPECT_TRUE(deviceFree(link.peer.devicePath()));
    EXPECT_TRUE(link.port.connectFailure().empty());
}

TEST(SerialConnect, AbsentDeviceFailsSilentlyWithItsReason) {
    ScriptedHost host;
    SerialPort port(host, ComDevices::withDevice(2, "/dev/veldro-no-such-line"));
    EXPECT_EQ(port.Connect(2, 9600, 0, "", false, ""), 0);
    EXPECT_EQ(port.GetState(), 0);
    EXPECT_FALSE(port.isLocked());
    EXPECT_TRUE(host.shown.empty());
    EXPECT_NE(port.connectFailure().find("/dev/veldro-no-such-line"), std::string::npos);
    EXPECT_NE(port.connectFailure().find("No such file"), std::string::npos);
}

TEST(ComDevices, SystemNamesAreTheFirstFourSerialTtys) {
    const ComDevices defaults;
    EXPECT_EQ(defaults.pathOf(1), "/dev/ttyS0");
    EXPECT_EQ(defaults.pathOf(4), "/dev/ttyS3");
    EXPECT_TRUE(ComDevices::isDevicePath("/dev/serial/by-id/usb-veldro"));
    EXPECT_FALSE(ComDevices::isDevicePath("COM5"));
}

TEST(SerialConnect, RefusedPermissionNamesTheDialoutGroup) {
    const std::string denied = describeOpenFailure("/dev/ttyS0", EACCES);
    EXPECT_NE(denied.find("/dev/ttyS0"), std::string::npos);
    EXPECT_NE(denied.find("Permission denied"), std::string::npos);
    EXPECT_NE(denied.find("\"dialout\" group"), std::string::npos);
    EXPECT_EQ(describeOpenFailure("/dev/ttyS0", ENOENT).find("dialout"), std::string::npos);
}

TEST(SerialConnect, DeviceHeldByAnotherProgramFails) {
    Link link;
    const int holder = ::open(link.peer.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(link.connect(), 0);
    EXPECT_FALSE(link.port.isLocked());
    EXPECT_NE(link.port.connectFailure().find("in use"), std::string::npos);
    ::close(holder);
}

TEST(SerialConnect, SecondConnectOfALockedPortPromptsButNeitherReopensNorRaisesLines) {
    Link link;
    ASSERT_EQ(link.connect(), 1);
    EXPECT_TRUE(link.port.isLocked());
    EXPECT_TRUE(link.port.GetDtr());
    EXPECT_TRUE(link.port.GetRts());
    EXPECT_EQ(link.host.pauses.elapsed(), 1s) << "the lines settle low for a second";
    // A direct link writes nothing to the instrument.
    EXPECT_EQ(link.peer.receive(1, 50), "");

    link.port.Disconnect();
    EXPECT_EQ(link.port.GetState(), 0);
    EXPECT_FALSE(link.port.GetDtr());
    EXPECT_FALSE(link.port.GetRts());
    EXPECT_EQ(link.host.pauses.elapsed(), 2s) << "a second with the lines low";
    // Disconnect leaves the line open for the next download.
    EXPECT_FALSE(deviceFree(link.peer.devicePath()));

    EXPECT_EQ(link.port.Connect(3, 9600, 0, "", false, ""), 3);
    ASSERT_EQ(link.host.questions.size(), 2u);
    // The number asked for, the line that stays open.
    EXPECT_NE(link.host.questions[1].text.find("< COM 3 (" + link.peer.devicePath() + ") >"),
              std::string::npos);
    EXPECT_FALSE(link.port.GetDtr());
    EXPECT_FALSE(link.port.GetRts());
    EXPECT_EQ(link.port.GetPortNumber(), 1);
    EXPECT_EQ(link.host.pauses.elapsed(), 2s);

    link.host.answers = {false};
    EXPECT_EQ(link.connect(), 0);
    EXPECT_EQ(link.port.GetState(), -1);
    EXPECT_TRUE(link.port.isLocked());
}

TEST(SerialConnect, ModemDialogueWaitsForOkAndConnect) {
    Link link;
    std::string heard;
    link.host.onEvents = [&] {
        heard += link.peer.received();
        const auto answer = [&](const std::string& command, const std::string& reply) {
            if (heard.size() >= command.size() &&
                heard.compare(heard.size() - command.size(), command.size(), command) == 0) {
                link.peer.send(reply);
                heard += '|';
            }
        };
        answer("ATZ\r\n", "ATZ\r\r\nOK\r\n");
        answer("AT&F\r\n", "O");
        answer("ATDT5551234\r\n", "\r\nCONNECT 9600\r\n");
    };
    // "OK" arrives in two pieces for the init command.
    int pieces = 0;
    const auto peer = link.host.onEvents;
    link.host.onEvents = [&] {
        peer();
        if (heard.ends_with("AT&F\r\n|") && ++pieces == 3) link.peer.send("K\r\n");
    };
    EXPECT_EQ(link.connect("AT&F", "5551234"), 1);
    EXPECT_EQ(heard, "ATZ\r\n|AT&F\r\n|ATDT5551234\r\n|");
    EXPECT_EQ(link.host.pauses.elapsed(), 2s) << "the settle second and a second after CONNECT";
}

TEST(SerialFrame, LineIsRaw8N1AtTheAskedSpeed) {
    Link link;
    ASSERT_EQ(link.connect(), 1);
    termios settings{};
    const int line = ::open(link.peer.devicePath().c_str(), O_RDWR | O_NOCTTY);
    const int got = tcgetattr(line, &settings);
    ::close(line);
    ASSERT_EQ(got, 0);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_iflag & (ICRNL | IXON | INLCR), 0u);
    EXPECT_EQ(settings.c_lflag & (ECHO | ICANON), 0u);
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(link.port.GetDataBits(), 8);
    EXPECT_EQ(link.port.GetParity(), 0);
    EXPECT_EQ(link.port.GetStopBits(), 1);
    EXPECT_EQ(link.port.GetBaudRate(), 9600);
    EXPECT_EQ(link.port.MaxBaudRate(), 115200);
    std::string kind;
    link.port.KindName(kind);
    EXPECT_EQ(kind, "RS232");
}

TEST(SerialConnect, CancelDuringTheModemDialogueFailsTheConnect) {
    Link link;
    link.host.onEvents = [&] {
        if (link.peer.received().find("ATZ") != std::string::npos) link.port.SetState(0);
    };
    EXPECT_EQ(link.connect("", "5551234"), 0);
}

} // namespace
} // namespace veldro
