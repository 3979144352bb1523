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

void list(const std::vector<JournalSummary>& journals) {
    for (const JournalSummary& j : journals)
        std::cout << j.path << '\t' << journalStartText(j.startedAt) << '\t' << j.recordCount
                  << " records" << (j.ended ? "" : ", not ended")
                  << (j.overLimit          ? ", more past the limit"
                      : j.damagedBytes > 0 ? ", damaged"
                                           : "")
                  << '\n';
}

std::string newestPendingJournal() {
    const auto pending = pendingJournals(downloadJournalFolder(), std::time(nullptr));
    if (pending.empty()) throw CommandFailed("No download journal holds unsaved records");
    return pending.front().path;
}

int runRecover(const Arguments& args) {
    if (args.flag("--list")) {
        args.expectOperands(0, 0);
        list(pendingJournals(downloadJournalFolder(), std::time(nullptr)));
        return 0;
    }
    args.expectOperands(0, 1);
    const std::string output = requireOutput(args);
    const JournalContents journal =
        readJournal(args.operands().empty() ? newestPendingJournal() : args.operand(0, "JOURNAL"));
    if (const std::string damage = damageReport(journal); !damage.empty())
        std::cerr << damage << '\n';
    const RestoredDataSets dataSets = restoredDataSets(journal);
    dataSets.first->saveToFile(output);
    const std::string second = dataSets.second ? saveSecondFile(*dataSets.second, output) : "";
    std::cerr << journal.records.size() << " records saved";
    if (second.empty())
        std::cerr << " to " << output << '\n';
    else
        std::cerr << ": " << dataSets.first->count() << " to " << output << ", "
                  << dataSets.second->count() << " to " << second << '\n';
    // Only a journal whose every record reached a file is done, and goes after its time.
    if (journal.overLimit)
        throw CommandFailed("The journal " + journal.path + " is not marked done");
    try {
        markJournalDone(journal.path, JournalEnd::Saved);
    } catch (const std::exception& e) {
        // The records are in their files all the same.
        std::cerr << e.what() << "\nThe journal is not marked done: it is offered again\n";
    }
    return 0;
}

const Registration recover{
    {"recover", "[JOURNAL] -o OUT.vlf | --list",
     "Saves the records of a download journal (the newest whose records reached no file unless "
     "one is named), those past a data set's 64000 in OUT-2.vlf; --list lists those journals: "
     "file, start, records.",
     runRecover}};

} // namespace
