// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a file list window hands to the archive for "File in archive": its
// data file, and where to say how the filing went. The archive's windows
// register a sink (Keys.cpp); until then the key stays disabled.

#include <QString>

#include <functional>

class QWidget;

namespace km740 {

struct ArchiveRequest {
    QWidget* from = nullptr; // the list window
    QString dataPath;        // the data file shown; its analysis file lies beside it
    // Shows the outcome in the list window; does nothing once it is closed.
    std::function<void(const QString& outcome)> tell;
};

using ArchiveSink = std::function<void(const ArchiveRequest&)>;

} // namespace km740
