// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exposure report on the pages of a printer, a print preview or a PDF
// writer: one layout, text kept as text.

#include "core/report/ReportContent.h"
#include "core/report/WeekReport.h"

#include <QPageSize>

#include <string>

class QDateTime;
class QLocale;
class QPagedPaintDevice;

namespace km740 {

// Lays the report out on the device's pages (its page size and margins)
// and paints them: head, time history, exclusions, summary and standards,
// histogram, notes; a foot with the page number on every page. Gives the
// number of pages, 0 when the device cannot be painted on.
int paintReport(QPagedPaintDevice& device, const ReportContent& content);
// A person's week in the same way: head, the days worked, the week judged,
// notes, foot.
int paintReport(QPagedPaintDevice& device, const WeekReportContent& content);

// A4, or Letter where the locale's paper is Letter: the paper setting of
// the environment (LC_PAPER) where the system has one, else the country.
QPageSize::PageSizeId reportPaper(const QLocale& locale);

// "km740 0.1.0", for the foot.
std::string programAndVersion();
// "2026-12-07 14:05", when a report is made.
std::string reportMadeAt(const QDateTime& when);

} // namespace km740
