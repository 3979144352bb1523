#pragma once

#include <QString>
#include <optional>

namespace veldro {

// The link picture (see icons::linkPicture) of a link choice: COM 1 to COM 4
// have their own, USB is crossed out without an attached converter; any other
// choice has none.
std::optional<int> linkPictureIndex(int portNumber, bool converterAttached);

// The instrument software's USB link checker beside the program, started on
// its own with a single blank as argument. Throws with the user's message
// when it is not there.
void startLinkTest(const QString& programFolder);

} // namespace veldro
