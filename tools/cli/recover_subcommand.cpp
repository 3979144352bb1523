// veldro-cli recover: the records of a download journal into a .vlf file, or
// the list of the journals whose records reached no file.
#include "cli.h"
#include "data/file_io.h"
#include "data/measurement_store.h"
#include "link/download_journal.h"

#include <iostream>

using namespace veldro;
using namespace veldro::cli;

namespace {

void list(const std::vector<JournalContents>& journals) {
    for (const JournalContents& j : journals)
        std::cout << j.path << '\t' << journalStartText(j.startedAt) << '\t' << j.records.size()
                  << " records" << (j.ended ? "" : ", not ended")
                  << (j.damagedBytes > 0 ? ", damaged" : "") << '\n';
}

int runRecover(const Arguments& args) {
    const auto pending = pendingJournals(downloadJournalFolder(), std::time(nullptr));
    if (args.flag("--list")) {
        args.expectOperands(0, 0);
        list(pending);
        return 0;
    }
    args.expectOperands(0, 1);
    const std::string output = requireOutput(args);
    JournalContents journal;
    if (!args.operands().empty()) {
        journal = readJournal(args.operand(0, "JOURNAL"));
    } else if (!pending.empty()) {
        journal = pending.front();
    } else {
        throw CommandFailed("No download journal holds unsaved records");
    }
    if (const std::string damage = damageReport(journal); !damage.empty())
        std::cerr << damage << '\n';
    restoredStore(journal)->saveToFile(output);
    // Its records reached a file: the journal is done and goes after its time.
    markJournalDone(journal.path, JournalEnd::Saved);
    std::cerr << journal.records.size() << " records saved to " << output << '\n';
    return 0;
}

const Registration recover{
    {"recover", "[JOURNAL] -o OUT.vlf | --list",
     "Saves the records of a download journal (the newest whose records reached no file unless "
     "one is named); --list lists those journals: file, start, records.",
     runRecover}};

} // namespace
