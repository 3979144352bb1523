#pragma once

#include "app/command_group.h"
#include "export/profile_export.h"

#include <QString>
#include <vector>

namespace veldro {

// "Export and save": the XYZ file for IXVLF and the WADI file for Orvex, each
// through the profile export dialog.
class ProfileExportCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ProfileExportCommands(CommandContext& context);

    void IXVLF1Click(); // "IXVLF (XYZ data file)"
    void Orvex1Click(); // "Orvex (WADI data file)"

private:
    void runExportDialog(ProfileExportFormat format);
    void exportProfiles(ProfileExportFormat format, const std::vector<TProfileItem>& items,
                        int frequency);
};

} // namespace veldro
