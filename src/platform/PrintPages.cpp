// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrintPages.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>

namespace km740 {

QFont PrintPages::printFont()
{
    QFont font = QFontDatabase::families().contains(QStringLiteral("Lucida Console"))
                     ? QFont(QStringLiteral("Lucida Console"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(8.0);
    return font;
}

PrintPages::PrintPages(QPagedPaintDevice& device) : device_(device)
{
    if (!painter_.begin(&device_))
        return;
    painter_.setFont(printFont());
    const QFontMetrics metrics(painter_.font(), &device_);
    lineHeight_ = metrics.lineSpacing();
    ascent_ = metrics.ascent();
    pageHeight_ = painter_.viewport().height();
}

PrintPages::~PrintPages()
{
    finish();
}

void PrintPages::newPage()
{
    device_.newPage();
    ++pages_;
    y_ = 0;
    pageUsed_ = false;
}

void PrintPages::line(std::string_view utf8)
{
    if (!painter_.isActive())
        return;
    if (pageUsed_ && y_ + lineHeight_ > pageHeight_)
        newPage();
    painter_.drawText(0, y_ + ascent_, QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    y_ += lineHeight_;
    pageUsed_ = true;
}

void PrintPages::newCopy()
{
    if (painter_.isActive() && pageUsed_)
        newPage();
}

void PrintPages::finish()
{
    if (painter_.isActive())
        painter_.end();
}

} // namespace km740
