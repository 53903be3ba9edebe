// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ReportPdf.h"

#include "platform/AtomicDevice.h"
#include "platform/PictureFile.h"
#include "platform/ReportDrawing.h"
#include "platform/ReportPages.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace km740 {

namespace {

template <typename Content>
Result<int> writePdf(const std::filesystem::path& target, const Content& content, QPageSize::PageSizeId paper)
{
    auto file = AtomicFile::create(target);
    if (!file)
        return file.error();
    AtomicDevice device(*file);
    int pages = 0;
    {
        QPdfWriter pdf(&device);
        pdf.setResolution(600);
        pdf.setPageLayout(
            QPageLayout(QPageSize(paper), QPageLayout::Portrait, QMarginsF(15, 14, 15, 10), QPageLayout::Millimeter));
        pdf.setTitle(QString::fromStdString(content.title));
        pdf.setCreator(QString::fromStdString(content.program));
        pages = paintReport(pdf, content);
    }
    if (pages == 0)
        return failure(FailureKind::io, "cannot write " + target.string());
    if (!device.status())
        return device.status().error();
    if (auto committed = file->commit(); !committed)
        return committed.error();
    return pages;
}

} // namespace

Result<int> writeReportPdf(const std::filesystem::path& target, const ReportContent& content,
                           QPageSize::PageSizeId paper)
{
    return writePdf(target, content, paper);
}

Result<int> writeReportPdf(const std::filesystem::path& target, const WeekReportContent& content,
                           QPageSize::PageSizeId paper)
{
    return writePdf(target, content, paper);
}

Status writeReportChart(const std::filesystem::path& target, const ReportChart& chart)
{
    // 180 mm by 82 mm, as on the page, at 200 dots per inch.
    constexpr double dpi = 200.0;
    const QSize size(static_cast<int>(180 / 25.4 * dpi), static_cast<int>(82 / 25.4 * dpi));
    return writePicture(
        target, size, dpi,
        [&](QPainter& p) {
            const DrawingScale scale = DrawingScale::forDevice(p.device()->logicalDpiY(),
                                                               QFontDatabase::systemFont(QFontDatabase::GeneralFont));
            drawTimeHistory(p, QRectF(QPointF(0, 0), QSizeF(size)), chart, scale);
        },
        QString::fromStdString(chart.title));
}

} // namespace km740
