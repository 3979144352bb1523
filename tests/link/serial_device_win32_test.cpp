// The serial device over the Windows communications API, against a scripted
// line in the system's place: what reaches the driver, and what comes back.
#include "link/com_devices.h"
#include "link/comm_api_win32.h"
#include "link/serial_device.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace veldro {
namespace {

HANDLE const lineHandle = reinterpret_cast<HANDLE>(0x1234);

// A COM port as its driver answers: bytes arrive when a timed read waits for
// them, one chunk a wait; line errors are reported once, as ClearCommError does.
class ScriptedComm : public CommApi {
public:
    // Set by the test.
    DWORD refusal = 0; // the error of CreateFileW; 0 opens
    std::deque<std::string> arrivals;
    DWORD errorsToReport = 0;
    DWORD modemStatus = 0;

    // What the device did.
    std::wstring openedName;
    DCB state = driverState();
    COMMTIMEOUTS timeouts{};
    std::vector<DWORD> escapes, purges, waits;
    std::string queued, written;

    HANDLE createFile(const std::wstring& name) override {
        openedName = name;
        return refusal == 0 ? lineHandle : INVALID_HANDLE_VALUE;
    }
    BOOL closeHandle(HANDLE) override { return TRUE; }
    BOOL getCommState(HANDLE, DCB& current) override {
        current = state;
        return TRUE;
    }
    BOOL setCommState(HANDLE, const DCB& wanted) override {
        state = wanted;
        return TRUE;
    }
    BOOL setCommTimeouts(HANDLE, const COMMTIMEOUTS& wanted) override {
        timeouts = wanted;
        return TRUE;
    }
    BOOL escapeCommFunction(HANDLE, DWORD function) override {
        escapes.push_back(function);
        return TRUE;
    }
    BOOL getCommModemStatus(HANDLE, DWORD& status) override {
        status = modemStatus;
        return TRUE;
    }
    BOOL clearCommError(HANDLE, DWORD& errors, COMSTAT& status) override {
        errors = std::exchange(errorsToReport, 0);
        status = COMSTAT{};
        status.cbInQue = static_cast<DWORD>(queued.size());
        return TRUE;
    }
    BOOL purgeComm(HANDLE, DWORD flags) override {
        purges.push_back(flags);
        if ((flags & PURGE_RXCLEAR) != 0) queued.clear();
        return TRUE;
    }
    BOOL readFile(HANDLE, void* buffer, DWORD count, DWORD& got) override {
        if (queued.empty()) {
            waits.push_back(timeouts.ReadTotalTimeoutConstant);
            if (!arrivals.empty()) queued = arrivals.front(), arrivals.pop_front();
        }
        got = std::min<DWORD>(count, static_cast<DWORD>(queued.size()));
        std::copy_n(queued.begin(), got, static_cast<char*>(buffer));
        queued.erase(0, got);
        return TRUE;
    }
    BOOL writeFile(HANDLE, const void* buffer, DWORD count, DWORD& done) override {
        written.append(static_cast<const char*>(buffer), count);
        done = count;
        return TRUE;
    }
    DWORD lastError() override { return refusal; }

private:
    // What a driver reports before the device sets anything: its own defaults.
    static DCB driverState() {
        DCB initial{};
        initial.DCBlength = sizeof initial;
        initial.BaudRate = 1200;
        initial.ByteSize = 7;
        initial.Parity = EVENPARITY;
        initial.fParity = TRUE;
        initial.StopBits = TWOSTOPBITS;
        initial.fDtrControl = DTR_CONTROL_ENABLE;
        initial.fRtsControl = RTS_CONTROL_ENABLE;
        initial.fAbortOnError = TRUE;
        return initial;
    }
};

struct ComLine {
    ScriptedComm comm;
    CommApiStandIn standIn{comm};
    SerialDevice device;

    bool open() { return device.open("\\\\.\\COM3"); }
};

TEST(Win32Serial, OpensTheComPortAsARawLineWithTheSettingsMadeBefore) {
    ComLine line;
    line.device.setBaudRate(19200);
    ASSERT_TRUE(line.open());
    EXPECT_EQ(line.comm.openedName, L"\\\\.\\COM3");
    const DCB& state = line.comm.state;
    EXPECT_EQ(state.BaudRate, 19200u);
    EXPECT_EQ(state.ByteSize, 8);
    EXPECT_EQ(state.Parity, NOPARITY);
    EXPECT_FALSE(state.fParity);
    EXPECT_EQ(state.StopBits, ONESTOPBIT);
    EXPECT_TRUE(state.fBinary);
    EXPECT_FALSE(state.fOutX || state.fInX || state.fOutxCtsFlow || state.fOutxDsrFlow);
    EXPECT_EQ(state.fDtrControl, DTR_CONTROL_DISABLE);
    EXPECT_EQ(state.fRtsControl, RTS_CONTROL_DISABLE);
    EXPECT_FALSE(state.fAbortOnError);
    // Reads return at once with what is queued.
    EXPECT_EQ(line.comm.timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(line.comm.timeouts.ReadTotalTimeoutMultiplier, MAXDWORD);
    EXPECT_GT(line.comm.timeouts.WriteTotalTimeoutConstant, 0u);
}

TEST(Win32Serial, EverySettingReachesTheDriver) {
    const std::vector<
        std::pair<std::function<void(SerialDevice&)>, std::function<void(const DCB&)>>>
        cases = {
            {[](SerialDevice& d) { d.setParity(parityOdd); },
             [](const DCB& s) { EXPECT_TRUE(s.fParity && s.Parity == ODDPARITY); }},
            {[](SerialDevice& d) { d.setParity(paritySpace); },
             [](const DCB& s) { EXPECT_TRUE(s.fParity && s.Parity == SPACEPARITY); }},
            {[](SerialDevice& d) { d.setParity(7); },
             [](const DCB& s) { EXPECT_TRUE(!s.fParity && s.Parity == NOPARITY); }},
            {[](SerialDevice& d) { d.setDataBits(7); },
             [](const DCB& s) { EXPECT_EQ(s.ByteSize, 7); }},
            {[](SerialDevice& d) { d.setStopBits(2); },
             [](const DCB& s) { EXPECT_EQ(s.StopBits, TWOSTOPBITS); }},
            {[](SerialDevice& d) { EXPECT_TRUE(d.setBaudRate(38400)); },
             [](const DCB& s) { EXPECT_EQ(s.BaudRate, 38400u); }},
            {[](SerialDevice& d) { d.setXonXoff(true); },
             [](const DCB& s) {
                 EXPECT_TRUE(s.fOutX && s.fInX);
                 EXPECT_EQ(s.XonChar, 0x11);
                 EXPECT_EQ(s.XoffChar, 0x13);
             }},
            {[](SerialDevice& d) { d.setRtsCts(true); },
             [](const DCB& s) {
                 EXPECT_TRUE(s.fOutxCtsFlow);
                 EXPECT_EQ(s.fRtsControl, RTS_CONTROL_HANDSHAKE);
             }},
            {[](SerialDevice& d) { d.setDtrDsr(true); },
             [](const DCB& s) {
                 EXPECT_TRUE(s.fOutxDsrFlow);
                 EXPECT_EQ(s.fDtrControl, DTR_CONTROL_HANDSHAKE);
             }},
        };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        ComLine line;
        ASSERT_TRUE(line.open());
        cases[i].first(line.device);
        cases[i].second(line.comm.state);
    }
}

TEST(Win32Serial, ModemLinesGoThroughEscapesAndDsrIsRead) {
    ComLine line;
    ASSERT_TRUE(line.open());
    line.comm.escapes.clear();
    line.device.setDtr(true);
    line.device.setRts(false);
    EXPECT_EQ(line.comm.escapes, (std::vector<DWORD>{SETDTR, CLRRTS}));
    EXPECT_TRUE(line.device.dtr());
    EXPECT_FALSE(line.device.dsr());
    line.comm.modemStatus = MS_DSR_ON;
    EXPECT_TRUE(line.device.dsr());
}

TEST(Win32Serial, ATimedWaitKeepsTheByteItBroughtForTheNextRead) {
    ComLine line;
    ASSERT_TRUE(line.open());
    line.comm.arrivals = {"V\r\n"};
    EXPECT_TRUE(line.device.waitReadable(300));
    EXPECT_EQ(line.comm.waits, std::vector<DWORD>{300});
    EXPECT_EQ(line.device.inputCount(), 3);
    std::uint8_t bytes[8] = {};
    ASSERT_EQ(line.device.readAvailable(bytes, 8), 3);
    EXPECT_EQ(std::string(bytes, bytes + 3), "V\r\n");
    EXPECT_EQ(line.device.readAvailable(bytes, 8), 0);
    EXPECT_FALSE(line.device.waitReadable(200));

    line.comm.arrivals = {"xy"};
    ASSERT_TRUE(line.device.waitReadable(100));
    line.device.clearRxBuffer();
    EXPECT_EQ(line.device.inputCount(), 0);
    EXPECT_EQ(line.device.readAvailable(bytes, 8), 0);
}

TEST(Win32Serial, BytesSentReachTheLine) {
    ComLine line;
    ASSERT_TRUE(line.open());
    EXPECT_EQ(line.device.writeByte('T'), 0);
    EXPECT_TRUE(line.device.writeText("ATZ\r\n"));
    EXPECT_EQ(line.comm.written, "TATZ\r\n");
    line.device.clearTxBuffer();
    EXPECT_EQ(line.comm.purges.back() & PURGE_TXCLEAR, static_cast<DWORD>(PURGE_TXCLEAR));
}

TEST(Win32Serial, ALineErrorStaysPendingThroughQueueCountsUntilCleared) {
    ComLine line;
    ASSERT_TRUE(line.open());
    line.comm.errorsToReport = CE_FRAME;
    EXPECT_EQ(line.device.inputCount(), 0); // the driver forgets the error once told
    EXPECT_TRUE(line.device.lineErrorPending());
    line.device.clearLineStatus();
    EXPECT_FALSE(line.device.lineErrorPending());
    line.comm.errorsToReport = CE_TXFULL; // not an error of the received bytes
    EXPECT_FALSE(line.device.lineErrorPending());
}

TEST(Win32Serial, ARefusedOpenSaysWhy) {
    ComLine line;
    line.comm.refusal = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(line.open());
    EXPECT_FALSE(line.device.isOpen());
    EXPECT_EQ(line.device.openError(), "\\\\.\\COM3: the device is in use by another program");
    line.comm.refusal = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(line.open());
    EXPECT_EQ(line.device.openError().rfind("\\\\.\\COM3: ", 0), 0u);
    EXPECT_EQ(line.device.openError().find("in use"), std::string::npos);
}

TEST(ComDevices, SystemNamesAreTheFirstFourComPorts) {
    const ComDevices defaults;
    EXPECT_EQ(defaults.pathOf(1), "\\\\.\\COM1");
    EXPECT_EQ(defaults.pathOf(4), "\\\\.\\COM4");
    EXPECT_TRUE(ComDevices::isDevicePath("\\\\.\\COM12"));
    EXPECT_FALSE(ComDevices::isDevicePath("COM5"));
    EXPECT_FALSE(ComDevices::isDevicePath("/dev/ttyS0"));
}

} // namespace
} // namespace veldro
