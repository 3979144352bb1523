#pragma once

#include "interpretation/profile_data.h"
#include "interpretation/profile_inversion.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <vector>

class QThread;

namespace veldro {

// Inverts profiles on a thread of its own (which runs them on the threads
// asked), so that the window answers while they run, and works out how each
// section fits its data there too: that costs a solve with sensitivities.
// It reads only the profiles' data it was given.
class InversionRunner : public QObject {
    Q_OBJECT
public:
    InversionRunner(std::vector<ProfileData> profiles, InversionOptions options, unsigned threads,
                    QObject* parent = nullptr);
    ~InversionRunner() override; // cancels the run under way and waits for it

    void start();
    // Each profile stops at the end of its iteration, keeping its best model.
    void cancel() { cancelled_ = true; }
    bool running() const { return thread_ != nullptr; }

    const std::vector<ProfileData>& profiles() const { return profiles_; }
    const InversionOptions& options() const { return options_; }
    // Once finished: one per profile, in the order given, with its fit or
    // why it failed; a profile a cancel stopped before it began has no cells.
    const std::vector<ProfileInversion>& inversions() const { return inversions_; }

signals:
    // From the inverting threads, delivered on this object's.
    // run: 0 the section's, 1 and 2 those of the depth of investigation;
    // iteration 0 is the section's starting model.
    void stepped(int profileIndex, int run, int iteration, double rms);
    void finished();
    void failed(const QString& reason);

private:
    void finish();

    const std::vector<ProfileData> profiles_;
    const InversionOptions options_;
    const unsigned threads_;
    std::atomic<bool> cancelled_ = false;
    QThread* thread_ = nullptr;
    std::vector<ProfileInversion> inversions_; // written by the thread
    QString error_;                            // likewise
};

} // namespace veldro
