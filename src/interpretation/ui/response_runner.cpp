#include "interpretation/ui/response_runner.h"

#include <QThread>
#include <exception>

namespace veldro {

ResponseRunner::ResponseRunner(QObject* parent) : QObject(parent) {}

ResponseRunner::~ResponseRunner() {
    if (thread_ == nullptr) return;
    thread_->wait();
    delete thread_;
}

void ResponseRunner::request(GroundModel model) {
    if (busy())
        waiting_ = std::move(model);
    else
        start(std::move(model));
}

void ResponseRunner::start(GroundModel model) {
    thread_ = QThread::create([this, model = std::move(model)] {
        try {
            responses_ = computeResponse(model);
            error_.clear();
        } catch (const std::exception& e) {
            responses_.clear();
            error_ = QString::fromStdString(e.what());
        }
    });
    // Delivered on this object's thread, once the computation is over.
    connect(thread_, &QThread::finished, this, &ResponseRunner::finish);
    thread_->start();
}

void ResponseRunner::finish() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (waiting_) {
        GroundModel next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
        return; // what was computed is already out of date
    }
    if (error_.isEmpty())
        emit computed(responses_);
    else
        emit failed(error_);
}

} // namespace veldro
