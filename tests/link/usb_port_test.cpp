#include "expect_port_error.h"
#include "link/simulated_d2xx.h"
#include "link/usb_port.h"
#include "scripted_host.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace veldro {
namespace {

using test::ScriptedHost;
using namespace std::chrono_literals;

const Message usbPrompt{"Connect USB link beetwen computer and Veldro, then click <OK> Button",
                        "Download", MessageIcon::Information};

struct UsbLink {
    SimulatedD2xx converters;
    ScriptedHost host;
    UsbPort port{host, converters};

    int connect() { return port.Connect(usbPortNumber, 9600, 0, "", false, ""); }
    std::size_t indexOfCall(const std::string& call) {
        const auto calls = converters.calls();
        return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) -
                                        calls.begin());
    }
};

TEST(UsbConnect, PromptComesBackUntilAConverterIsPluggedIn) {
    UsbLink link;
    link.host.onQuestion = [&](const Message&) {
        if (link.host.questions.size() == 3) link.converters.attach();
    };
    EXPECT_EQ(link.connect(), usbPortNumber);
    ASSERT_EQ(link.host.questions.size(), 3u);
    for (const auto& question : link.host.questions) {
        EXPECT_EQ(question.text, usbPrompt.text);
        EXPECT_EQ(question.caption, usbPrompt.caption);
        EXPECT_EQ(question.icon, usbPrompt.icon);
    }
    EXPECT_EQ(link.port.GetState(), usbPortNumber);
    EXPECT_TRUE(link.port.isLocked());
    const auto device = link.converters.converter(0);
    EXPECT_TRUE(device.open);
    EXPECT_EQ(device.baudRate, 9600u);
    EXPECT_EQ(device.readTimeoutMs, 500u);
    EXPECT_EQ(device.writeTimeoutMs, 500u);
    // Unlike the serial line, DTR and RTS stay low.
    EXPECT_FALSE(device.dtr);
    EXPECT_FALSE(device.rts);
    EXPECT_LT(link.indexOfCall("setTimeouts 1"), link.indexOfCall("clrDtr 1"));
}

TEST(UsbConnect, CancelWithNoConverterLeavesThePortUnlocked) {
    UsbLink link;
    link.host.answers = {true, true, false};
    EXPECT_EQ(link.connect(), 0);
    EXPECT_EQ(link.host.questions.size(), 3u);
    EXPECT_EQ(link.port.GetState(), -1);
    EXPECT_FALSE(link.port.isLocked());
}

TEST(UsbConnect, FailedListingCountsAsNoConverter) {
    UsbLink link;
    link.converters.attach();
    link.converters.failListing(true);
    link.host.answers = {true, false};
    EXPECT_EQ(link.connect(), 0);
    EXPECT_EQ(link.host.questions.size(), 2u);
    EXPECT_EQ(CountUsbDevices(link.converters), 0);
}

TEST(UsbConnect, OpensDeviceZeroOfTwo) {
    UsbLink link;
    link.converters.attach();
    link.converters.attach();
    EXPECT_EQ(CountUsbDevices(link.converters), 2);
    EXPECT_EQ(link.connect(), usbPortNumber);
    EXPECT_TRUE(link.converters.converter(0).open);
    EXPECT_FALSE(link.converters.converter(1).open);
}

TEST(UsbConnect, EveryConnectReopensClosingTheOldHandleAndDisconnectCloses) {
    UsbLink link;
    link.converters.attach();
    ASSERT_EQ(link.connect(), usbPortNumber);
    ASSERT_EQ(link.connect(), usbPortNumber);
    EXPECT_LT(link.indexOfCall("open 0 -> 1"), link.indexOfCall("close 1"));
    EXPECT_LT(link.indexOfCall("close 1"), link.indexOfCall("open 0 -> 2"));
    EXPECT_TRUE(link.converters.converter(0).open);

    link.port.Disconnect();
    EXPECT_EQ(link.port.GetState(), 0);
    EXPECT_FALSE(link.converters.converter(0).open);
    EXPECT_LT(link.indexOfCall("open 0 -> 2"), link.indexOfCall("close 2"));
    EXPECT_EQ(link.host.cursors.back(), Cursor::Default);
    EXPECT_EQ(link.host.pauses.elapsed(), 3s) << "a settle second each, a second to disconnect";
}

TEST(UsbConnect, DestroyingAnOpenPortReleasesTheConverter) {
    SimulatedD2xx converters;
    converters.attach();
    {
        ScriptedHost host;
        UsbPort port(host, converters);
        ASSERT_EQ(port.Connect(usbPortNumber, 9600, 0, "", false, ""), usbPortNumber);
    }
    EXPECT_FALSE(converters.converter(0).open);
}

TEST(UsbConnect, UnpluggedConverterLeavesTheListingAndFailsItsOpenPort) {
    UsbLink link;
    const int first = link.converters.attach();
    const int second = link.converters.attach();
    link.converters.detach(first);
    EXPECT_EQ(CountUsbDevices(link.converters), 1);
    ASSERT_EQ(link.connect(), usbPortNumber);
    EXPECT_TRUE(link.converters.converter(second).open) << "device 0 is the one still attached";

    link.converters.deliver(second, "lost");
    link.converters.detach(second);
    EXPECT_EQ(CountUsbDevices(link.converters), 0);
    EXPECT_FALSE(link.converters.converter(second).open);
    EXPECT_EQ(link.port.InputCount(), -1);
    EXPECT_EQ(link.port.ReadByteWithin(20), -1);
    EXPECT_EQ(link.port.SendRawByte('T'), -1);
    link.converters.deliver(second, "after");
    EXPECT_TRUE(link.converters.converter(second).toComputer.empty());
}

// A port connected to a fresh converter, with a fresh host: the connect's
// questions are not the test's.
class ConnectedUsb : public ::testing::Test {
protected:
    void SetUp() override {
        link.converters.attach();
        ASSERT_EQ(link.connect(), usbPortNumber);
        link.host = ScriptedHost{};
    }
    UsbPort& port() { return link.port; }
    ScriptedHost& host() { return link.host; }
    SimulatedD2xx::Converter device() { return link.converters.converter(0); }
    void deliver(const std::string& bytes) { link.converters.deliver(0, bytes); }
    std::size_t sentCount(char byte) {
        const std::string sent = device().fromComputer;
        return static_cast<std::size_t>(std::count(sent.begin(), sent.end(), byte));
    }

    UsbLink link;
};

TEST_F(ConnectedUsb, FrameFormatSettersReachTheConverterAndGettersReadThemBack) {
    port().SetStopBits(2);
    EXPECT_EQ(port().GetStopBits(), 2);
    EXPECT_EQ(port().GetDataBits(), 8);
    EXPECT_EQ(device().stopBits, 2);
    port().SetParity(2);
    EXPECT_EQ(port().GetParity(), 2);
    EXPECT_EQ(device().parity, 2);
    port().SetParity(7);
    EXPECT_EQ(port().GetParity(), 0);
    port().SetDataBits(7);
    EXPECT_EQ(port().GetDataBits(), 7);
    EXPECT_EQ(device().wordLength, 7);
    port().SetDataBits(9);
    EXPECT_EQ(port().GetDataBits(), 8);
    port().SetStopBits(1);
    EXPECT_EQ(port().GetStopBits(), 1);
    EXPECT_EQ(device().stopBits, 0);
    EXPECT_EQ(port().GetBaudRate(), 0);
    EXPECT_EQ(port().GetPortNumber(), 0);
    EXPECT_EQ(port().MaxBaudRate(), 273000);
    std::string kind;
    port().KindName(kind);
    EXPECT_EQ(kind, "USB");
}

TEST_F(ConnectedUsb, FlowControlIsOneModeAtATime) {
    port().SetXonXoff(true);
    EXPECT_EQ(device().flowMode, ftFlowXonXoff);
    EXPECT_EQ(device().xon, 0x11);
    EXPECT_EQ(device().xoff, 0x13);
    EXPECT_TRUE(port().GetXonXoff());
    port().SetRtsCts(true);
    EXPECT_EQ(device().flowMode, ftFlowRtsCts);
    EXPECT_EQ(device().xon, 0);
    EXPECT_FALSE(port().GetXonXoff());
    EXPECT_TRUE(port().GetRtsCts());
    port().SetDtrDsr(true);
    EXPECT_EQ(device().flowMode, ftFlowDtrDsr);
    EXPECT_FALSE(port().GetRtsCts());
    port().SetDtrDsr(false);
    EXPECT_EQ(device().flowMode, ftFlowNone);
    EXPECT_FALSE(port().GetDtrDsr());
}

TEST_F(ConnectedUsb, SettersOfAClosedPortChangeNothing) {
    port().SetState(0);
    port().SetParity(1);
    port().SetDtr(true);
    port().SetBaudRate(19200);
    EXPECT_EQ(port().GetParity(), 0);
    EXPECT_FALSE(port().GetDtr());
    EXPECT_EQ(device().baudRate, 9600u);
}

TEST_F(ConnectedUsb, ModemLines) {
    port().SetDtr(true);
    port().SetRts(true);
    EXPECT_TRUE(device().dtr && device().rts);
    EXPECT_TRUE(port().GetDtr() && port().GetRts());
    port().SetDtr(false);
    port().SetRts(false);
    EXPECT_FALSE(device().dtr || device().rts);
    link.converters.setDsr(0, true);
    EXPECT_TRUE(port().GetDsr());
    link.converters.setDsr(0, false);
    EXPECT_FALSE(port().GetDsr());
}

TEST_F(ConnectedUsb, ReadByteWithinOnSilenceWaitsItsTimeLetsEventsRunAndGivesMinusOne) {
    EXPECT_EQ(port().ReadByteWithin(300), -1);
    EXPECT_EQ(device().readTimeoutMs, 300u);
    EXPECT_EQ(device().writeTimeoutMs, 500u);
    // About every 10 ms of the 0.3 seconds: the window stayed live.
    EXPECT_GT(host().eventRuns, 15);
}

TEST_F(ConnectedUsb, ReadsDeliverWhatCame) {
    deliver("abcdef");
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(port().InputCount(), 6);
    EXPECT_EQ(port().ReadBuffer(buffer, 2, 100), 2);
    EXPECT_EQ(port().ReadByteWithin(100), 'c');
    EXPECT_EQ(port().GetByte(), 'd');
    EXPECT_EQ(port().ReadRawByte(), 'e');
    EXPECT_EQ(port().GetBytes(buffer, 8, 20), 1);
    EXPECT_EQ(buffer[0], 'f');
    deliver("x\r\nyz");
    std::string text;
    EXPECT_TRUE(port().GetLine(text, 40, 100));
    EXPECT_EQ(text, "x");
    port().FlushInput();
    EXPECT_EQ(port().InputCount(), 0);
}

TEST_F(ConnectedUsb, PutByteWritesAndWaitsForTheQueue) {
    const auto before = device().fromComputer.size();
    port().PutByte('T');
    EXPECT_EQ(device().fromComputer.substr(before), "T");
    EXPECT_EQ(port().OutputCount(), 0);
    EXPECT_EQ(port().SendRawByte('U'), 0);
    port().SetState(0);
    EXPECT_EQ(port().SendRawByte('V'), -1);
    EXPECT_EQ(device().fromComputer.substr(before), "TU");
}

TEST_F(ConnectedUsb, WaitTextOnAClosedPortRaisesWaitError) {
    deliver("ab");
    host().onEvents = [&] { port().SetState(0); };
    test::expectPortError([&] { port().WaitText(":>"); }, "Wait error");
    EXPECT_EQ(host().cursors.back(), Cursor::Default);
}

TEST_F(ConnectedUsb, SendCommandHandshakeHasNoLimit) {
    bool answered = false;
    host().onEvents = [&] {
        if (!answered && sentCount('@') == 30) {
            answered = true;
            deliver("@");
        }
        if (answered && device().fromComputer.ends_with(std::string("D") + char('D' ^ 0xFF)))
            deliver("D");
    };
    EXPECT_TRUE(port().SendCommand('D', 5));
    EXPECT_EQ(sentCount('@'), 30u);
}

TEST_F(ConnectedUsb, SynchroniseReadsTheIdentificationLines) {
    // The instrument answers the third knock; the first two get a wrong byte.
    const std::size_t before = sentCount('@');
    std::size_t answered = before;
    host().onEvents = [&] {
        if (sentCount('@') == answered) return;
        answered = sentCount('@');
        deliver(answered - before == 3 ? "@VELDRO V3.2\r\nSERIAL 0417\r\n" : "?");
    };
    std::string text1, text2;
    EXPECT_TRUE(port().Synchronise(text1, text2));
    EXPECT_EQ(text2, "VELDRO V3.2");
    EXPECT_EQ(text1, "SERIAL 0417");
    EXPECT_EQ(sentCount('@') - before, 3u);
}

TEST_F(ConnectedUsb, SynchroniseGivesUpAfter102Passes) {
    // An instrument that answers every knock with the wrong byte: each pass
    // costs only its 100 ms pause.
    std::size_t answered = sentCount('@');
    host().onEvents = [&] {
        if (sentCount('@') > answered) {
            answered = sentCount('@');
            deliver("?");
        }
    };
    const std::size_t before = sentCount('@');
    std::string text1, text2;
    EXPECT_FALSE(port().Synchronise(text1, text2));
    EXPECT_EQ(sentCount('@') - before, 102u);
    EXPECT_EQ(host().pauses.elapsed(), 102 * 100ms);
    EXPECT_TRUE(host().shown.empty());
}

TEST_F(ConnectedUsb, SynchroniseShowsUnknownBaudrateWhenCancelled) {
    host().onEvents = [&] { port().SetState(0); };
    std::string text1, text2;
    EXPECT_FALSE(port().Synchronise(text1, text2));
    ASSERT_EQ(host().shown.size(), 1u);
    EXPECT_EQ(host().shown[0].text, "Unknown Baudrate");
}

TEST_F(ConnectedUsb, DisconnectFromTheHostEndsGetByteAndClosesTheConverter) {
    host().onEvents = [&] {
        if (host().eventRuns == 3) port().Disconnect();
    };
    test::expectPortError([&] { port().GetByte(); }, "Port err. Getcom");
    EXPECT_FALSE(device().open);
}

} // namespace
} // namespace veldro
