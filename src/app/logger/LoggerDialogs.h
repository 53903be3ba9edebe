// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ListPrint.h"

#include <QString>

#include <functional>

class QWidget;

namespace km740 {

// The dialogs of the logger windows. Each file dialog gives the chosen path,
// or an empty string when the user cancelled. Tests answer them without a dialog.
struct LoggerDialogs {
    // Report header texts: ".nse" and ".cna".
    std::function<QString(QWidget*)> openHeaderText;
    std::function<QString(QWidget*)> saveHeaderText;
    // Raw logger images: ".km740img".
    std::function<QString(QWidget*)> openImage;
    std::function<QString(QWidget*)> saveImage;
    // The printout of DataList and DataListdB.
    PrintDialogs print;

    static LoggerDialogs desktop();
};

} // namespace km740
