// A monkey in the window: seeded random commands with scripted dialogs, and
// after every step what a user relies on: the table's rows are the store's
// records, what the table shows is what a save writes, no record is lost or
// made up, no command is left running, no error box a step did not expect.
// VELDRO_MONKEY_SEED and VELDRO_MONKEY_STEPS choose one long run
// (scripts/monkey SEED COUNT); by default a few seeds run briefly.
#include "monkey.h"

#include <QApplication>
#include <cstdlib>
#include <deque>
#include <iostream>

using namespace veldro;
using namespace veldro::test;

const std::vector<MonkeyCommand>& Monkey::commands() {
    static const std::vector<MonkeyCommand> all{
        {"Ouvrir1", &Monkey::openFile},
        {"OpenLastFile", &Monkey::openLastFile},
        {"RecentFiles", &Monkey::openRecent},
        {"a file vanishes", &Monkey::vanish},
        {"Importtextfile1", &Monkey::importFile},
        {"Add1", &Monkey::addFile},
        {"Positions"},
        {"EnregistrerSous", &Monkey::saveAndReopen},
        {"Splitonname1", &Monkey::split},
        {"Quitter1", &Monkey::quit},
        {"Keepselectedrows1", &Monkey::keepOrIgnore},
        {"Ignoreselectedrows1", &Monkey::keepOrIgnore},
        {"Check1", &Monkey::keepOrIgnore},
        {"Uncheck1", &Monkey::keepOrIgnore},
        {"image strip press", &Monkey::pressImageStrip},
        {"double-click", &Monkey::doubleClickRow},
        {"pop-up menu", &Monkey::popUpMenu},
        {"Undo1"},
        {"Redo1"},
        {"undo every step", &Monkey::undoAll},
        {"Ignoreoverloaddata1"},
        {"DeleteUnselectedData", &Monkey::deleteIgnored},
        {"Filtering1", &Monkey::filter},
        {"FrequencyDisabler1", &Monkey::rejectFrequency},
        {"Spreadsheet1", &Monkey::exportSpreadsheet},
        {"Fraser1", &Monkey::exportSpreadsheet},
        {"KarousHjeltValues", &Monkey::exportSpreadsheet},
        {"Virgule1"},
        {"PointVirgule1"},
        {"Espace1"},
        {"Tabulation1"},
        {"IXVLF1", &Monkey::exportProfiles},
        {"Orvex1", &Monkey::exportProfiles},
        {"Displayoptions1", &Monkey::displayOptions},
        {"Formatedtype1", &Monkey::viewReport},
        {"File1", &Monkey::viewFile},
        {"Comments1", &Monkey::editComment},
        {"ViewFraser1"},
        {"KarousHjeltSection"},
        {"FraserMap"},
        {"Model"},
        {"Inversion"},
        {"Inversion1D"},
        {"header click", &Monkey::clickHeader},
        {"RunIXVLF1"},
        {"RunOrvex1"},
        {"Ports"},
        {"Rubriquedaide1"},
        {"Homepage1"},
        {"Productsupport1"},
        {"Apropos1"},
    };
    return all;
}

namespace {

MeasurementRecord flagless(MeasurementRecord r) {
    r.ignored = 0;
    return r;
}

bool sameRecordsFlagsAside(const std::vector<MeasurementRecord>& a,
                           const std::vector<MeasurementRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return flagless(x) == flagless(y); });
}

// The window after a step, as the user relies on it.
void checkWindow(Monkey& monkey, const std::vector<MeasurementRecord>& before,
                 std::size_t boxesBefore) {
    TMainFrm& window = monkey.window;
    QVERIFY2(!window.session().busy(), "no command is left running");
    QVERIFY2(!QApplication::overrideCursor(), "the wait cursor is gone");
    const std::vector<MeasurementRecord> records = monkey.records();
    const RowList& rows = window.rowList();
    QCOMPARE(rows.size(), static_cast<int>(records.size()));
    QCOMPARE(window.tableModel().rowCount(), rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        QCOMPARE(rows.entries[static_cast<std::size_t>(row)].caption, std::to_string(row + 1));
        QVERIFY2(rows.kept(row) == records[static_cast<std::size_t>(row)].kept(),
                 "what the table shows is what a save writes");
    }
    QVERIFY2(sameRecordsFlagsAside(records, monkey.expected.value_or(before)),
             "no record is lost, changed or made up");
    QCOMPARE(action(window, "EnregistrerSous")->isEnabled(), window.store() != nullptr);
    for (std::size_t box = boxesBefore; box < monkey.ui.asked.size(); ++box)
        QVERIFY2(monkey.errorExpected || monkey.ui.asked[box].message.icon != MessageIcon::Error,
                 monkey.ui.asked[box].message.text.c_str());
}

void forgetAnswers(ScriptedUiServices& ui) {
    ui.answers.clear();
    ui.openAnswers.clear();
    ui.saveAnswers.clear();
    ui.directoryAnswers.clear();
    ui.dialogAnswers.clear();
}

int fromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT
private slots:
    void randomCommandsKeepTheWindowWhole_data() {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("steps");
        const int steps = fromEnvironment("VELDRO_MONKEY_STEPS", 250);
        const int chosen = fromEnvironment("VELDRO_MONKEY_SEED", 0);
        for (int seed = chosen ? chosen : 1; seed <= (chosen ? chosen : 4); ++seed)
            QTest::addRow("seed %d", seed) << seed << steps;
    }

    void randomCommandsKeepTheWindowWhole() {
        QFETCH(int, seed);
        QFETCH(int, steps);
        Monkey monkey(static_cast<unsigned>(seed));
        const auto& commands = Monkey::commands();
        std::deque<const char*> history;
        for (int step = 1; step <= steps; ++step) {
            const MonkeyCommand& command =
                commands[static_cast<std::size_t>(monkey.pick(static_cast<int>(commands.size())))];
            history.push_back(command.name);
            if (history.size() > 12) history.pop_front();
            const std::vector<MeasurementRecord> before = monkey.records();
            const std::size_t boxes = monkey.ui.asked.size();
            monkey.play(command);
            if (!QTest::currentTestFailed()) checkWindow(monkey, before, boxes);
            forgetAnswers(monkey.ui);
            if (QTest::currentTestFailed()) {
                std::cerr << "seed " << seed << ", step " << step << "; the last steps:";
                for (const char* name : history) std::cerr << ' ' << name;
                std::cerr << '\n';
                return;
            }
        }
        std::cout << "seed " << seed << ": " << steps << " steps, 0 failures\n";
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_qtest.moc"
