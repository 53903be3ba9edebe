// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace km740 {

class FileListTable;

// The dialogs a list printout asks through. Tests replace them so nothing
// blocks.
struct PrintDialogs {
    // A message the user must see (the printer note, a printer that failed).
    std::function<void(QWidget*, const QString& text, bool critical)> message;
    // The printer dialog ("Print to PDF" among its printers): a printer set
    // up with the user's choice and copies, or null when cancelled.
    std::function<std::unique_ptr<QPrinter>(QWidget*)> printer;
    // "Input record(s) to print in one row (1-5)", default "1": the answer,
    // empty when cancelled.
    std::function<std::optional<QString>(QWidget*)> recordsPerRow;

    static PrintDialogs desktop();
};

// The "Print" of every list window: asks for the printer, shows the printer
// note, asks a level set for its records per line, then prints the table's
// list copy after copy in one job, the record row in the window's caption
// meanwhile. A cancelled dialog prints nothing.
void printListTable(QWidget& window, const PrintDialogs& dialogs, const FileListTable& table, const Regional& regional);

} // namespace km740
