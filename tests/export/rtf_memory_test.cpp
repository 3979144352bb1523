// What reading rich text costs in memory, counted by replacing the global
// allocation functions of this test program: every allocation carries its size.
#include "export/rtf.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {

std::atomic<std::size_t> liveBytes{0}, peakBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t live = liveBytes += size;
    for (std::size_t peak = peakBytes;
         live > peak && !peakBytes.compare_exchange_weak(peak, live);) {
    }
    return block + kHeader;
}

void release(void* pointer) noexcept {
    if (!pointer) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

// The most the heap held above what it held at the start of `work`.
template <class Work> std::size_t peakGrowth(Work work) {
    const std::size_t before = liveBytes;
    peakBytes = before;
    work();
    return peakBytes - before;
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* pointer) noexcept {
    release(pointer);
}
void operator delete[](void* pointer) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    release(pointer);
}

// A file that switches style every few bytes, under a long font name or
// through ever new sizes, costs at most eight times its size.
TEST(RtfReader, MemoryStaysWithinEightTimesTheFileSize) {
    std::string longFont = "{\\rtf1{\\fonttbl{\\f0 " + std::string(16000, 'F') + ";}}\\f0 ";
    for (int i = 0; i < 20000; ++i) longFont += "\\b a\\b0 a";
    std::string manySizes = "{\\rtf1 ";
    for (int i = 1; i <= 3276; ++i)
        for (const char* word : {"\\b ", "\\i ", "\\ul ", "\\b0 "})
            manySizes += "\\fs" + std::to_string(i) + word + "a";
    for (const std::string& rtf : {longFont, manySizes}) {
        const std::size_t used = peakGrowth([&] { EXPECT_FALSE(veldro::readRtf(rtf).empty()); });
        EXPECT_LT(used, 8 * rtf.size()) << rtf.substr(0, 40);
    }
}
