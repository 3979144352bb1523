#pragma once

#include "app/command_group.h"

#include <functional>
#include <string_view>

namespace veldro {

class GraphSink;

// The graph window's two callers: "View Fraser" and a click on the header of
// a column with the chart mark.
class GraphCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit GraphCommands(CommandContext& context);

    void ViewFraser1Click();                       // "View Fraser"
    void TabMesureCLstViewColumnClick(int column); // the table column whose header was clicked

private:
    // Fills a graph window under the hourglass and shows it when `fill` says
    // it is worth showing. A failure while filling drops the window unshown,
    // without a message.
    void showGraph(const QString& axisTitle, std::string_view imageName,
                   const std::function<bool(GraphSink&)>& fill);
};

} // namespace veldro
