// A connected serial port's reads, writes, waits and cancels, against a
// pseudo-terminal peer.
#include "expect_port_error.h"
#include "serial_link.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace veldro {
namespace {

using test::Link;
using test::PtyPeer;
using test::ScriptedHost;

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

} // namespace
} // namespace veldro
