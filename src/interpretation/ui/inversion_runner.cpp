#include "interpretation/ui/inversion_runner.h"

#include <QThread>
#include <exception>

namespace veldro {

InversionRunner::InversionRunner(std::vector<ProfileData> profiles, InversionOptions options,
                                 unsigned threads, QObject* parent)
    : QObject(parent), profiles_(std::move(profiles)), options_(options), threads_(threads) {}

InversionRunner::~InversionRunner() {
    if (thread_ == nullptr) return;
    cancel();
    thread_->wait();
    delete thread_;
}

void InversionRunner::start() {
    thread_ = QThread::create([this] {
        try {
            results_ = invertProfiles(profiles_, options_, threads_,
                                      [this](std::size_t profile, const InversionStep& step) {
                                          emit stepped(static_cast<int>(profile), step.iteration,
                                                       step.rms);
                                          return !cancelled_;
                                      });
            fits_.resize(results_.size());
            for (std::size_t i = 0; i < results_.size(); ++i)
                if (!results_[i].log10Resistivity.empty())
                    fits_[i] = inversionFit(profiles_[i], results_[i], options_.startResistivity);
        } catch (const std::exception& e) {
            results_.clear();
            fits_.clear();
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
