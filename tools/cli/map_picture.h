#pragma once

// What `map` draws as a picture: the gridded plan map, from core types only,
// so that the map commands build without the window too.
#include "cli.h"
#include "maps/map_features.h"
#include "maps/plan_grid.h"

#include <optional>
#include <string>
#include <utility>

namespace veldro::cli {

struct MapPicture {
    std::string title; // "Fraser map, frequency number 1"
    bool logarithmic = false;
    std::optional<std::pair<double, double>> fixedRange; // the colours' ends, when fixed
    PlanGrid grid;
    MapFeatures features; // its value name the colour bar's title
};

// Whether `output` names a picture (.png, .svg or .pdf).
bool isPictureName(const std::string& output);
// Draws the map into the picture -o names (--width, --height as for plot).
// Fails in a build without the window, which cannot draw.
void writeMapPicture(const Arguments& args, const MapPicture& picture);

} // namespace veldro::cli
