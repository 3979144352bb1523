#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace veldro::test {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path().string()) {}

TempDir::TempDir(const std::string& parent) {
    std::random_device random;
    const std::filesystem::path base(parent);
    for (int attempt = 0; path_.empty(); ++attempt) {
        const auto candidate = base / ("veldro-test-" + std::to_string(random()));
        // False when the name is taken already; an error throws.
        if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        if (attempt == 100) throw std::runtime_error("no new folder in " + base.string());
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

int entriesStartingWith(const TempDir& dir, const std::string& prefix) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        count += entry.path().filename().string().rfind(prefix, 0) == 0;
    return count;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> goldenBytes(const std::string& name) {
    return readBytes(std::string(VELDRO_GOLDEN_DIR) + "/" + name);
}

std::string goldenText(const std::string& name) {
    const auto bytes = goldenBytes(name);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> goldenHex(const std::string& name) {
    const std::string text = goldenText(name);
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    auto hexDigit = [](char c) {
        return (c >= '0' && c <= '9')   ? c - '0'
               : (c >= 'a' && c <= 'f') ? c - 'a' + 10
               : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                        : -1;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '#') {
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (hexDigit(c) >= 0) {
            if (i + 1 >= text.size() || hexDigit(text[i + 1]) < 0)
                throw std::runtime_error(name + ": a byte needs two hex digits");
            const auto byte = static_cast<std::uint8_t>(hexDigit(c) * 16 + hexDigit(text[i + 1]));
            i += 2;
            std::size_t repeat = 1;
            if (i < text.size() && text[i] == '*') {
                std::size_t used = 0;
                repeat = std::stoul(text.substr(i + 1), &used);
                i += 1 + used;
            }
            bytes.insert(bytes.end(), repeat, byte);
        } else {
            ++i;
        }
    }
    return bytes;
}

CliRun runCli(const std::string& arguments, const std::string& environment) {
    TempDir dir;
    CliRun run;
    run.status = runCliInto(arguments, environment, dir.file("out"), dir.file("err"));
    const auto out = readBytes(dir.file("out"));
    const auto err = readBytes(dir.file("err"));
    run.out.assign(out.begin(), out.end());
    run.err.assign(err.begin(), err.end());
    return run;
}

} // namespace veldro::test
