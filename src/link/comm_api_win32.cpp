#include "link/comm_api_win32.h"

namespace veldro {

namespace {

class SystemCommApi : public CommApi {
public:
    HANDLE createFile(const std::wstring& name) override {
        return CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }
    BOOL closeHandle(HANDLE handle) override { return CloseHandle(handle); }
    BOOL getCommState(HANDLE handle, DCB& state) override { return GetCommState(handle, &state); }
    BOOL setCommState(HANDLE handle, const DCB& state) override {
        DCB copy = state;
        return SetCommState(handle, &copy);
    }
    BOOL setCommTimeouts(HANDLE handle, const COMMTIMEOUTS& timeouts) override {
        COMMTIMEOUTS copy = timeouts;
        return SetCommTimeouts(handle, &copy);
    }
    BOOL escapeCommFunction(HANDLE handle, DWORD function) override {
        return EscapeCommFunction(handle, function);
    }
    BOOL getCommModemStatus(HANDLE handle, DWORD& status) override {
        return GetCommModemStatus(handle, &status);
    }
    BOOL clearCommError(HANDLE handle, DWORD& errors, COMSTAT& status) override {
        return ClearCommError(handle, &errors, &status);
    }
    BOOL purgeComm(HANDLE handle, DWORD flags) override { return PurgeComm(handle, flags); }
    BOOL readFile(HANDLE handle, void* buffer, DWORD count, DWORD& got) override {
        return ReadFile(handle, buffer, count, &got, nullptr);
    }
    BOOL writeFile(HANDLE handle, const void* buffer, DWORD count, DWORD& written) override {
        return WriteFile(handle, buffer, count, &written, nullptr);
    }
    DWORD lastError() override { return GetLastError(); }
};

SystemCommApi systemApi;
CommApi* current = &systemApi;

} // namespace

CommApi& commApi() {
    return *current;
}

CommApiStandIn::CommApiStandIn(CommApi& standIn) : previous(current) {
    current = &standIn;
}

CommApiStandIn::~CommApiStandIn() {
    current = previous;
}

} // namespace veldro
