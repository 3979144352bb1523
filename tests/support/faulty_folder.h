// A folder whose disk a test can fill or make read-only, to see saves fail as
// they do in the field.
#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <stdexcept>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veldro::test {

// Where the process may mount (root, and a mount namespace of its own whose
// mounts do not spread to the system's), the folder is a small file system of
// its own, which vanishes with the process: full means filled to the last
// block, read-only a read-only remount. Elsewhere it is an ordinary folder:
// full is a file size limit of 0 on the process, read-only a folder without
// write permission (which root ignores: readOnlyHolds() says so).
class FaultyFolder {
public:
    FaultyFolder() {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/veldro-faulty-XXXXXX";
        if (!::mkdtemp(path_.data())) throw std::runtime_error("no temporary folder");
        ownFileSystem_ = privateMounts() &&
                         ::mount("veldro", path_.c_str(), "tmpfs", 0, "size=256k,mode=0755") == 0;
    }
    ~FaultyFolder() {
        restore();
        if (ownFileSystem_) ::umount2(path_.c_str(), MNT_DETACH);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FaultyFolder(const FaultyFolder&) = delete;
    FaultyFolder& operator=(const FaultyFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    bool ownFileSystem() const { return ownFileSystem_; }
    bool readOnlyHolds() const { return ownFileSystem_ || ::geteuid() != 0; }

    // Until restore(): no byte more fits.
    void fill() {
        if (!ownFileSystem_) {
            ::getrlimit(RLIMIT_FSIZE, &savedLimit_);
            rlimit none = savedLimit_;
            none.rlim_cur = 0;
            oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &none);
            limited_ = true;
            return;
        }
        const int fd = ::open(file(kFiller).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        static const char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        while (::write(fd, block, 1) > 0) {
        }
        ::close(fd);
    }

    // Until restore(): nothing in the folder can be created, renamed, removed
    // or written (a writable file in a read-only folder is written in place).
    void makeReadOnly() {
        if (ownFileSystem_) {
            ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=256k");
        } else {
            for (const auto& entry : std::filesystem::directory_iterator(path_))
                ::chmod(entry.path().c_str(), 0444);
            ::chmod(path_.c_str(), 0555);
        }
        readOnly_ = true;
    }

    void restore() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &savedLimit_);
            std::signal(SIGXFSZ, oldHandler_);
            limited_ = false;
        }
        if (readOnly_) {
            if (ownFileSystem_)
                ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT, "size=256k");
            else
                ::chmod(path_.c_str(), 0755);
            readOnly_ = false;
        }
        ::unlink(file(kFiller).c_str());
    }

private:
    static constexpr const char* kFiller = "filler";

    // A mount namespace of this process's own, once; false where it cannot be
    // made or where a mount in it would also appear in the system's.
    static bool privateMounts() {
        static const bool made = [] {
            if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) return false;
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) return true;
            // In a chroot "/" is no mount of its own: safe while no mount is shared.
            std::ifstream mounts("/proc/self/mountinfo");
            for (std::string line; std::getline(mounts, line);)
                if (line.find(" shared:") != std::string::npos) return false;
            return true;
        }();
        return made;
    }

    std::string path_;
    bool ownFileSystem_ = false;
    bool limited_ = false;
    bool readOnly_ = false;
    rlimit savedLimit_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

} // namespace veldro::test
