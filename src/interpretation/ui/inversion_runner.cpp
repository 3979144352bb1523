#include "interpretation/ui/inversion_runner.h"

#include <QThread>
#include <exception>

namespace veldro {

InversionRunner::InversionRunner(std::vector<ProfileData> profiles, InversionOptions options,
                                 unsigned threads, QObject* parent)
    : QObject(parent), profiles_(std::move(profiles)), options_(std::move(options)),
      threads_(threads) {}

InversionRunner::~InversionRunner() {
    if (thread_ == nullptr) return;
    cancel();
    thread_->wait();
    delete thread_;
}

void InversionRunner::start() {
    thread_ = QThread::create([this] {
        try {
            inversions_ = invertEachProfile(
                profiles_, options_, threads_, true,
                [this](std::size_t profile, const InversionStep& step) {
                    emit stepped(static_cast<int>(profile), step.run, step.iteration, step.rms);
                    return !cancelled_;
                },
                // The starting model's misfit, said before a long profile's
                // first sensitivities take their minutes.
                [this](std::size_t profile, double rms) {
                    emit stepped(static_cast<int>(profile), 0, 0, rms);
                });
        } catch (const std::exception& e) { // no thread to run on, no memory
            inversions_.clear();
            error_ = QString::fromStdString(e.what());
        }
    });
    // Delivered on this object's thread, once the run is over.
    connect(thread_, &QThread::finished, this, &InversionRunner::finish);
    thread_->start();
}

void InversionRunner::finish() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    if (error_.isEmpty())
        emit finished();
    else
        emit failed(error_);
}

} // namespace veldro
