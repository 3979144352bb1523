// The guide's pictures show no folder of the machine they were taken on, only
// the home scripts/screenshot gives the program. They are read back by OCR
// (Debian's tesseract) where the program shows a file's name: the first lines
// of a window (the report's heading) and the status line, enlarged so that
// their small print reads.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>
#include <vector>

namespace {

const QString kPictures = QStringLiteral(VELDRO_GOLDEN_DIR "/../../docs");
constexpr int kTopBand = 116;
constexpr int kStatusBand = 32;
constexpr int kGap = 16;
constexpr int kScale = 2;

// The picture's two bands one above the other, grey and enlarged.
QImage bandsOf(const QImage& picture) {
    QImage bands(picture.width(), kTopBand + kGap + kStatusBand, QImage::Format_RGB32);
    bands.fill(Qt::white);
    QPainter painter(&bands);
    painter.drawImage(0, 0, picture.copy(0, 0, picture.width(), kTopBand));
    painter.drawImage(
        0, kTopBand + kGap,
        picture.copy(0, picture.height() - kStatusBand, picture.width(), kStatusBand));
    painter.end();
    return bands.convertToFormat(QImage::Format_Grayscale8)
        .scaled(bands.size() * kScale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Reading {
    QString picture;
    QString text;
};

// Each picture's text. A tesseract process reads a list of pictures, one page
// each, the pages parted by a form feed; one process a core.
std::vector<Reading> readPictures(const QStringList& pictures, const QDir& scratch) {
    const int processes = std::max(1, std::min(QThread::idealThreadCount(), 4));
    std::vector<QStringList> lists(static_cast<std::size_t>(processes));
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QString bands = scratch.filePath(pictures[i] + QStringLiteral(".pgm"));
        if (!bandsOf(QImage(kPictures + u'/' + pictures[i])).save(bands)) return {};
        lists[static_cast<std::size_t>(i % processes)] << pictures[i];
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    std::vector<std::unique_ptr<QProcess>> running;
    for (std::size_t p = 0; p < lists.size(); ++p) {
        const QString listFile = scratch.filePath(QStringLiteral("list%1.txt").arg(p));
        QFile list(listFile);
        if (!list.open(QIODevice::WriteOnly)) return {};
        for (const QString& picture : lists[p])
            list.write(scratch.filePath(picture + QStringLiteral(".pgm")).toUtf8() + '\n');
        list.close();
        running.push_back(std::make_unique<QProcess>());
        running.back()->setProcessEnvironment(environment);
        running.back()->start(QStringLiteral("tesseract"), {listFile, QStringLiteral("-")});
    }
    std::vector<Reading> readings;
    for (std::size_t p = 0; p < lists.size(); ++p) {
        QProcess& process = *running[p];
        if (!process.waitForFinished(120000) || process.exitCode() != 0) return {};
        const QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
        if (pages.size() < lists[p].size()) return {};
        for (qsizetype i = 0; i < lists[p].size(); ++i) readings.push_back({lists[p][i], pages[i]});
    }
    return readings;
}

} // namespace

class ScreenshotFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void picturesShowNoFolderButTheNeutralHome() {
        const QStringList pictures =
            QDir(kPictures).entryList({QStringLiteral("screenshot-*.png")}, QDir::Files);
        QVERIFY(pictures.contains(QStringLiteral("screenshot-main.png")));
        QTemporaryDir scratch;
        const std::vector<Reading> readings = readPictures(pictures, QDir(scratch.path()));
        QVERIFY2(readings.size() == static_cast<std::size_t>(pictures.size()),
                 "tesseract (the package tesseract-ocr) read no text");
        // Two slashes in a word make a path. The home's first slash may read as
        // another character, a text cursor before it as one more.
        const QRegularExpression path(QStringLiteral("\\S*/\\S*/\\S*"));
        const QRegularExpression neutral(QStringLiteral("^\\S{0,2}home/surveyor/"));
        QStringList strays;
        bool surveyRead = false;
        for (const Reading& reading : readings) {
            for (const auto& match : path.globalMatch(reading.text)) {
                const QString word = match.captured();
                if (!neutral.match(word).hasMatch())
                    strays << reading.picture + QStringLiteral(": ") + word;
                else if (reading.picture == QStringLiteral("screenshot-main.png"))
                    surveyRead = true;
            }
        }
        QVERIFY2(strays.isEmpty(), qPrintable(strays.join(u'\n')));
        // The main window's status line names the survey: the OCR reads what it must.
        QVERIFY(surveyRead);
    }
};

QTEST_MAIN(ScreenshotFoldersTest)
#include "screenshot_folders_qtest.moc"
