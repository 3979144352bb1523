#include "interpretation/profile_inversion.h"

#include "interpretation/depth_of_investigation.h"
#include "interpretation/parallel_for.h"

#include <atomic>
#include <exception>

namespace veldro {

std::vector<ProfileInversion>
invertEachProfile(const std::vector<ProfileData>& profiles, const InversionOptions& options,
                  unsigned threads, bool withFit,
                  const std::function<bool(std::size_t, const InversionStep&)>& progress,
                  const std::function<void(std::size_t, double)>& started) {
    std::vector<ProfileInversion> inversions(profiles.size());
    std::atomic<bool> cancelled = false;
    parallelFor(profiles.size(), threads, [&](std::size_t i) {
        ProfileInversion& inversion = inversions[i];
        // A cancelled run ends with the iterations under way.
        if (cancelled) {
            inversion.result.cancelled = true;
            return;
        }
        const auto told = [&](const InversionStep& step) {
            if (!progress || progress(i, step)) return true;
            cancelled = true;
            return false;
        };
        try {
            inversion.result = invertProfile(profiles[i], options, told, [&](double rms) {
                if (started) started(i, rms);
            });
            // A cancelled depth of investigation leaves none: half of one would mislead.
            if (options.depthOfInvestigation && !inversion.result.cancelled)
                inversion.result.depthOfInvestigation =
                    depthOfInvestigation(profiles[i], options, told).index;
            if (withFit)
                inversion.fit =
                    inversionFit(profiles[i], inversion.result, options.startResistivity);
        } catch (const std::exception& e) {
            inversion.result = {};
            inversion.failure = e.what();
        }
    });
    return inversions;
}

} // namespace veldro
