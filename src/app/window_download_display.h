#pragma once

#include "data/progress.h"
#include "link/download.h"

#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace veldro {

class DownloadLiveView;
class UiServices;

// The download as the window shows it: the panel over the table, its label,
// its live figures and chart, the progress bar, and the save dialog in the
// folder `saveFolder` gives.
class WindowDownloadDisplay : public DownloadDisplay {
public:
    WindowDownloadDisplay(QWidget& panel, QLabel& label, DownloadLiveView& live, Progress& progress,
                          UiServices& services, std::function<QString()> saveFolder);

    void showPanel(bool shown) override;
    Progress& progress() override { return progress_; }
    Label& label() override { return label_; }
    std::optional<std::string> askSaveFileName() override;
    void recordStored(const MeasurementRecord& record, int count) override;

private:
    class LabelText : public Label {
    public:
        explicit LabelText(QLabel& label) : label_(label) {}
        void setText(const std::string& text) override;

    private:
        QLabel& label_;
    };

    QWidget& panel_;
    LabelText label_;
    DownloadLiveView& live_;
    Progress& progress_;
    UiServices& services_;
    std::function<QString()> saveFolder_;
};

} // namespace veldro
