#pragma once

#include "interpretation/profile_data.h"

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

namespace veldro {

class InversionPicture;

// The data a click on an inversion picture's fit charts stands for: an
// observed point (one quantity at one station and frequency) or, on the
// misfit per station, all of that station's.
struct PickedData {
    std::vector<std::size_t> data; // indices into ProfileData::data
    QString name;                  // "Tilt.ver(%) 23400 Hz at station 50.0"
};

// What lies under `scenePosition` on `picture`, which draws `data`.
std::optional<PickedData> pickedAt(const InversionPicture& picture, const ProfileData& data,
                                   QPointF scenePosition);

// Over them: which point a click toggles, and which way.
QString pickTip(const ProfileData& data, const PickedData& picked);

// Keeps them out of the fit, or fits them again when all were kept out, as
// a click does; says which for the status line.
QString togglePicked(ProfileData& data, const PickedData& picked);

} // namespace veldro
