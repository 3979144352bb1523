#include "interpretation/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace veldro {

void parallelFor(std::size_t count, unsigned threads,
                 const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next = 0;
    const auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    std::vector<std::thread> pool;
    const std::size_t used = std::min<std::size_t>(std::max(threads, 1u), count);
    for (std::size_t t = 1; t < used; ++t) pool.emplace_back(run);
    run();
    for (std::thread& thread : pool) thread.join();
}

} // namespace veldro
