#pragma once

#include "app/command_group.h"

#include <QString>

namespace veldro {

// The "View" menu's report viewer commands: any file, the formatted report
// of the kept rows, and the data set's comment.
class ReportCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ReportCommands(CommandContext& context);

    void File1Click();         // "File..."
    void Formatedtype1Click(); // "Formated"
    void Comments1Click();     // "Edit comments"

private:
    bool writeReportFiles();
    void view(const QString& fileName, const QString& extension);
};

} // namespace veldro
