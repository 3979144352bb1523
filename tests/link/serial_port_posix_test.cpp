#include "expect_port_error.h"
#include "link/serial_port.h"
#include "pty_peer.h"
#include "scripted_host.h"

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

using test::PtyPeer;
using test::ScriptedHost;
using namespace std::chrono_literals;

const Message connectPrompt{
    "Connect Serial link < COM 1 > between computer and Veldro click <OK Button>", "Communication",
    MessageIcon::Information};

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

struct Link {
    PtyPeer peer;
    ScriptedHost host;
    SerialPort port{host, ComDevices::withDevice(1, peer.devicePath())};

    int connect(const std::string& init = "", const std::string& phone = "") {
        return port.Connect(1, 9600, 0, init, false, phone);
    }
};

TEST(SerialConnect, RefusedPromptLeavesThePortUnlockedAndTheLineClosed) {
    Link link;
    link.host.answers = {false};
    EXPECT_EQ(link.connect(), 0);
    ASSERT_EQ(link.host.questions.size(), 1u);
    EXPECT_TRUE(sameMessage(link.host.questions[0], connectPrompt));
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
    EXPECT_NE(link.host.questions[1].text.find("< COM 3 >"), std::string::npos);
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

// A port connected to a fresh peer, with a fresh host: the connect's
// questions and events are not the test's.
class ConnectedSerial : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(link.connect(), 1);
        link.host = ScriptedHost{};
    }
    // "Cancel" pressed while the port waits, at the n-th event run from now:
    // the state a Disconnect leaves, without its line pause.
    void cancelAfter(long eventRuns) {
        const long at = link.host.eventRuns + eventRuns;
        link.host.onEvents = [this, at] {
            if (link.host.eventRuns == at) link.port.SetState(0);
        };
    }
    // Sends `bytes` and waits until they are in the port's receive queue: a
    // pseudo-terminal passes them on a moment later.
    void arrive(const std::string& bytes) {
        const int expected = std::max(0, port().InputCount()) + static_cast<int>(bytes.size());
        peer().send(bytes);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (port().InputCount() < expected && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(port().InputCount(), expected);
    }
    SerialPort& port() { return link.port; }
    PtyPeer& peer() { return link.peer; }
    ScriptedHost& host() { return link.host; }

    Link link;
};

TEST_F(ConnectedSerial, GetLineStopsAtMaxCharsWithoutLfAndLeavesTheRest) {
    const std::string fifty = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    arrive(fifty);
    std::string text;
    EXPECT_TRUE(port().GetLine(text, 40, 500));
    EXPECT_EQ(text, fifty.substr(0, 40));
    EXPECT_EQ(port().InputCount(), 10);
}

TEST_F(ConnectedSerial, GetLineKeepsNeitherCrNorLfAndCrAloneDoesNotEndIt) {
    peer().send("AB\rCD\r\nEF\n");
    std::string text;
    EXPECT_TRUE(port().GetLine(text, 40, 500));
    EXPECT_EQ(text, "ABCD");
    EXPECT_TRUE(port().GetLine(text, 40, 500));
    EXPECT_EQ(text, "EF");
}

TEST_F(ConnectedSerial, GetLineGivesFalseAndNoTextWhenAByteIsLate) {
    arrive("AB");
    std::string text = "old";
    EXPECT_FALSE(port().GetLine(text, 40, 30));
    EXPECT_EQ(text, "");
}

TEST_F(ConnectedSerial, PrimitivesOnAClosedPortRaiseTheirTexts) {
    port().SetState(0);
    std::string text;
    std::uint8_t buffer[4];
    test::expectPortError([&] { port().GetLine(text, 40, 10); }, "Port err. getstring");
    test::expectPortError([&] { port().GetByte(); }, "Port err. Getcom");
    test::expectPortError([&] { port().GetBytes(buffer, 4, 10); }, "Port err. Getcom");
    test::expectPortError([&] { port().PutByte('x'); }, "Port err. putcom");
    test::expectPortError([&] { port().SendCommand('x', 10); }, "Port err. Setcmd");
    EXPECT_EQ(host().cursors.back(), Cursor::Default);
    EXPECT_EQ(port().ReadByteWithin(10), -1);
    EXPECT_EQ(port().ReadBuffer(buffer, 4, 10), -1);
    EXPECT_EQ(port().SendRawByte('x'), -1);
    EXPECT_EQ(port().InputCount(), -1);
    EXPECT_EQ(port().OutputCount(), -1);
    EXPECT_FALSE(port().WaitText(":>"));
}

// The instrument's side of SendCommand: answers '@' from the n-th handshake
// on (never when 0), then one reply per command pair from `replies` (-1 for
// silence).
struct CommandPeer {
    CommandPeer(int from, std::vector<int> answers)
        : answerHandshakeFrom(from), replies(std::move(answers)) {}
    int answerHandshakeFrom = 0;
    std::vector<int> replies;
    int handshakes = 0;
    std::string pairs;

    void hear(PtyPeer& peer) {
        for (const char byte : peer.received()) {
            if (pairs.empty() && byte == '@') {
                ++handshakes;
                if (answerHandshakeFrom != 0 && handshakes >= answerHandshakeFrom) peer.send("@");
                continue;
            }
            pairs += byte;
            if (pairs.size() % 2 == 0) {
                const std::size_t pair = pairs.size() / 2 - 1;
                if (pair < replies.size() && replies[pair] >= 0)
                    peer.send(std::string(1, static_cast<char>(replies[pair])));
            }
        }
    }
};

TEST_F(ConnectedSerial, SendCommandGoesOnAfter22SilentHandshakes) {
    CommandPeer instrument(0, {'D'});
    host().onEvents = [&] { instrument.hear(peer()); };
    EXPECT_TRUE(port().SendCommand('D', 20));
    EXPECT_EQ(instrument.handshakes, 22);
    EXPECT_EQ(instrument.pairs, std::string("D") + static_cast<char>('D' ^ 0xFF));
    EXPECT_EQ(host().cursors.front(), Cursor::Busy);
    EXPECT_EQ(host().cursors.back(), Cursor::Default);
}

TEST_F(ConnectedSerial, SendCommandRepeatsThePairOnFfAndOnSilence) {
    CommandPeer instrument(3, {-1, 0xFF, 'D'});
    host().onEvents = [&] { instrument.hear(peer()); };
    EXPECT_TRUE(port().SendCommand('D', 40));
    EXPECT_EQ(instrument.handshakes, 3);
    const std::string pair = std::string("D") + static_cast<char>('D' ^ 0xFF);
    EXPECT_EQ(instrument.pairs, pair + pair + pair);
}

TEST_F(ConnectedSerial, SendCommandIsFalseWhenTheReplyIsAnotherByte) {
    CommandPeer instrument(1, {'?'});
    host().onEvents = [&] { instrument.hear(peer()); };
    EXPECT_FALSE(port().SendCommand('D', 40));
    EXPECT_EQ(instrument.pairs.size(), 2u);
}

TEST_F(ConnectedSerial, WaitTextFindsTheTextAcrossSplitReads) {
    peer().send("noise:");
    host().onEvents = [&] {
        if (host().eventRuns == 3) peer().send(">rest");
    };
    EXPECT_TRUE(port().WaitPrompt());
    EXPECT_GE(host().eventRuns, 3);
    EXPECT_EQ(port().InputCount(), 4);
}

TEST_F(ConnectedSerial, WaitTextIsCaseSensitive) {
    arrive("ok");
    cancelAfter(5);
    EXPECT_FALSE(port().WaitText("OK"));
}

TEST_F(ConnectedSerial, ByteBufferAndBlockReads) {
    arrive("abcdef");
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(port().ReadBuffer(buffer, 2, 200), 2);
    EXPECT_EQ(port().GetByte(), 'c');
    port().GetBlock(buffer, 2);
    EXPECT_EQ(buffer[0], 'd');
    EXPECT_EQ(buffer[1], 'e');
    EXPECT_EQ(port().ReadRawByte(), 'f');
    EXPECT_EQ(port().ReadRawByte(), -1);
    arrive("xy");
    EXPECT_EQ(port().GetBytes(buffer, 8, 30), 2);
    EXPECT_EQ(port().ReadByteWithin(30), -1);
}

TEST_F(ConnectedSerial, PutByteAndFlushInput) {
    port().PutByte('T');
    EXPECT_EQ(peer().receive(1), "T");
    EXPECT_EQ(port().OutputCount(), 0);
    arrive("stale");
    port().FlushInput();
    EXPECT_EQ(port().InputCount(), 0);
}

TEST_F(ConnectedSerial, SynchroniseReadsTheTwoLinesFirstIntoTheSecondArgument) {
    arrive("stale bytes");
    std::string heard;
    host().onEvents = [&] {
        heard += peer().received();
        if (!heard.empty() && heard.back() == '@') {
            peer().send("@VELDRO V3.2\r\nSERIAL 0417\r\n");
            heard += '|';
        }
    };
    std::string text1, text2;
    EXPECT_TRUE(port().Synchronise(text1, text2));
    EXPECT_EQ(text2, "VELDRO V3.2");
    EXPECT_EQ(text1, "SERIAL 0417");
    EXPECT_TRUE(host().shown.empty());
}

TEST_F(ConnectedSerial, SynchroniseShowsUnknownBaudrateOnAPortError) {
    cancelAfter(2);
    std::string text1, text2;
    EXPECT_FALSE(port().Synchronise(text1, text2));
    ASSERT_EQ(host().shown.size(), 1u);
    EXPECT_EQ(host().shown[0].text, "Unknown Baudrate");
}

TEST_F(ConnectedSerial, APeerThatHangsUpLeavesTheWaitQuietUntilItsTimeLimit) {
    host().onEvents = [&] {
        if (host().eventRuns == 2) peer().hangUp();
    };
    EXPECT_EQ(port().ReadByteWithin(150), -1);
    // Waiting in steps of about 10 ms, not spinning on the hung-up line.
    EXPECT_LT(host().eventRuns, 40);
    cancelAfter(5);
    EXPECT_THROW(port().GetByte(), PortError);
}

TEST_F(ConnectedSerial, ALineHungUpBeforeTheWaitIsWaitedOnQuietly) {
    // The instrument's end went away between two downloads: poll reports the
    // end of file as input, which must not turn the wait into a spin.
    peer().hangUp();
    EXPECT_EQ(port().ReadByteWithin(150), -1);
    EXPECT_GE(host().eventRuns, 5); // the wait went on in steps, letting events run
    EXPECT_LT(host().eventRuns, 40);
}

TEST_F(ConnectedSerial, CancelEndsEveryKindOfWaitAtOnce) {
    std::uint8_t buffer[8];
    std::string text;
    const auto cancelled = [&](auto wait) {
        port().SetState(1);
        host() = ScriptedHost{};
        cancelAfter(3);
        wait();
        // Ended at the first check after the cancel, not at a time limit.
        EXPECT_LE(host().eventRuns, 4);
    };
    cancelled([&] { EXPECT_EQ(port().ReadByteWithin(60000), -1); });
    cancelled([&] { EXPECT_EQ(port().ReadBuffer(buffer, 8, 60000), 0); });
    cancelled([&] { EXPECT_FALSE(port().GetLine(text, 40, 60000)); });
    cancelled([&] { EXPECT_EQ(port().GetBytes(buffer, 8, 60000), 0); });
    cancelled([&] { EXPECT_THROW(port().GetByte(), PortError); });
    cancelled([&] { EXPECT_THROW(port().GetBlock(buffer, 2), PortError); });
    cancelled([&] { EXPECT_FALSE(port().WaitText("never")); });
    cancelled([&] { EXPECT_FALSE(port().PromptCommand('D', 60000)); });
    // The handshake: the next '@' finds the port closed.
    cancelled([&] {
        test::expectPortError([&] { port().SendCommand('D', 60000); }, "Port err. putcom");
    });
}

TEST_F(ConnectedSerial, CancelInTheCommandPairRaisesSetcmd) {
    CommandPeer instrument(1, {});
    host().onEvents = [&] {
        instrument.hear(peer());
        if (instrument.pairs.size() == 2) port().SetState(0);
    };
    test::expectPortError([&] { port().SendCommand('D', 60000); }, "Port err. Setcmd");
}

TEST_F(ConnectedSerial, DisconnectFromTheHostEndsGetByte) {
    host().onEvents = [&] {
        if (host().eventRuns == 3) port().Disconnect();
    };
    EXPECT_THROW(port().GetByte(), PortError);
    EXPECT_EQ(port().GetState(), 0);
    EXPECT_FALSE(port().GetDtr());
    EXPECT_EQ(host().cursors.back(), Cursor::Default);
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
