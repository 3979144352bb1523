#pragma once

#include <vector>

namespace veldro {

// "Undo" and "Redo" of the kept states: the states the keep/ignore commands,
// the overload and range filters and frequency rejection left behind, back to
// the one the data set was loaded in. A state is small (a flag a record), so
// each step keeps the whole state rather than what changed.
class KeptHistory {
public:
    using States = std::vector<bool>; // by record: kept

    // The data set was replaced or lost records: no way back from here.
    void clear();
    // A command changed the kept states, which were `before`; what was undone
    // can no longer be redone.
    void changed(States before);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // The states to go back (or forth) to; `current` is kept for the way back.
    States undo(States current);
    States redo(States current);

private:
    std::vector<States> undo_, redo_;
};

} // namespace veldro
