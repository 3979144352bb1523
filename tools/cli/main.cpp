// veldro-cli: every data command of the program, without a window.
#include "cli.h"
#include "console.h"
#include "data/file_io.h"
#include "data/number_text.h"
#include "veldro_version.h"

#include <algorithm>
#include <clocale>
#include <iostream>
#include <sstream>

using namespace veldro;
using namespace veldro::cli;

namespace {

std::vector<std::string> wordsOf(const std::string& name) {
    std::istringstream in(name);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The command whose name the leading words spell, the longest first.
const Command* findCommand(const std::vector<std::string>& args, std::size_t& used) {
    const Command* best = nullptr;
    for (const Command& c : commands()) {
        const auto words = wordsOf(c.name);
        if (words.size() <= args.size() && std::equal(words.begin(), words.end(), args.begin()) &&
            (!best || words.size() > used)) {
            best = &c;
            used = words.size();
        }
    }
    return best;
}

// The second words of the commands that begin with `first` ("raw, fraser, ..."),
// for a call that names a group such as "export" but none of its commands.
std::string groupCommands(const std::string& first) {
    std::string list;
    for (const Command& c : commands()) {
        const auto words = wordsOf(c.name);
        if (words.size() > 1 && words[0] == first) list += (list.empty() ? "" : ", ") + words[1];
    }
    return list;
}

void printUsage(std::ostream& out, const Command& c) {
    out << "usage: veldro-cli " << c.name << (c.usage.empty() ? "" : " ") << c.usage << "\n  "
        << c.summary << '\n';
}

void printHelp(std::ostream& out) {
    out << "usage: veldro-cli [--decimal-separator C] COMMAND [ARGS]\n"
           "       veldro-cli --version\n\n"
           "Numbers are shown with the decimal separator of the locale (LC_ALL, LC_NUMERIC)\n"
           "unless --decimal-separator is given. Exit status: 0 success, 1 failure, 2 usage.\n\n"
           "Commands:\n";
    auto sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& c : sorted)
        out << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
#ifndef VELDRO_PLOT
    out << "\nplot (charts as PNG, SVG or PDF) is left out: this veldro-cli was built without\n"
           "the window (VELDRO_GUI=OFF).\n";
#endif
    out << "\n'veldro-cli COMMAND --help' shows one command.\n";
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    setDecimalSeparator(localeDecimalSeparator());

    std::vector<std::string> args = commandLineWords(argc, argv);
    while (!args.empty() && args[0].rfind("--", 0) == 0) {
        if (args[0] == "--help") {
            printHelp(std::cout);
            return 0;
        }
        if (args[0] == "--version") {
            std::cout << "veldro-cli " << kProgramVersion << '\n';
            return 0;
        }
        if (args[0] == "--decimal-separator") {
            if (args.size() < 2 || args[1].size() != 1) {
                std::cerr
                    << "veldro-cli: --decimal-separator takes one character, such as , or .\n";
                return 2;
            }
            setDecimalSeparator(args[1][0]);
            args.erase(args.begin(), args.begin() + 2);
            continue;
        }
        std::cerr << "veldro-cli: unknown option " << args[0] << '\n';
        return 2;
    }
    if (args.empty()) {
        printHelp(std::cerr);
        return 2;
    }
    std::size_t used = 0;
    const Command* command = findCommand(args, used);
    if (!command) {
        const std::string group = groupCommands(args[0]);
        if (group.empty())
            std::cerr << "veldro-cli: unknown command " << args[0] << " (see veldro-cli --help)\n";
        else
            std::cerr << "veldro-cli: " << args[0] << " needs one of: " << group << '\n';
        return 2;
    }
    std::vector<std::string> rest(args.begin() + static_cast<long>(used), args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        printUsage(std::cout, *command);
        return 0;
    }
    try {
        const UsageOptions options = optionsOfUsage(command->usage);
        return command->run(Arguments(rest, options.valueOptions, options.flags));
    } catch (const UsageError& e) {
        std::cerr << "veldro-cli " << command->name << ": " << e.what() << '\n';
        printUsage(std::cerr, *command);
        return 2;
    } catch (const CommandFailed& e) {
        if (*e.what()) std::cerr << e.what() << '\n';
        return 1;
    } catch (const FileError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "veldro-cli " << command->name << ": " << e.what() << '\n';
        return 1;
    }
}
