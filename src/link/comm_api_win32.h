#pragma once

#include <string>
#include <windows.h>

namespace veldro {

// The calls of the Windows communications API that the serial device makes,
// one to one, so that a test can put a scripted line in the system's place.
class CommApi {
public:
    virtual ~CommApi() = default;

    // CreateFileW for reading and writing, shared with no one, on an existing device.
    virtual HANDLE createFile(const std::wstring& name) = 0;
    virtual BOOL closeHandle(HANDLE handle) = 0;
    virtual BOOL getCommState(HANDLE handle, DCB& state) = 0;
    virtual BOOL setCommState(HANDLE handle, const DCB& state) = 0;
    virtual BOOL setCommTimeouts(HANDLE handle, const COMMTIMEOUTS& timeouts) = 0;
    virtual BOOL escapeCommFunction(HANDLE handle, DWORD function) = 0;
    virtual BOOL getCommModemStatus(HANDLE handle, DWORD& status) = 0;
    virtual BOOL clearCommError(HANDLE handle, DWORD& errors, COMSTAT& status) = 0;
    virtual BOOL purgeComm(HANDLE handle, DWORD flags) = 0;
    virtual BOOL readFile(HANDLE handle, void* buffer, DWORD count, DWORD& got) = 0;
    virtual BOOL writeFile(HANDLE handle, const void* buffer, DWORD count, DWORD& written) = 0;
    virtual DWORD lastError() = 0;
};

// The API serial devices opened from now on use: the system's own, or the
// stand-in a test put in its place.
CommApi& commApi();

// Puts `standIn` in the system's place for as long as it lives.
class CommApiStandIn {
public:
    explicit CommApiStandIn(CommApi& standIn);
    ~CommApiStandIn();
    CommApiStandIn(const CommApiStandIn&) = delete;
    CommApiStandIn& operator=(const CommApiStandIn&) = delete;

private:
    CommApi* previous;
};

} // namespace veldro
