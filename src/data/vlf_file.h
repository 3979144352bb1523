#pragma once

#include <memory>
#include <string>

namespace veldro {

class MeasurementStore;
class MessageSink;
struct Message;

// The scratch file rewritten after every open, import and add, in the current folder.
inline constexpr const char* kScratchFileName = "veldrotmp.vlf";

// "Unable to open file\n" and the name, caption "Error".
Message unableToOpenFile(const std::string& path);

enum class DataFileStatus { Opened, WrongExtension, Missing };

struct DataFileRead {
    DataFileStatus status = DataFileStatus::Opened;
    std::unique_ptr<MeasurementStore> store; // only when Opened
};

// Reads a .vlf file into a new store and loads it. A wrong extension says
// nothing; a missing file says "Unable to open file". Throws FileError when the
// file exists but cannot be read. Only the bytes that can matter are read, so a
// huge file costs no more than a full one.
DataFileRead readDataFile(const std::string& path, MessageSink& messages);

// "Add...": appends the records of another .vlf file (its comment block is not
// used) to the whole current data set, and reloads. Same statuses as reading.
DataFileStatus addDataFile(MeasurementStore& store, const std::string& path, MessageSink& messages);

// Writes every record to the scratch file in the current folder, never through
// a link planted there. Throws FileError when the name cannot be replaced.
void writeScratchFile(MeasurementStore& store);

} // namespace veldro
