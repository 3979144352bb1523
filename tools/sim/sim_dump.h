#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace veldro::sim {

class InstrumentLine;

// A record as the instrument sends it: header letter and text, without line ends.
struct OutgoingRecord {
    char header = 'V';
    std::string text;
};

// What goes wrong with one record, on demand.
enum class Fault {
    Undecodable,      // letters in the profile column
    MissingCr,        // the header letter followed by LF alone
    MissingLf,        // the header letter followed by CR alone
    ShortText,        // half the text, then nothing
    UnexpectedLetter, // 'X' where the record's header letter belongs, then nothing
};

struct DumpPlan {
    std::vector<OutgoingRecord> records;
    std::map<int, Fault> faults; // by record number, counted from 1
    bool sendStart = true;       // false: the user never starts the dump
    bool sendEnd = true;         // false: no 'E' after the last record
    int silenceAfter = -1;       // record number after whose 'T' the line goes quiet
    int silenceMs = 3000;
    int hangUpAfter = -1; // record number after whose 'T' the line drops; 0 after the opening
};

struct DumpResult {
    bool openingAcknowledged = false;
    int sent = 0;
    int acknowledged = 0;
    // From the answered opening to the end letter taken: the time, and the
    // bytes both ways, to compare with the wire time.
    double dialogueMs = 0;
    long wireBytes = 0;
    bool everyRecordAcknowledged() const { return openingAcknowledged && acknowledged == sent; }
};

// Plays the instrument's side of a dump and logs every byte sent ("->") and
// received ("<-") on `log`, a line each.
DumpResult playDump(InstrumentLine& line, const DumpPlan& plan, std::ostream& log);

} // namespace veldro::sim
