// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pieces of the exposure report that are pictures: the time-history
// chart and the level histogram, drawn with a QPainter into a rectangle, so
// the same code paints the preview, the printer, the PDF and a saved image.

#include "core/report/ReportContent.h"

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

namespace km740 {

// Fonts and line widths of a drawing, in the units of the device painted on.
struct DrawingScale {
    double mm = 1.0; // device units per millimetre
    QFont text;      // labels
    QFont small;     // axis numbers, line labels
    static DrawingScale forDevice(double dotsPerInch, const QFont& base);
};

// The shade of the spans left out: light enough to read the levels
// through, hatched so that it shows on a black and white page too.
inline const QColor kExcludedShade{0xcc, 0xd8, 0xe8};

void drawTimeHistory(QPainter& painter, const QRectF& area, const ReportChart& chart, const DrawingScale& scale);
void drawHistogram(QPainter& painter, const QRectF& area, const ReportHistogram& histogram, const DrawingScale& scale);

} // namespace km740
