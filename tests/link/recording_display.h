#pragma once

#include "data/progress.h"
#include "link/download.h"
#include "test_support.h"

#include <optional>
#include <string>
#include <vector>

namespace veldro::test {

class RecordingLabel : public Label {
public:
    void setText(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// The download's panel and save dialog, answered by the test: `answer` is the
// file chosen, none for a declined save.
class RecordingDisplay : public DownloadDisplay {
public:
    void showPanel(bool shown) override { panel.push_back(shown); }
    Progress& progress() override { return bar; }
    Label& label() override { return text; }
    std::optional<std::string> askSaveFileName() override {
        ++saveQuestions;
        return answer;
    }

    std::optional<std::string> answer;
    int saveQuestions = 0;
    std::vector<bool> panel;
    RecordingProgress bar;
    RecordingLabel text;
};

} // namespace veldro::test
