// "Model...": the window over the example model, the data set's profile with
// the curves, the table and the mouse changing the bodies, an inverted grid,
// undo and redo, and model files.
#include "../../app/app_test_support.h"
#include "interpretation/ui/fit_chart.h"
#include "interpretation/ui/model_charts.h"
#include "interpretation/ui/model_window.h"
#include "interpretation/ui/response_runner.h"
#include "widgets/help_window.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableWidget>
#include <atomic>

using namespace veldro;
using namespace veldro::test;

class ModelWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Session> s;

    // Triggers "Model..."; `act` runs on the window once its first curves are shown.
    void runWindow(const std::function<void(ModelWindow&)>& act) {
        bool shown = false;
        s->ui.dialogAnswers.push_back([&](QDialog& dialog) {
            auto* window = qobject_cast<ModelWindow*>(&dialog);
            QVERIFY(window);
            shown = true;
            QVERIFY(settled(*window));
            act(*window);
        });
        action(s->window, "Model")->trigger();
        QVERIFY(shown);
    }

    // Waits for the curves of the model as it stands.
    static bool settled(ModelWindow& window) {
        QSignalSpy shown(&window, &ModelWindow::curvesShown);
        return shown.wait(20000); // the sanitizers slow the solver several times over
    }

    static std::vector<QPointF> firstTilt(const ModelWindow& window) {
        return window.view().curves().curves().front().computed;
    }

private slots:
    void init() { s = std::make_unique<Session>(); }
    void cleanup() { s.reset(); }

    void opensOnTheExampleModelAndDrawsTheProfilePicked() {
        openSurvey(*s, {record({.station = 0, .tilt = 12}), record({.station = 25, .tilt = -8})});
        runWindow([](ModelWindow& window) {
            QCOMPARE(window.model().bodies.size(), 4u);
            const FitChart& curves = window.view().curves();
            QCOMPARE(curves.curves().size(), 4u); // tilt and ellipticity at two frequencies
            QCOMPARE(curves.curves()[0].title, QStringLiteral("Tilt.ver(%) 19800 Hz"));
            QCOMPARE(curves.curves()[0].computed.size(), 41u);
            auto* profiles = part<QListWidget>(window, "Profiles");
            QCOMPARE(profiles->count(), 2);
            // The line under the window times the computation, not the pick.
            const QString timed = part<QLabel>(window, "Note")->text();
            QVERIFY2(timed.endsWith(QStringLiteral(" ms after the last change")),
                     qPrintable(timed));
            QTest::qWait(20);
            profiles->setCurrentRow(1);
            QCOMPARE(part<QLabel>(window, "Note")->text(), timed);
            // Measured at 16000 Hz, where the model computes nothing: curves of their own.
            QCOMPARE(curves.curves().size(), 6u);
            const FitCurve& observed = curves.curves()[0];
            QCOMPARE(observed.title, QStringLiteral("Tilt.ver(%) 16000 Hz"));
            QCOMPARE(observed.observed, (std::vector<QPointF>{{0, 12}, {25, -8}}));
            QVERIFY(observed.computed.empty());
        });
    }

    void f1OpensTheWindowsOwnPageOfTheGuide() {
        runWindow([&](ModelWindow& window) {
            window.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &window);
            QTest::keyClick(&window, Qt::Key_F1);
        });
        QCOMPARE(s->ui.helpContexts, std::vector<int>{kModelWindowHelp});
        QCOMPARE(helpPage(kModelWindowHelp), QStringLiteral("model.html#window"));
    }

    void aNumberTypedInTheTableChangesTheCurves() {
        runWindow([](ModelWindow& window) {
            const std::vector<QPointF> before = firstTilt(window);
            auto* table = part<QTableWidget>(window, "Bodies");
            table->item(0, 4)->setText(QStringLiteral("5000")); // the 5 ohm.m block, resistive
            QVERIFY(settled(window));
            QCOMPARE(window.model().bodies[0].resistivity, 5000.0);
            QVERIFY(firstTilt(window) != before);
            // A body cannot reach above the surface: refused, and left as it was.
            table->item(0, 1)->setText(QStringLiteral("-3"));
            QCOMPARE(boundingBox(window.model().bodies[0]).top, 15.0);
            QCOMPARE(table->item(0, 1)->text(), QStringLiteral("15"));
        });
    }

    void aDragMovesTheBodyAndACornerStretchesIt() {
        runWindow([](ModelWindow& window) {
            ModelView& view = window.view();
            QWidget* surface = view.viewport();
            // The block from 800 to 900 m, 60 to 120 m deep.
            QTest::mousePress(surface, Qt::LeftButton, {}, view.viewPoint({850, 90}).toPoint());
            QTest::mouseMove(surface, view.viewPoint({900, 90}).toPoint());
            QTest::mouseRelease(surface, Qt::LeftButton, {}, view.viewPoint({900, 90}).toPoint());
            SectionBox box = boundingBox(window.model().bodies[3]);
            const double metre = 1000.0 / view.width() * 2; // a pixel or two
            QVERIFY(std::abs(box.left - 850) < metre);
            QVERIFY(std::abs(box.top - 60) < metre);
            QCOMPARE(box.right - box.left, 100.0);
            QVERIFY(settled(window));
            // The picked body's bottom right corner, dragged deeper.
            const QPoint corner = view.viewPoint({box.right, box.bottom}).toPoint();
            QTest::mousePress(surface, Qt::LeftButton, {}, corner);
            QTest::mouseMove(surface, corner + QPoint(0, 40));
            QTest::mouseRelease(surface, Qt::LeftButton, {}, corner + QPoint(0, 40));
            box = boundingBox(window.model().bodies[3]);
            QVERIFY(box.bottom > 130);
            QVERIFY(std::abs(box.top - 60) < metre);
        });
    }

    // A body added lies clear of the others; Delete picks the next body, so
    // that Delete again takes it out too, and a row is highlighted only when
    // its body is picked.
    void addedBodiesLieApartAndDeleteGoesOnThroughThem() {
        runWindow([](ModelWindow& window) {
            part<QPushButton>(window, "AddSheet")->click();
            part<QPushButton>(window, "AddRectangle")->click();
            const std::vector<Body> bodies = window.model().bodies;
            QCOMPARE(bodies.size(), 6u);
            for (std::size_t added : {4u, 5u})
                for (std::size_t other = 0; other < bodies.size(); ++other) {
                    const SectionBox a = boundingBox(bodies[added]), b = boundingBox(bodies[other]);
                    QVERIFY2(other == added || a.right <= b.left || b.right <= a.left ||
                                 a.bottom <= b.top || b.bottom <= a.top,
                             qPrintable(QStringLiteral("%1 on %2").arg(added).arg(other)));
                }

            auto* table = part<QTableWidget>(window, "Bodies");
            const auto highlighted = [table] {
                QList<int> rows;
                for (const QModelIndex& row : table->selectionModel()->selectedRows())
                    rows << row.row();
                return rows;
            };
            auto* remove = part<QPushButton>(window, "DeleteBody");
            emit window.view().bodyPicked(1);
            remove->click();
            QCOMPARE(highlighted(), QList<int>{1});
            remove->click();
            QCOMPARE(window.model().bodies,
                     (std::vector<Body>{bodies[0], bodies[3], bodies[4], bodies[5]}));
            emit window.view().bodyPicked(-1);
            QCOMPARE(highlighted(), QList<int>{});
            remove->click(); // nothing picked, nothing taken out
            QCOMPARE(window.model().bodies.size(), 4u);
        });
    }

    void aBadModelFileIsToldByItsKeyAndChangesNothing() {
        const QString path = s->sandbox.file("bad.json");
        writeText(path,
                  R"({"layers": [{"resistivity": -1}], "stations": [0], "frequencies": [1]})");
        s->ui.openAnswers.push_back(path);
        runWindow([&](ModelWindow& window) {
            part<QPushButton>(window, "OpenModel")->click();
            QCOMPARE(window.model().bodies.size(), 4u);
        });
        QCOMPARE(s->ui.asked.size(), 1u);
        QCOMPARE(s->ui.asked.front().message.text,
                 path.toStdString() + ": layers[0].resistivity: must be a number above 0");
    }

    void aSavedModelReadsBackTheSame() {
        const QString path = s->sandbox.file("saved.json");
        s->ui.saveAnswers.push_back(path);
        GroundModel shown;
        runWindow([&](ModelWindow& window) {
            part<QPushButton>(window, "AddSheet")->click();
            part<QPushButton>(window, "SaveModel")->click();
            shown = window.model();
            part<QPushButton>(window, "DeleteBody")->click();
            s->ui.answers.push_back(QMessageBox::Cancel);
            window.reject(); // changed since saved: asked, and cancelled
            QCOMPARE(s->ui.asked.size(), 1u);
            QVERIFY(window.isVisible());
            s->ui.saveAnswers.push_back(s->sandbox.file("other.json"));
            part<QPushButton>(window, "SaveModel")->click();
            window.reject(); // saved: closed without a question
            QCOMPARE(s->ui.asked.size(), 1u);
            QVERIFY(!window.isVisible());
        });
        QCOMPARE(shown.bodies.size(), 5u);
        QVERIFY(readGroundModel(path.toStdString()) == shown);
    }

    // An inversion's model file: the grid is one row, which the mouse does
    // not pick; a body drawn over it; the grid deleted whole; Ctrl+Z and
    // Ctrl+Shift+Z take the edits back and make them again; saved, the
    // same bytes as opened.
    void anInvertedGridIsOneThingAndEditsOnItAreUndone() {
        const GroundModel inverted = parseGroundModel(R"({"layers": [{"resistivity": 300}],
            "bodies": [{"grid": {"x": [-100, 500, 1100], "z": [0, 40, 250],
                "resistivity": [[10, 300], [1000, 50]], "sensitivity": [[1, 1], [0.5, 0]]}}],
            "stations": {"from": 0, "to": 1000, "step": 25}, "frequencies": [19800]})");
        const QString path = s->sandbox.file("inverted.json"),
                      saved = s->sandbox.file("saved.json");
        writeText(path, QByteArray::fromStdString(groundModelJson(inverted)));
        s->ui.openAnswers.push_back(path);
        s->ui.saveAnswers.push_back(saved);
        runWindow([&](ModelWindow& window) {
            part<QPushButton>(window, "OpenModel")->click();
            QCOMPARE(window.model(), inverted);
            QCOMPARE(&window.view().section(),
                     static_cast<StationChart*>(&window.view().gridSection()));
            auto* table = part<QTableWidget>(window, "Bodies");
            QCOMPARE(table->rowCount(), 1);
            QCOMPARE(table->item(0, 4)->text(), QStringLiteral("Grid of 4 cells"));
            QVERIFY(!(table->item(0, 4)->flags() & Qt::ItemIsEditable));
            part<QPushButton>(window, "SaveModel")->click();

            part<QPushButton>(window, "AddRectangle")->click();
            QCOMPARE(table->rowCount(), 2);
            const GroundModel drawnOver = window.model();
            QCOMPARE(drawnOver.bodies.size(), 5u);
            // A drag on the grid away from the body moves nothing.
            ModelView& view = window.view();
            QWidget* surface = view.viewport();
            QTest::mousePress(surface, Qt::LeftButton, {}, view.viewPoint({100, 150}).toPoint());
            QTest::mouseMove(surface, view.viewPoint({200, 150}).toPoint());
            QTest::mouseRelease(surface, Qt::LeftButton, {}, view.viewPoint({200, 150}).toPoint());
            QCOMPARE(window.model(), drawnOver);

            table->setCurrentCell(0, 0);
            part<QPushButton>(window, "DeleteBody")->click();
            QVERIFY(!window.model().grid);
            QCOMPARE(window.model().bodies, std::vector<Body>{drawnOver.bodies.back()});
            QCOMPARE(table->rowCount(), 1);

            window.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &window);
            QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(window.model(), drawnOver);
            QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(!window.model().grid);
            QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
            part<QPushButton>(window, "Undo")->click();
            QCOMPARE(window.model(), inverted);
            QVERIFY(!part<QPushButton>(window, "Undo")->isEnabled());
            QVERIFY(part<QPushButton>(window, "Redo")->isEnabled());
            window.reject(); // back as saved: closed without a question
            QVERIFY(!window.isVisible());
        });
        QVERIFY(s->ui.asked.empty());
        QCOMPARE(fileBytes(saved), fileBytes(path));
    }

    // Closing the window (Esc) ends its runner while a long computation may
    // run: the window goes at once, and the computation ends on its own.
    void aComputationUnderWayDoesNotHoldTheWindowThatCloses() {
        auto gate = std::make_shared<QSemaphore>();
        auto over = std::make_shared<std::atomic<bool>>(false);
        {
            ResponseRunner runner(nullptr, [gate, over](const GroundModel&) {
                gate->tryAcquire(1, 3000);
                *over = true;
                return std::vector<StationResponse>{};
            });
            runner.request(GroundModel{});
        }
        QVERIFY(!*over);
        gate->release();
        QTRY_VERIFY(*over);
    }
};

QTEST_MAIN(ModelWindowTest)
#include "model_window_qtest.moc"
