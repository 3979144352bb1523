// What the fuzz targets share: the entry point libFuzzer calls, a check that
// stops the run with the broken rule, and a scratch file for the readers that
// take a file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace veldro::fuzz {

inline std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A rule the code under test broke: said, then the run stops as on a crash.
inline void require(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
}

// A file of this process's own, in memory where the system offers it, whose
// name ends with `suffix`: it holds the input. Removed when the process ends.
inline std::string scratchFile(std::string_view bytes, const std::string& suffix) {
    static const std::string stem =
        std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/veldro-fuzz-" +
        std::to_string(::getpid());
    static std::string last;
    if (last.empty()) std::atexit([] { std::remove(last.c_str()); });
    if (!last.empty() && last != stem + suffix) std::remove(last.c_str());
    const std::string path = last = stem + suffix;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    require(file != nullptr, "the scratch file can be written");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

} // namespace veldro::fuzz
