#pragma once

#include <vector>

namespace veldro {

class MeasurementStore;
class MessageSink;
class Progress;
struct RowList;

// The record side of the row commands. Row i is store record i; the rows are
// what the table shows, the records' `ignored` fields what a save writes.

// "Keep" / "Ignore": sets the rows and their records. Rows outside the list are
// passed over.
void setRowsKept(MeasurementStore& store, RowList& rows, const std::vector<int>& selected,
                 bool kept);

// The double-click toggle: inverts each selected row and its record.
void toggleRows(MeasurementStore& store, RowList& rows, const std::vector<int>& selected);

// "Ignore overload data": brings the records into line with the rows, ignores
// every kept row with an overloaded channel, writes the image and rebuilds the
// rows from the records. Returns the number of rows it ignored.
int ignoreOverloadData(MeasurementStore& store, RowList& rows, Progress* progress = nullptr);

// "Delete ignored data", after the user said Yes (the window copies the row
// flags into the records before it asks, with copyRowFlagsToStore): keeps the
// kept records only, reloads them and numbers the rows from 1 again.
void deleteIgnoredData(MeasurementStore& store, RowList& rows, MessageSink& messages,
                       Progress* progress = nullptr);

// Ends a command that changed records' flags: the image takes every record and
// the rows are rebuilt from the records.
void commitRecordFlags(MeasurementStore& store, RowList& rows, Progress* progress = nullptr);

} // namespace veldro
