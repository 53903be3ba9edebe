// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QPainter;
class QPrinter;
class QRectF;
class QWidget;

namespace km740 {

// The desktop dialogs the chart windows ask. Tests replace them so nothing
// blocks.
struct ChartDialogs {
    // The printer dialog: sets the printer (orientation, copies, file) and
    // says whether to print.
    std::function<bool(QWidget* parent, QPrinter& printer)> choosePrinter;
    // A message box; critical ones carry the error icon.
    std::function<void(QWidget* parent, const QString& text, bool critical)> message;
    // A save dialog for a CSV file: the path, or empty when cancelled.
    std::function<QString(QWidget* parent, const QString& suggestedName)> saveCsv;

    static ChartDialogs desktop();
};

// Prints with the page of the chosen printer: calls draw with a painter on
// the printer and the page's printable rectangle. False when the dialog was
// cancelled or the printer could not be opened.
bool printPage(QWidget* parent, const ChartDialogs& dialogs,
               const std::function<void(QPainter&, const QRectF& page)>& draw);

} // namespace km740
