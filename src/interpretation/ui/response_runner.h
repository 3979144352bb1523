#pragma once

#include "interpretation/forward.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace veldro {

// Computes a model's response on a thread of its own, so that the window
// answers while it runs. Models asked for meanwhile wait, and only the
// latest is computed next: the curves follow the last change, not each step
// of a drag.
std::vector<StationResponse> draftResponse(const GroundModel& model);

class ResponseRunner : public QObject {
    Q_OBJECT
public:
    using Compute = std::function<std::vector<StationResponse>(const GroundModel&)>;

    // The window's curves come from the draft mesh, to follow a drag at once.
    explicit ResponseRunner(QObject* parent = nullptr, Compute compute = draftResponse);
    // Returns at once. The solver cannot be stopped inside a factorisation,
    // so a computation under way is abandoned: it ends on its own thread,
    // which then frees what it holds, and its result is dropped.
    ~ResponseRunner() override;

    void request(GroundModel model);
    bool busy() const { return job_ != nullptr; }

signals:
    void computed(const std::vector<veldro::StationResponse>& responses);
    void failed(const QString& reason);

private:
    struct Job;

    void start(GroundModel model);
    void finish(const std::vector<StationResponse>& responses, const QString& error);

    const Compute compute_;
    std::shared_ptr<Job> job_; // the computation under way, shared with its thread
    std::optional<GroundModel> waiting_;
};

} // namespace veldro
