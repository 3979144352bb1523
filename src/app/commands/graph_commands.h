#pragma once

#include "app/command_group.h"
#include "interpretation/ui/inversion_dialog.h"

#include <functional>
#include <string_view>

namespace veldro {

class GraphSink;
struct Message;

// The chart windows' callers: "View Fraser" and a click on the header of a
// column with the chart mark (the graph window), "Karous-Hjelt section",
// "Fraser map", "Model...", "2D inversion..." and "1D inversion".
class GraphCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit GraphCommands(CommandContext& context);

    void ViewFraser1Click();                       // "View Fraser"
    void TabMesureCLstViewColumnClick(int column); // the table column whose header was clicked
    void showKarousHjeltSection();                 // "Karous-Hjelt section"
    void showFraserMap();                          // "Fraser map"
    void showModel();                              // "Model...", with or without data
    void showInversion();                          // "2D inversion..."
    void showLayeredInversion();                   // "1D inversion"

private:
    // Fills a graph window under the hourglass and shows it when `fill` says
    // it is worth showing. A failure while filling drops the window unshown,
    // without a message.
    void showGraph(const QString& axisTitle, std::string_view imageName,
                   const std::function<bool(GraphSink&)>& fill);
    // "Karous-Hjelt section" and "Fraser map": says `nothing` when there is.
    template <class Frame, class Compute>
    void showInterpretation(Compute compute, std::string_view imageName, const Message& nothing);

    // What "2D inversion..." was last asked, for the run of the program.
    InversionChoices inversionChoices_;
};

} // namespace veldro
