#pragma once

// What the picture subcommands share: where the picture goes, its size, and
// the offscreen application that draws it. Qt starts here, and nowhere else
// in the tool.
#include "cli.h"

#include <QApplication>
#include <QSize>
#include <QString>
#include <string>

namespace veldro::cli {

struct PictureRequest {
    std::string output; // as the user named it
    QString path;
    QSize size;
};

// -o (a .png, .svg or .pdf name) and --width, --height (200 to 10000 pixels,
// `designSize` unless given).
PictureRequest pictureRequest(const Arguments& args, QSize designSize);

// A QApplication on a platform without a screen (VELDRO_HEADLESS_PLATFORM:
// offscreen, on Windows minimal with fonts) that says only Qt's errors: its
// remarks (a missing runtime folder, say) are no news to the user.
class OffscreenApplication {
private:
    // First, so that the application's own start says nothing either.
    struct QuietQt {
        QuietQt();
    } quiet_;
    int argc_ = 3;
    char program_[11] = "veldro-cli", option_[10] = "-platform";
    char platform_[sizeof(VELDRO_HEADLESS_PLATFORM)] = VELDRO_HEADLESS_PLATFORM;
    char* argv_[4] = {program_, option_, platform_, nullptr};
    QApplication application_{argc_, argv_};
};

} // namespace veldro::cli
