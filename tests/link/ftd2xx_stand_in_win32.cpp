// A stand-in for the vendor's ftd2xx.dll with the same entry points: one
// converter whose line is looped back (what is written comes back to be
// read) and DSR high. StandInCalls() gives the calls made, one a line, with
// their arguments as they crossed the library's boundary.
#include <cstring>
#include <deque>
#include <string>
#include <windows.h>

#define STAND_IN extern "C" __declspec(dllexport)

namespace {

using Handle = void*;
using Status = ULONG;

constexpr Status ok = 0;
constexpr Status invalidHandle = 1;
constexpr Status deviceNotFound = 2;
Handle const theConverter = reinterpret_cast<Handle>(0x5e1d);

std::deque<unsigned char> looped;
HANDLE arrival = nullptr;
std::string calls;

Status note(const std::string& call) {
    calls += call + "\n";
    return ok;
}

} // namespace

STAND_IN const char* WINAPI StandInCalls() {
    return calls.c_str();
}

STAND_IN Status WINAPI FT_ListDevices(void* first, void* second, DWORD flags) {
    if (flags == 0x80000000) {
        *static_cast<DWORD*>(first) = 1;
        return ok;
    }
    if (flags != 0x20000002) return deviceNotFound;
    std::strcpy(static_cast<char**>(first)[0], "Stand-in converter");
    *static_cast<DWORD*>(second) = 1;
    return ok;
}

STAND_IN Status WINAPI FT_Open(int index, Handle* handle) {
    note("FT_Open " + std::to_string(index));
    if (index != 0) return deviceNotFound;
    *handle = theConverter;
    return ok;
}

STAND_IN Status WINAPI FT_Close(Handle handle) {
    note("FT_Close");
    return handle == theConverter ? ok : invalidHandle;
}

STAND_IN Status WINAPI FT_Read(Handle, void* buffer, DWORD count, DWORD* got) {
    *got = 0;
    for (; *got < count && !looped.empty(); ++*got) {
        static_cast<unsigned char*>(buffer)[*got] = looped.front();
        looped.pop_front();
    }
    return ok;
}

STAND_IN Status WINAPI FT_Write(Handle, void* buffer, DWORD count, DWORD* written) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    looped.insert(looped.end(), bytes, bytes + count);
    *written = count;
    if (arrival) SetEvent(arrival);
    return ok;
}

STAND_IN Status WINAPI FT_SetBaudRate(Handle, ULONG speed) {
    return note("FT_SetBaudRate " + std::to_string(speed));
}

STAND_IN Status WINAPI FT_SetDataCharacteristics(Handle, UCHAR length, UCHAR stop, UCHAR parity) {
    return note("FT_SetDataCharacteristics " + std::to_string(length) + " " + std::to_string(stop) +
                " " + std::to_string(parity));
}

STAND_IN Status WINAPI FT_SetFlowControl(Handle, USHORT mode, UCHAR xon, UCHAR xoff) {
    return note("FT_SetFlowControl " + std::to_string(mode) + " " + std::to_string(xon) + " " +
                std::to_string(xoff));
}

STAND_IN Status WINAPI FT_SetDtr(Handle) {
    return note("FT_SetDtr");
}

STAND_IN Status WINAPI FT_ClrDtr(Handle) {
    return note("FT_ClrDtr");
}

STAND_IN Status WINAPI FT_SetRts(Handle) {
    return note("FT_SetRts");
}

STAND_IN Status WINAPI FT_ClrRts(Handle) {
    return note("FT_ClrRts");
}

STAND_IN Status WINAPI FT_GetModemStatus(Handle, ULONG* status) {
    *status = 0x20;
    return ok;
}

STAND_IN Status WINAPI FT_SetTimeouts(Handle, ULONG readMs, ULONG writeMs) {
    return note("FT_SetTimeouts " + std::to_string(readMs) + " " + std::to_string(writeMs));
}

STAND_IN Status WINAPI FT_Purge(Handle, ULONG mask) {
    note("FT_Purge " + std::to_string(mask));
    if ((mask & 1) != 0) looped.clear();
    return ok;
}

STAND_IN Status WINAPI FT_GetQueueStatus(Handle, DWORD* count) {
    *count = static_cast<DWORD>(looped.size());
    return ok;
}

STAND_IN Status WINAPI FT_GetStatus(Handle, DWORD* rx, DWORD* tx, DWORD* events) {
    *rx = static_cast<DWORD>(looped.size());
    *tx = 0;
    *events = 0;
    return ok;
}

STAND_IN Status WINAPI FT_SetEventNotification(Handle, DWORD mask, void* event) {
    note("FT_SetEventNotification " + std::to_string(mask));
    arrival = static_cast<HANDLE>(event);
    return ok;
}
