#include "sim_dump.h"

#include "sim_line.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace veldro::sim {

namespace {

using Clock = std::chrono::steady_clock;

// Longer than any of the computer's own waits, so a missing answer means it gave up.
constexpr int kAnswerTimeoutMs = 3000;
// How long the opening may sit read but unanswered before it is sent again.
constexpr int kReopenAfterMs = 500;
// The computer reads and drops what waits on the line while it connects, just
// after setting the line up: the opening follows the set-up by this much.
constexpr int kAfterSetUpMs = 50;
// A computer that never changes the line's settings gets the opening after this.
constexpr int kSetUpLimitMs = 3000;

std::string escaped(std::string_view bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            (out += '\\') += c;
        else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
            out += hex;
        } else
            out += c;
    }
    return out + "\"";
}

std::string wireBytesOf(const OutgoingRecord& record, const Fault* fault) {
    std::string text = record.text;
    std::string afterHeader = "\r\n";
    std::string lineEnd = "\r\n";
    if (fault) {
        switch (*fault) {
        case Fault::Undecodable:
            text.replace(8, 6, "  PROF");
            break;
        case Fault::MissingCr:
            afterHeader = "\n";
            break;
        case Fault::MissingLf:
            afterHeader = "\r";
            break;
        case Fault::ShortText:
            text.resize(text.size() / 2);
            lineEnd.clear();
            break;
        case Fault::UnexpectedLetter:
            return "X";
        }
    }
    return record.header + afterHeader + text + lineEnd;
}

class Dialogue {
public:
    Dialogue(InstrumentLine& line, std::ostream& log) : line_(line), log_(log) {}

    bool send(std::string_view bytes, const std::string& what = "") {
        log_ << "-> " << (what.empty() ? "" : what + " ") << escaped(bytes) << std::endl;
        wireBytes_ += static_cast<long>(bytes.size());
        return line_.send(bytes);
    }

    // Starts counting the dialogue's time and bytes afresh.
    void startClock() {
        started_ = Clock::now();
        wireBytes_ = 0;
    }
    double elapsedMs() const {
        return std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
    }

    long wireBytes() const { return wireBytes_; }

    // Waits for the computer's 'T', logging whatever else comes.
    bool awaitAcknowledgement(int timeoutMs, const std::string& what) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) break;
            const int b = line_.receive(static_cast<int>(left.count()));
            if (b < 0) continue;
            ++wireBytes_;
            log_ << "<- " << escaped(std::string(1, static_cast<char>(b)));
            if (b == 'T') {
                log_ << " (" << what << ")" << std::endl;
                return true;
            }
            log_ << std::endl;
        }
        log_ << "no acknowledgement (" << what << ")" << std::endl;
        return false;
    }

    // The opening "V" CR LF, on a pseudo-terminal once the computer has set the
    // line up. A pseudo-terminal also tells whether the computer took it: one
    // that it discarded all the same (its input flush while connecting) is sent again.
    bool open() {
        awaitSetUp();
        startClock();
        if (!send("V\r\n", "opening")) return false;
        auto takenSince = Clock::time_point::max();
        for (;;) {
            const int b = line_.receive(100);
            if (b == 'T') {
                ++wireBytes_;
                log_ << "<- \"T\" (opening)" << std::endl;
                return true;
            }
            if (b >= 0) log_ << "<- " << escaped(std::string(1, static_cast<char>(b))) << std::endl;
            const auto unread = line_.unreadByComputer();
            if (!unread || *unread > 0) {
                takenSince = Clock::time_point::max();
            } else if (takenSince == Clock::time_point::max()) {
                takenSince = Clock::now();
            } else if (Clock::now() - takenSince > std::chrono::milliseconds(kReopenAfterMs)) {
                startClock();
                if (!send("V\r\n", "opening again")) return false;
                takenSince = Clock::time_point::max();
            }
        }
    }

    // Until the computer has set a pseudo-terminal up, and the moment after it
    // in which the computer drops what waits on the line.
    void awaitSetUp() {
        const auto limit = Clock::now() + std::chrono::milliseconds(kSetUpLimitMs);
        while (line_.setUpByComputer() == false && Clock::now() < limit) stayQuiet(5);
        if (line_.setUpByComputer() == true) stayQuiet(kAfterSetUpMs);
    }

    // Logs what arrives for `ms`, sending nothing.
    void stayQuiet(int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            const int b = line_.receive(static_cast<int>(std::max<long>(left.count(), 1)));
            if (b >= 0) log_ << "<- " << escaped(std::string(1, static_cast<char>(b))) << std::endl;
        }
    }

    // Waits until the computer has read everything sent, so that leaving does not
    // take the last bytes with the line.
    // After the last byte: a moment for the computer to take it, then the line may go.
    void leaveAfterLast() { stayQuiet(awaitTaken() ? 200 : 1000); }

    // True when the line could tell that they were read.
    bool awaitTaken() {
        const auto until = Clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
        while (Clock::now() < until) {
            const auto unread = line_.unreadByComputer();
            if (!unread) break;
            if (*unread == 0) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

private:
    InstrumentLine& line_;
    std::ostream& log_;
    Clock::time_point started_ = Clock::now();
    long wireBytes_ = 0;
};

} // namespace

DumpResult playDump(InstrumentLine& line, const DumpPlan& plan, std::ostream& log) {
    Dialogue dialogue(line, log);
    DumpResult result;
    if (!plan.sendStart) {
        log << "waiting, the dump is never started" << std::endl;
        for (;;) dialogue.stayQuiet(60000);
    }
    result.openingAcknowledged = dialogue.open();
    if (!result.openingAcknowledged) return result;
    if (plan.hangUpAfter == 0) {
        log << "hanging up" << std::endl;
        line.hangUp();
        return result;
    }
    for (std::size_t i = 0; i < plan.records.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const auto fault = plan.faults.find(number);
        const Fault* faultHere = fault == plan.faults.end() ? nullptr : &fault->second;
        const std::string what = "record " + std::to_string(number);
        if (!dialogue.send(wireBytesOf(plan.records[i], faultHere), what)) return result;
        if (faultHere && *faultHere == Fault::UnexpectedLetter) {
            dialogue.leaveAfterLast();
            return result;
        }
        ++result.sent;
        if (!dialogue.awaitAcknowledgement(kAnswerTimeoutMs, what)) return result;
        ++result.acknowledged;
        if (number == plan.hangUpAfter) {
            log << "hanging up" << std::endl;
            line.hangUp();
            return result;
        }
        if (number == plan.silenceAfter) {
            log << "silent for " << plan.silenceMs << " ms" << std::endl;
            dialogue.stayQuiet(plan.silenceMs);
        }
    }
    if (!plan.sendEnd) {
        log << "no end letter" << std::endl;
        dialogue.stayQuiet(kAnswerTimeoutMs);
        return result;
    }
    if (!dialogue.send("E", "end")) return result;
    if (dialogue.awaitTaken()) {
        result.dialogueMs = dialogue.elapsedMs();
        result.wireBytes = dialogue.wireBytes();
    }
    dialogue.leaveAfterLast();
    return result;
}

} // namespace veldro::sim
