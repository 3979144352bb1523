#include "app/kept_history.h"

#include <utility>

namespace veldro {

namespace {

KeptHistory::States swapTop(std::vector<KeptHistory::States>& from,
                            std::vector<KeptHistory::States>& to, KeptHistory::States current) {
    KeptHistory::States target = std::move(from.back());
    from.pop_back();
    to.push_back(std::move(current));
    return target;
}

} // namespace

void KeptHistory::clear() {
    undo_.clear();
    redo_.clear();
}

void KeptHistory::changed(States before) {
    undo_.push_back(std::move(before));
    redo_.clear();
}

KeptHistory::States KeptHistory::undo(States current) {
    return swapTop(undo_, redo_, std::move(current));
}

KeptHistory::States KeptHistory::redo(States current) {
    return swapTop(redo_, undo_, std::move(current));
}

} // namespace veldro
