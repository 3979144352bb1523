#pragma once

#include "export/export_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace veldro {

class MeasurementStore;
class Progress;
struct RowList;

// The report's working files in the current folder: the blocks as built in the
// exportBuffer, and the finished report the viewer opens.
inline constexpr const char* kReportBlocksFileName = "temporary.txt";
inline constexpr const char* kFinishedReportFileName = "bt_temp.txt";

// The formatted report: one block of labelled values per kept row, in table
// order, of the visible quantities. Leaves the blocks in the store's
// exportBuffer (the text of kReportBlocksFileName) and returns the comment as
// the first entry followed by the blocks' lines. The progress, if any, moves
// with every row.
std::vector<std::string> writeReport(MeasurementStore& store, const RowList& rows,
                                     const VisibleColumns& visible, Progress* progress = nullptr);

// The finished report's bytes: the path line (UTF-8, written in Windows-1252)
// then every entry, each ended by CR LF; line breaks inside an entry (the
// comment's) become CR LF too.
std::string finishedReport(std::string_view pathLine, const std::vector<std::string>& lines);

} // namespace veldro
