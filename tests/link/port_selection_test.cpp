#include "link/port_selection.h"
#include "link/simulated_d2xx.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

namespace veldro {
namespace {

struct Selection {
    test::ScriptedHost host;
    SimulatedD2xx converters;
    PortResources resources{host, ComDevices{}, converters};
    std::unique_ptr<Port> currentPort;

    std::string kindFor(int portNumber) {
        std::string kind;
        portForDownload(currentPort, portNumber, resources).KindName(kind);
        return kind;
    }
};

TEST(PortForDownload, CreatesSerialForComAndUsbForUsb) {
    Selection selection;
    EXPECT_EQ(selection.kindFor(1), "RS232");
    Selection other;
    EXPECT_EQ(other.kindFor(usbPortNumber), "USB");
}

TEST(PortForDownload, ReplacesAPortThatNeverConnectedSoTheLinkCanChange) {
    Selection selection;
    EXPECT_EQ(selection.kindFor(2), "RS232");
    const Port* first = selection.currentPort.get();
    // A refused connect prompt leaves the state at -1, unlocked.
    selection.currentPort->SetState(-1);
    EXPECT_EQ(selection.kindFor(usbPortNumber), "USB");
    EXPECT_NE(selection.currentPort.get(), first);
}

TEST(PortForDownload, ReusesALockedPortWhateverLinkIsChosenNow) {
    Selection selection;
    EXPECT_EQ(selection.kindFor(usbPortNumber), "USB");
    const Port* first = selection.currentPort.get();
    selection.currentPort->SetState(usbPortNumber);
    selection.currentPort->SetState(0);
    EXPECT_TRUE(selection.currentPort->isLocked());
    EXPECT_EQ(selection.kindFor(3), "USB");
    EXPECT_EQ(selection.currentPort.get(), first);
}

TEST(ComDevices, DefaultsAndOverride) {
    const ComDevices defaults;
    EXPECT_EQ(defaults.pathOf(0), "");
    EXPECT_EQ(defaults.pathOf(usbPortNumber), "");
    const ComDevices given = ComDevices::withDevice(3, "/dev/serial/by-id/usb-veldro");
    EXPECT_EQ(given.pathOf(3), "/dev/serial/by-id/usb-veldro");
    EXPECT_EQ(given.pathOf(2), defaults.pathOf(2));
}

} // namespace
} // namespace veldro
