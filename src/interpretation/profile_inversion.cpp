#include "interpretation/profile_inversion.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace veldro {

std::vector<ProfileInversion>
invertEachProfile(const std::vector<ProfileData>& profiles, const InversionOptions& options,
                  unsigned threads, bool withFit,
                  const std::function<bool(std::size_t, const InversionStep&)>& progress,
                  const std::function<void(std::size_t, double)>& started) {
    std::vector<ProfileInversion> inversions(profiles.size());
    std::atomic<std::size_t> next = 0;
    std::atomic<bool> cancelled = false;
    const auto work = [&] {
        for (std::size_t i = next++; i < profiles.size(); i = next++) {
            ProfileInversion& inversion = inversions[i];
            // A cancelled run ends with the iterations under way.
            if (cancelled) {
                inversion.result.cancelled = true;
                continue;
            }
            try {
                inversion.result = invertProfile(
                    profiles[i], options,
                    [&](const InversionStep& step) {
                        if (!progress || progress(i, step)) return true;
                        cancelled = true;
                        return false;
                    },
                    [&](double rms) {
                        if (started) started(i, rms);
                    });
                if (withFit)
                    inversion.fit =
                        inversionFit(profiles[i], inversion.result, options.startResistivity);
            } catch (const std::exception& e) {
                inversion.result = {};
                inversion.failure = e.what();
            }
        }
    };
    std::vector<std::thread> pool;
    const std::size_t count = std::min<std::size_t>(std::max(threads, 1u), profiles.size());
    for (std::size_t t = 1; t < count; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    return inversions;
}

} // namespace veldro
