#pragma once

// The positions file: the stations' coordinates and heights, kept beside a
// data file as NAME.positions.csv since the .vlf format has no room for them.
//
// Comma-separated text, UTF-8 (a leading byte order mark is passed over),
// lines ending in LF, CR LF or CR; blank lines are passed over. The first
// line that is not blank is the header: it names the columns profile,
// station, easting, northing and elevation, each once, in any order and any
// case; other columns are ignored. Every row has as many fields as the
// header. A field may be quoted ("...", with "" for a quote inside) but holds
// no line break; blanks around fields are ignored.
// Each row after it places one station:
// - profile and station: whole numbers from -32768 to 32767, as the records
//   have them; one row per profile and station;
// - easting and northing: metres from -100000000 to 100000000, '.' before
//   decimals (1e3 is read too); both given, or both empty when only heights
//   are known;
// - elevation: metres from -20000 to 20000, or empty when only the map
//   position is known; a row gives a map position, an elevation, or both.
// At most 64000 rows (no data set has more stations) and 16 MiB. A file with
// a bad row is not read at all: each bad row is named with its line number.

#include "data/station_positions.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veldro {

inline constexpr std::size_t kLargestPositionsFile = std::size_t{16} << 20;

// A positions file that was read but refused: its problems, each
// "line N: reason"; the text names the file and lists the first of them.
class PositionsFileError : public std::runtime_error {
public:
    PositionsFileError(const std::string& name, std::vector<std::string> problems);
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::vector<std::string> problems_;
};

// The positions of a file's text; `name` is what messages call the file.
// Throws PositionsFileError.
StationPositions readPositions(std::string_view text, const std::string& name);
// Throws FileError when the file cannot be read, PositionsFileError when it
// is refused.
StationPositions readPositionsFile(const std::string& path);
// The positions file beside a data file, when a regular file is there
// (positionsFileNameFor); nothing otherwise. Throws as readPositionsFile.
std::optional<StationPositions> readPositionsBeside(const std::string& dataFile);

// The text of a positions file: the header, then one row per position with
// '.' before decimals and as many digits as read back the same number.
std::string positionsFileText(const StationPositions& positions);

} // namespace veldro
