#pragma once

#include "export/export_text.h"

#include <string>
#include <string_view>

namespace veldro {

class MeasurementStore;
class Progress;
struct RowList;

// The report's working files in the current folder: the blocks as built in the
// exportBuffer, and the finished report the viewer opens.
inline constexpr const char* kReportBlocksFileName = "temporary.txt";
inline constexpr const char* kFinishedReportFileName = "bt_temp.txt";

// The formatted report: one block of labelled values per kept row, in table
// order, of the visible quantities. Empties the store's exportBuffer and
// writes the blocks into it (the text of kReportBlocksFileName). The
// progress, if any, moves with every row.
void writeReport(MeasurementStore& store, const RowList& rows, const VisibleColumns& visible,
                 Progress* progress = nullptr);

// The finished report after writeReport: the path line (UTF-8, written in
// Windows-1252), the comment and the blocks, each line ended by CR LF; the
// comment's own line breaks become CR LF too.
std::string finishedReport(std::string_view pathLine, const MeasurementStore& store);

} // namespace veldro
