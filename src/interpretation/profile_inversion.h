#pragma once

#include "interpretation/inversion_fit.h"
#include "interpretation/occam_inversion.h"

#include <functional>
#include <string>
#include <vector>

namespace veldro {

// One profile's inversion, kept whatever befell the others.
struct ProfileInversion {
    InversionResult result; // no cells when it failed, or a cancel came before it began
    InversionFit fit;       // when asked for, of a profile inverted
    std::string failure;    // why it was not inverted; empty when it was
};

// Inverts each profile as invertProfile does (and works out its depth of
// investigation when the options ask for it), one per thread on up to
// `threads` threads, with the fit of its section when `withFit`. A profile
// that cannot be inverted (or its section fitted) keeps the reason, and the
// others their sections. progress is told which profile (its index in
// `profiles`) and must be safe to call from several threads at once; once it
// has said false, the profiles not begun are cancelled and hold no cells.
// started, likewise, is told each profile's starting RMS (InversionStarted).
std::vector<ProfileInversion>
invertEachProfile(const std::vector<ProfileData>& profiles, const InversionOptions& options,
                  unsigned threads, bool withFit,
                  const std::function<bool(std::size_t, const InversionStep&)>& progress = {},
                  const std::function<void(std::size_t, double)>& started = {});

} // namespace veldro
