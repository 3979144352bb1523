#pragma once

#include <string>

namespace veldro {

// The file name of a path, after its last folder separator ('/', and on
// Windows '\' too).
std::string fileNamePart(const std::string& path);
std::string directoryPart(const std::string& path);

// Cuts the extension of the file name only (never a folder's): "a/line1.txt"
// gives "a/line1", "data.old/line1" stays. A name whose only dot leads it keeps
// its whole text.
std::string withoutExtension(const std::string& path);

// The name a data file is saved under: the extension replaced by ".vlf".
std::string dataFileNameFor(const std::string& chosen);

// The positions file that goes with a data file: "a/line1.positions.csv"
// for "a/line1.vlf".
std::string positionsFileNameFor(const std::string& dataFile);

// The file name's extension, from its last dot on (".txt"); empty without one.
std::string fileExtension(const std::string& path);
// Whether the file name's extension contains "VLF" in any case.
bool hasDataFileExtension(const std::string& path);

// The file of one split group: "Profile 12_INC_37.vlf" in `directory`.
std::string splitGroupFileName(const std::string& directory, int profile, bool resistivityMode,
                               int firstIndex);

} // namespace veldro
