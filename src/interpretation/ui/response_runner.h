#pragma once

#include "interpretation/forward.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class QThread;

namespace veldro {

// Computes a model's response on a thread of its own, so that the window
// answers while it runs. Models asked for meanwhile wait, and only the
// latest is computed next: the curves follow the last change, not each step
// of a drag.
class ResponseRunner : public QObject {
    Q_OBJECT
public:
    explicit ResponseRunner(QObject* parent = nullptr);
    ~ResponseRunner() override; // waits for the computation under way

    void request(GroundModel model);
    bool busy() const { return thread_ != nullptr; }

signals:
    void computed(const std::vector<veldro::StationResponse>& responses);
    void failed(const QString& reason);

private:
    void start(GroundModel model);
    void finish();

    QThread* thread_ = nullptr;
    std::optional<GroundModel> waiting_;
    std::vector<StationResponse> responses_; // written by the thread
    QString error_;                          // likewise
};

} // namespace veldro
