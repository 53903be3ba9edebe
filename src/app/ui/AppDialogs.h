// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace km740 {

// The desktop dialogs the main window and the windows it opens ask. Tests
// replace them so nothing blocks.
struct AppDialogs {
    // The save dialog of the recording, opened in a folder: the full path,
    // or empty when cancelled.
    std::function<std::optional<QString>(QWidget*, const QString& folder)> saveFile;
    // "All the automatically recorded data in memory will be deleted!": OK?
    std::function<bool(QWidget*)> confirmErase;
    // The service code input box: the answer, or empty when cancelled.
    std::function<std::optional<QString>(QWidget*)> serviceCode;
    // A message the user must see (critical: "No Device Found!").
    std::function<void(QWidget*, const QString& text, bool critical)> message;
    // The open dialog of "Open": the full path, or empty when cancelled.
    std::function<std::optional<QString>(QWidget*)> openDataFile;
    // Opens a help file with the desktop's viewer.
    std::function<bool(const QString& path)> openFile;
    // The regional settings, read at every poll tick.
    std::function<QLocale()> locale;

    static AppDialogs desktop();
};

// A message over `parent` that blocks that window alone, not the program.
void showWindowMessage(QWidget* parent, const QString& text, bool critical);

} // namespace km740
