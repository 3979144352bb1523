#include "interpretation/ui/response_runner.h"

#include <exception>
#include <mutex>
#include <thread>

namespace veldro {

// What a computation's thread shares with the runner: whom to tell, until
// the runner goes.
std::vector<StationResponse> draftResponse(const GroundModel& model) {
    MeshOptions options;
    options.draft = true;
    return computeResponse(model, options);
}

struct ResponseRunner::Job {
    std::mutex mutex;
    ResponseRunner* runner;
};

ResponseRunner::ResponseRunner(QObject* parent, Compute compute)
    : QObject(parent), compute_(std::move(compute)) {}

ResponseRunner::~ResponseRunner() {
    if (job_ == nullptr) return;
    const std::lock_guard lock(job_->mutex);
    job_->runner = nullptr;
}

void ResponseRunner::request(GroundModel model) {
    if (busy())
        waiting_ = std::move(model);
    else
        start(std::move(model));
}

void ResponseRunner::start(GroundModel model) {
    job_ = std::make_shared<Job>();
    job_->runner = this;
    // Detached, so that closing the window never waits for it; it touches
    // nothing of the runner's once the runner has gone, so the program may
    // also end while it runs.
    std::thread([job = job_, compute = compute_, model = std::move(model)] {
        std::vector<StationResponse> responses;
        QString error;
        try {
            responses = compute(model);
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        }
        const std::lock_guard lock(job->mutex);
        if (job->runner == nullptr) return;
        // Delivered on the runner's thread; dropped should it go before then.
        QMetaObject::invokeMethod(
            job->runner,
            [runner = job->runner, responses = std::move(responses), error = std::move(error)] {
                runner->finish(responses, error);
            },
            Qt::QueuedConnection);
    }).detach();
}

void ResponseRunner::finish(const std::vector<StationResponse>& responses, const QString& error) {
    job_.reset();
    if (waiting_) {
        GroundModel next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
        return; // what was computed is already out of date
    }
    if (error.isEmpty())
        emit computed(responses);
    else
        emit failed(error);
}

} // namespace veldro
