#pragma once

#include "app/command_group.h"
#include "app/kept_history.h"
#include "data/rows.h"
#include "widgets/measurement_table_view.h"

class QPoint;

namespace veldro {

// The "Processing" menu's keep, ignore and filter commands, with the table's
// gestures and its pop-up menu that keep and ignore too.
class ProcessingCommands : public CommandGroup {
    Q_OBJECT
public:
    explicit ProcessingCommands(CommandContext& context);

    void Check1Click();               // "Keep selected data", pop-up "Keep"
    void Uncheck1Click();             // "Ignore selected data", pop-up "Ignore"
    void DeleteUnselectedDataClick(); // "Delete ignored data"
    void Ignoreoverloaddata1Click();  // "Ignore overload data"
    void Filtering1Click();           // "Filtering..."
    void FrequencyDisabler1Click();   // "Reject frequency..."
    // "Undo" and "Redo" of the kept states; "Delete ignored data" stays final.

private:
    // The table's mouse gestures.
    bool toggleFromImageStrip(int row);
    // The image strip's click and Space: the one row changes.
    void toggleRow(int row);
    void TabMesureCLstViewDblClick();
    void TabMesureCLstViewMouseDown(const QPoint& globalPosition);
    void showChangedRows(RowList rows, KeptHistory::States before);

    DoublePressGuard imageStripGuard_;
};

} // namespace veldro
