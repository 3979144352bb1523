#pragma once

#include "link/d2xx.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace veldro {

// A converter that exists only in memory: what the computer sets and writes
// is recorded, what the instrument sends is delivered by the caller (from any
// thread). Lets everything above the D2XX layer run without hardware.
class SimulatedD2xx : public D2xx {
public:
    struct Converter {
        std::string description = "Veldro USB";
        std::deque<std::uint8_t> toComputer;
        std::string fromComputer;
        bool open = false;
        std::uint32_t baudRate = 0;
        std::uint32_t readTimeoutMs = 0;
        std::uint32_t writeTimeoutMs = 0;
        std::uint8_t wordLength = 8;
        std::uint8_t stopBits = 0;
        std::uint8_t parity = 0;
        std::uint16_t flowMode = ftFlowNone;
        std::uint8_t xon = 0;
        std::uint8_t xoff = 0;
        bool dtr = false;
        bool rts = false;
        bool dsr = false;
        bool attached = true;
    };

    // Plugs a converter in; the index that names it in the calls below. It is
    // listed (and opened by its list position) after those still attached.
    int attach();
    // Unplugs converter `index`: it leaves the listing, its handle stops
    // working (a read waiting on it ends at once) and what it held is lost.
    void detach(int index);
    // The instrument sends `bytes` through converter `index`; nothing arrives
    // through one that is unplugged.
    void deliver(int index, const std::string& bytes);
    // A copy of converter `index` as it is now.
    Converter converter(int index) const;
    void setDsr(int index, bool on);
    // Every call on a handle and every open, in order ("open 0", "close 0", ...).
    std::vector<std::string> calls() const;
    void failListing(bool fail);

    VELDRO_D2XX_OPERATIONS

private:
    // The open converter behind `handle`, or null.
    Converter* find(FtHandle handle);
    // The attached converters, in the order they are listed.
    std::vector<Converter*> listed();
    // Runs `change` on the converter of an open handle, logging the call.
    template <typename Change> FtStatus onHandle(FtHandle handle, const char* name, Change change);

    mutable std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Converter> converters;
    std::map<FtHandle, int> handles;
    FtHandle nextHandle = 1;
    bool listingFails = false;
    std::vector<std::string> log;
};

} // namespace veldro
