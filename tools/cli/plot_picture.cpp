#include "plot_picture.h"

#include "charts/chart_image.h"
#include "charts/local_file_name.h"

#include <iostream>

namespace veldro::cli {

namespace {

void sayQtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

} // namespace

PictureRequest pictureRequest(const Arguments& args, QSize designSize) {
    PictureRequest request;
    request.output = requireOutput(args);
    request.path = qtName(request.output);
    if (!isChartImageName(request.path))
        throw UsageError("-o names a .png, .svg or .pdf file, not " + request.output);
    request.size = QSize(wholeOption(args, "--width", designSize.width(), kLeastPictureSide,
                                     kMostPictureSide, "pixels"),
                         wholeOption(args, "--height", designSize.height(), kLeastPictureSide,
                                     kMostPictureSide, "pixels"));
    return request;
}

OffscreenApplication::QuietQt::QuietQt() {
    qInstallMessageHandler(sayQtErrorsOnly);
}

} // namespace veldro::cli
