#include "app/commands/graph_commands.h"

#include "app/data_session.h"
#include "app/measurement_table_model.h"
#include "data/survey_view.h"
#include "interpretation/ui/inversion_window.h"
#include "interpretation/ui/layered_inversion_window.h"
#include "interpretation/ui/model_window.h"
#include "processing/fraser_map.h"
#include "processing/graph_plots.h"
#include "processing/station_groups.h"
#include "processing/ui/fraser_map_window.h"
#include "processing/ui/karous_hjelt_window.h"
#include "processing/ui/plan_map_window.h"
#include "processing/ui/view_graph_window.h"
#include "widgets/measurement_table_view.h"
#include "widgets/ui_services.h"
#include "widgets/wait_cursor.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <optional>

namespace veldro {

namespace {

const Message kNoKhValue{
    "No run has six station groups of kept tilt readings: there is no Karous-Hjelt value to "
    "show.",
    "Karous-Hjelt section", MessageIcon::Information};
const Message kNoMapValue{"No profile has four station groups of kept tilt readings: there is no "
                          "Fraser value to map.",
                          "Fraser map", MessageIcon::Information};
const Message kNoRhoData{"No profile has kept readings of Rho and phase (resistivity mode): "
                         "there is nothing to invert in 1D.",
                         "1D inversion", MessageIcon::Information};

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "<data file name>_<name>.png" beside the data file; "<name>.png" in the
// current folder for a download not saved yet.
QString proposedImagePath(const QString& dataFile, std::string_view name) {
    if (dataFile.isEmpty()) return QDir::current().filePath(qtText(name) + QStringLiteral(".png"));
    const QFileInfo data(dataFile);
    return data.dir().filePath(data.completeBaseName() + u'_' + qtText(name) +
                               QStringLiteral(".png"));
}

} // namespace

GraphCommands::GraphCommands(CommandContext& context) : CommandGroup(context) {
    context_.commands.add(context_.action("ViewFraser1"), Enabling::WithData,
                          [this] { ViewFraser1Click(); });
    context_.commands.add(context_.action("KarousHjeltSection"), Enabling::WithData,
                          [this] { showKarousHjeltSection(); });
    context_.commands.add(context_.action("FraserMap"), Enabling::WithData,
                          [this] { showFraserMap(); });
    context_.commands.add(context_.action("Model"), Enabling::Idle, [this] { showModel(); });
    context_.commands.add(context_.action("Inversion"), Enabling::WithData,
                          [this] { showInversion(); });
    context_.commands.add(context_.action("Inversion1D"), Enabling::WithData,
                          [this] { showLayeredInversion(); });
    // A header click always means a plot: the table never sorts.
    QHeaderView* header = context_.table.horizontalHeader();
    context_.table.setSortingEnabled(false);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        context_.commands.run([this, column] { TabMesureCLstViewColumnClick(column); });
    });
}

void GraphCommands::ViewFraser1Click() {
    const DataSession& session = context_.session;
    if (!session.hasData()) return;
    showGraph(qtText(kFraserAxisTitle), kFraserImageName, [&session](GraphSink& graph) {
        return plotFraser(*session.store(), session.rows(), graph);
    });
}

void GraphCommands::TabMesureCLstViewColumnClick(int column) {
    const DataSession& session = context_.session;
    const int logical = session.model().logicalColumn(column);
    if (logical < 0 || !quantity(logical).plottable) return;
    if (!session.hasData() || session.busy()) return;
    const std::string name = fileNamePart(quantity(logical).caption);
    showGraph(columnCaption(logical), name, [&session, logical](GraphSink& graph) {
        return plotColumn(*session.store(), session.rows(), logical, graph);
    });
}

// The window is made over what `compute` finds in the rows, under the
// hourglass; one with nothing to show is not shown, and the user is told.
template <class Frame, class Compute>
void GraphCommands::showInterpretation(Compute compute, std::string_view imageName,
                                       const Message& nothing) {
    const DataSession& session = context_.session;
    if (!session.hasData()) return;
    const auto frame = [&] {
        WaitCursor wait;
        return std::make_unique<Frame>(
            context_.ui, compute(SurveyView(*session.store(), session.rows())), &context_.window);
    }();
    if (!frame->hasValues()) {
        context_.ui.tell(nothing);
        return;
    }
    frame->setImagePath(proposedImagePath(session.filePath(), imageName));
    context_.ui.runDialog(*frame);
}

void GraphCommands::showKarousHjeltSection() {
    showInterpretation<KarousHjeltWindow>(runStationGroups, "kh", kNoKhValue);
}

// In plan where the positions place the profiles; else, as without
// positions, profiles side by side at their numbers.
void GraphCommands::showFraserMap() {
    const DataSession& session = context_.session;
    if (session.hasData() && !session.positions().empty()) {
        const auto window = [&] {
            WaitCursor wait;
            const SurveyView survey(*session.store(), session.rows());
            return std::make_unique<PlanMapWindow>(context_.ui, fraserMaps(survey),
                                                   runStationGroups(survey), session.positions(),
                                                   &context_.window);
        }();
        if (window->hasValues()) {
            window->setImagePath(proposedImagePath(session.filePath(), "map"));
            context_.ui.runDialog(*window);
            return;
        }
    }
    showInterpretation<FraserMapWindow>(fraserMaps, "map", kNoMapValue);
}

void GraphCommands::showModel() {
    const DataSession& session = context_.session;
    std::optional<SurveyView> survey;
    if (session.hasData()) survey.emplace(*session.store(), session.rows());
    ModelWindow window(context_.ui, survey ? &*survey : nullptr, &context_.window);
    window.setImagePath(proposedImagePath(session.filePath(), "model"));
    context_.ui.runDialog(window);
}

// The dialog reads the picked profiles' data; the window inverts those
// copies, so the data set is free to change once it is closed.
void GraphCommands::showInversion() {
    const DataSession& session = context_.session;
    if (!session.hasData()) return;
    const SurveyView survey = session.survey(); // with the positions, for their heights
    InversionDialog dialog(context_.ui, survey, inversionChoices_, &context_.window);
    if (context_.ui.runDialog(dialog) != QDialog::Accepted) return;
    inversionChoices_ = dialog.choices();
    InversionWindow window(context_.ui, dialog.profiles(), inversionChoices_.inversion,
                           inversionChoices_.threads, &survey, &context_.window);
    window.setImagePath(proposedImagePath(session.filePath(), "inversion"));
    context_.ui.runDialog(window);
}

void GraphCommands::showLayeredInversion() {
    const DataSession& session = context_.session;
    if (!session.hasData()) return;
    LayeredInversionWindow window(context_.ui, session.survey(), &context_.window);
    if (!window.hasData()) {
        context_.ui.tell(kNoRhoData);
        return;
    }
    window.setImagePath(proposedImagePath(session.filePath(), "invert1d"));
    context_.ui.runDialog(window);
}

void GraphCommands::showGraph(const QString& axisTitle, std::string_view imageName,
                              const std::function<bool(GraphSink&)>& fill) {
    // The main window's place and size, frame and all.
    TViewGraphFrm graph(context_.ui, &context_.window);
    graph.move(context_.window.pos());
    graph.resize(context_.window.size());
    graph.setLeftAxisTitle(axisTitle);
    graph.setImagePath(proposedImagePath(context_.session.filePath(), imageName));
    // What goes wrong while filling escapes to the registry, which says it in a box.
    const bool show = [&] {
        WaitCursor wait;
        return fill(graph);
    }();
    if (show) context_.ui.runDialog(graph);
}

} // namespace veldro
