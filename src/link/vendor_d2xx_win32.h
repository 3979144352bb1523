#pragma once

#include "link/d2xx.h"

#include <map>
#include <memory>
#include <string>
#include <windows.h>

namespace veldro {

// The converters through the vendor's D2XX library, loaded when the object is
// made. Without the library, or with one that lacks a call, no converter is
// listed and unavailableReason() says why.
class VendorD2xx : public D2xx {
public:
    // `library`: a file name the system searches for, or a path.
    explicit VendorD2xx(const std::string& library);
    ~VendorD2xx() override;
    VendorD2xx(const VendorD2xx&) = delete;
    VendorD2xx& operator=(const VendorD2xx&) = delete;

    VELDRO_D2XX_OPERATIONS
    std::string unavailableReason() const override { return unavailable; }

private:
    // The library's entry points, all found, or none.
    struct Calls;

    HMODULE module = nullptr;
    std::unique_ptr<Calls> calls;
    std::string unavailable;
    // Per open handle, the event the library signals when a byte arrives.
    std::map<FtHandle, HANDLE> arrivals;
};

} // namespace veldro
