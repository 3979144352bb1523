// The USB link over the vendor's library, loaded as the program loads it: a
// machine without it, and the calls crossing into a stand-in library.
#include "link/usb_port.h"
#include "link/vendor_d2xx_win32.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

namespace veldro {
namespace {

using test::ScriptedHost;

// The calls the stand-in library received, one a line.
std::string standInCalls() {
    using Calls = const char*(WINAPI*)();
    const HMODULE library = GetModuleHandleW(L"ftd2xx_stand_in.dll");
    const auto calls =
        reinterpret_cast<Calls>(reinterpret_cast<void*>(GetProcAddress(library, "StandInCalls")));
    return calls ? calls() : "(no stand-in loaded)";
}

TEST(VendorLibrary, WithoutItTheUsbLinkIsUnavailableAndSaysSoWithoutAsking) {
    VendorD2xx converters("veldro-no-such-ftd2xx.dll");
    ScriptedHost host;
    UsbPort port(host, converters);
    EXPECT_EQ(CountUsbDevices(converters), 0);
    EXPECT_EQ(port.Connect(usbPortNumber, 9600, 0, "", false, ""), 0);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_FALSE(port.isLocked());
    EXPECT_EQ(
        port.connectFailure().rfind("The USB link is unavailable: veldro-no-such-ftd2xx.dll", 0),
        0u)
        << port.connectFailure();
}

TEST(VendorLibrary, TheLinkCrossesIntoItWithItsArguments) {
    VendorD2xx converters(VELDRO_FTD2XX_STAND_IN);
    ASSERT_EQ(converters.unavailableReason(), "");
    ScriptedHost host;
    UsbPort port(host, converters);
    EXPECT_EQ(CountUsbDevices(converters), 1);
    ASSERT_EQ(port.Connect(usbPortNumber, 9600, 0, "", false, ""), usbPortNumber);
    port.SetXonXoff(true);
    port.SetStopBits(2);
    EXPECT_TRUE(port.GetDsr());
    // The stand-in's line is looped back: the byte sent is the byte that comes.
    EXPECT_EQ(port.SendRawByte('@'), 0);
    EXPECT_EQ(port.ReadByteWithin(2000), '@');
    port.Disconnect();
    EXPECT_EQ(standInCalls(), "FT_Open 0\n"
                              "FT_SetEventNotification 1\n"
                              "FT_SetBaudRate 9600\n"
                              "FT_SetTimeouts 500 500\n"
                              "FT_ClrDtr\n"
                              "FT_ClrRts\n"
                              "FT_SetFlowControl 1024 17 19\n"
                              "FT_SetDataCharacteristics 8 2 0\n"
                              "FT_SetTimeouts 2000 500\n"
                              "FT_ClrDtr\n"
                              "FT_ClrRts\n"
                              "FT_Close\n");
}

} // namespace
} // namespace veldro
