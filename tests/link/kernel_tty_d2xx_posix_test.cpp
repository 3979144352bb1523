#include "link/kernel_tty_d2xx.h"
#include "link/usb_port.h"
#include "pty_peer.h"
#include "scripted_host.h"
#include "test_support.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace veldro {
namespace {

namespace fs = std::filesystem;

// A sysfs tree as the kernel lays it out: class/tty/<name> links to the tty's
// device under its USB interface, whose parent USB device holds idVendor.
class FakeSysfs {
public:
    explicit FakeSysfs(std::string sysfsRoot) : root(std::move(sysfsRoot)) {}

    void addUsbTty(const std::string& name, const std::string& vendor, const std::string& port) {
        const fs::path usbDevice = fs::path(root) / "devices/pci0000:00/usb1" / port;
        addTty(name, usbDevice / (port + ":1.0") / name);
        std::ofstream(usbDevice / "idVendor") << vendor << "\n";
    }
    void addTty(const std::string& name, const fs::path& device) {
        fs::create_directories(device);
        const fs::path entry = fs::path(root) / "class/tty" / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(device, entry / "device");
    }

private:
    std::string root;
};

TEST(KernelTtyConverters, OnlyFtdiTtysCountInNumericOrder) {
    test::TempDir dir;
    FakeSysfs sysfs(dir.file("sys"));
    sysfs.addUsbTty("ttyUSB10", "0403", "1-3");
    sysfs.addUsbTty("ttyUSB2", "0403", "1-1");
    sysfs.addUsbTty("ttyUSB0", "067b", "1-2");
    sysfs.addTty("ttyS0", dir.file("sys/devices/platform/serial8250/tty/ttyS0"));
    KernelTtyD2xx converters(dir.file("sys"), dir.file("dev"));
    EXPECT_EQ(converters.converterTtys(), (std::vector<std::string>{"ttyUSB2", "ttyUSB10"}));
    EXPECT_EQ(CountUsbDevices(converters), 2);
}

TEST(KernelTtyConverters, NoSysfsMeansNoConverter) {
    KernelTtyD2xx converters("/nonexistent/sys", "/dev");
    EXPECT_EQ(CountUsbDevices(converters), 0);
    FtHandle handle = 0;
    EXPECT_NE(converters.open(0, handle), ftOk);
}

TEST(KernelTtyConverters, UsbPortTalksThroughTheConvertersTty) {
    test::TempDir dir;
    test::PtyPeer instrument;
    FakeSysfs sysfs(dir.file("sys"));
    sysfs.addUsbTty("ttyUSB0", "0403", "1-1");
    fs::create_directories(dir.file("dev"));
    fs::create_symlink(instrument.devicePath(), dir.file("dev/ttyUSB0"));
    KernelTtyD2xx converters(dir.file("sys"), dir.file("dev"));
    test::ScriptedHost host;
    UsbPort port(host, converters);

    ASSERT_EQ(port.Connect(usbPortNumber, 9600, 0, "", false, ""), usbPortNumber);
    instrument.send("V\r\n");
    EXPECT_EQ(port.ReadByteWithin(500), 'V');
    std::uint8_t line[2] = {};
    EXPECT_EQ(port.ReadBuffer(line, 2, 500), 2);
    EXPECT_EQ(port.SendRawByte('T'), 0);
    EXPECT_EQ(instrument.receive(1), "T");
    port.PutByte('U');
    EXPECT_EQ(instrument.receive(1), "U");
    EXPECT_EQ(port.OutputCount(), 0);

    instrument.send("stale");
    instrument.receive(0, 20);
    port.FlushInput();
    EXPECT_EQ(port.InputCount(), 0);
    // A pseudo-terminal has no modem lines: DSR reads low.
    EXPECT_FALSE(port.GetDsr());

    port.Disconnect();
    // Closed again, and no longer exclusive: another program, or a user
    // without the privilege to override that, may open the converter.
    const int other = ::open(instrument.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    int exclusive = 1;
    ASSERT_EQ(ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(other);
}

} // namespace
} // namespace veldro
