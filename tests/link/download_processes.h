#pragma once

// The download's end-to-end tests run veldro-sim and veldro-cli as the user
// would: separate processes on a pseudo-terminal, output in files.

#include "data/measurement_store.h"
#include "test_support.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace veldro::test {

// The record bytes of a .vlf file, after its comment block.
inline std::vector<std::uint8_t> recordBytesOf(const std::string& vlfFile) {
    const auto bytes = readBytes(vlfFile);
    if (bytes.size() < MeasurementStore::kCommentSize) return {};
    return {bytes.begin() + MeasurementStore::kCommentSize, bytes.end()};
}

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program started with its standard output and error in files, its
// standard input from a file (or /dev/null) and `extraEnvironment` ("NAME=value")
// added to ours; killed if still running at the end.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& outFile,
                 const std::string& errFile, const std::string& inFile = "/dev/null",
                 const std::vector<std::string>& extraEnvironment = {}) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, inFile.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::vector<char*> environment;
        for (char** variable = environ; *variable != nullptr; ++variable)
            environment.push_back(*variable);
        for (const std::string& v : extraEnvironment)
            environment.push_back(const_cast<char*>(v.c_str()));
        environment.push_back(nullptr);
        const int error =
            posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environment.data());
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) throw std::runtime_error("cannot start " + argv[0]);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (pid > 0 && !exited) {
            ::kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // Ctrl-C, unless another signal is named.
    void interrupt(int signal = SIGINT) const { ::kill(pid, signal); }
    void kill() const { ::kill(pid, SIGKILL); }

    // The exit status; -1 when it did not end in time (it is then killed) or
    // ended by a signal.
    int wait(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!exited) {
            int status = 0;
            rusage usage{};
            const pid_t done = wait4(pid, &status, WNOHANG, &usage);
            if (done == pid) {
                exited = true;
                exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                peakKilobytes = usage.ru_maxrss;
            } else if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                exited = true;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return exitStatus;
    }

    // The most memory it held resident, once it ended on its own.
    long peakKilobytes = 0;

private:
    pid_t pid = -1;
    bool exited = false;
    int exitStatus = -1;
};

// veldro-sim with its log in a file; the first line of the log is the
// pseudo-terminal the computer opens.
class SimulatedInstrument {
public:
    SimulatedInstrument(const std::string& folder, std::vector<std::string> options)
        : logFile(folder + "/sim.log"),
          process(argvOf(std::move(options)), logFile, folder + "/sim.err") {
        const std::string first = awaitLog("\n");
        path = first.substr(0, first.find('\n'));
    }

    const std::string& terminal() const { return path; }
    std::string log() const { return fileText(logFile); }
    int wait() { return process.wait(std::chrono::seconds(20)); }

    // The log once it holds `text`; throws when it does not within the time.
    std::string awaitLog(const std::string& text,
                         std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            std::string now = log();
            if (now.find(text) != std::string::npos) return now;
            if (std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("veldro-sim never logged " + text + "; log:\n" + now);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

private:
    static std::vector<std::string> argvOf(std::vector<std::string> options) {
        options.insert(options.begin(), VELDRO_SIM);
        return options;
    }

    std::string logFile;
    ChildProcess process;
    std::string path;
};

// Whether the link's own pauses (the settle second on connecting, the second
// before disconnecting) take their time: a simulated instrument needs none.
enum class LinkPauses { Skipped, Real };

// veldro-cli download on a simulated instrument, answering OK to the prompts.
class CliDownload {
public:
    CliDownload(const std::string& folder, const std::string& device, const std::string& output,
                LinkPauses pauses)
        : errFile(folder + "/cli.err"),
          process({VELDRO_CLI, "download", "--port", device, "-o", output, "--yes"},
                  folder + "/cli.out", errFile, "/dev/null", environmentOf(folder, pauses)) {}

    void interrupt(int signal = SIGINT) const { process.interrupt(signal); }
    void kill() const { process.kill(); }
    int wait() { return process.wait(std::chrono::seconds(60)); }
    std::string messages() const { return fileText(errFile); }
    // Where its download journals go: XDG_DATA_HOME is the test's folder.
    static std::string journalFolder(const std::string& folder) {
        return folder + "/veldro/downloads";
    }

private:
    static std::vector<std::string> environmentOf(const std::string& folder, LinkPauses pauses) {
        std::vector<std::string> environment{"XDG_DATA_HOME=" + folder};
        if (pauses == LinkPauses::Skipped) environment.push_back("VELDRO_SKIP_LINK_PAUSES=1");
        return environment;
    }

    std::string errFile;
    ChildProcess process;
};

} // namespace veldro::test
