// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
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
    // A save dialog for a picture, PNG or SVG: the path, or empty when cancelled.
    std::function<QString(QWidget* parent, const QString& suggestedName)> saveImage;

    static ChartDialogs desktop();
};

// Prints with the page of the chosen printer: calls draw with a painter on
// the printer and the page's printable rectangle. False when the dialog was
// cancelled or the printer could not be opened.
bool printPage(QWidget* parent, const ChartDialogs& dialogs,
               const std::function<void(QPainter&, const QRectF& page)>& draw);

// "Save Image": asks where, then writes a picture of `size` pixels, PNG or
// SVG by the name's extension, painted by `draw` into (0, 0, size) with the
// drawing code of the print. A picture that could not be written says why.
// False when the dialog was cancelled or the write failed.
bool saveImage(QWidget* parent, const ChartDialogs& dialogs, const QString& suggestedName, const QSize& size,
               const std::function<void(QPainter&, const QRectF& target)>& draw);

} // namespace km740
