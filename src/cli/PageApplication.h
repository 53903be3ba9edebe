// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGuiApplication>
#include <QtGlobal>

namespace km740::cli {

// What a command that draws pages (PDF, pictures) holds while it draws:
// fonts need a GUI application, but no display is needed to write a file,
// so without one it runs offscreen.
class PageApplication {
public:
    PageApplication() : app_(args_.argc, args_.argv) {}

private:
    struct Args {
        Args()
        {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        int argc = 1;
        char name[11] = "km740-tool";
        char* argv[2] = {name, nullptr};
    };
    Args args_;
    QGuiApplication app_;
};

} // namespace km740::cli
