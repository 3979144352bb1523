#include "link/com_devices.h"
#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace veldro {
namespace {

namespace fs = std::filesystem;

// `name` under a folder standing for /, made with its folders.
void makeFile(const test::TempDir& root, const std::string& name, const std::string& text = "") {
    const fs::path path = fs::path(root.path()) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(SerialDevicesPresent, NamesByIdFirstThenConvertersThenPortsWithAUart) {
    test::TempDir root;
    const fs::path byId = fs::path(root.path()) / "dev/serial/by-id";
    fs::create_directories(byId);
    fs::create_symlink("../../ttyUSB1", byId / "usb-FTDI_Veldro_B-if00-port0");
    fs::create_symlink("../../ttyACM0", byId / "usb-Acme_Modem_A-if00");
    // Device nodes as plain files, with names that are no serial device among them.
    for (const char* node : {"ttyUSB10", "ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS10", "ttyS2",
                             "ttyS1", "ttyS0", "tty0", "ttyUSBx", "null", "ttyS", "pts/0"})
        makeFile(root, std::string("dev/") + node);
    makeFile(root, "sys/class/tty/ttyS1/type", "0\n"); // no UART answered
    makeFile(root, "sys/class/tty/ttyS2/type", "4\n");
    EXPECT_EQ(ComDevices::present(root.path()),
              (std::vector<std::string>{
                  "/dev/serial/by-id/usb-Acme_Modem_A-if00",
                  "/dev/serial/by-id/usb-FTDI_Veldro_B-if00-port0", "/dev/ttyUSB0", "/dev/ttyUSB1",
                  "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10"}));

    test::TempDir bare;
    EXPECT_TRUE(ComDevices::present(bare.path()).empty());
    EXPECT_TRUE(ComDevices::present(bare.file("missing")).empty());
}

} // namespace
} // namespace veldro
