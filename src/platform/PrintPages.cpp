// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrintPages.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
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

    raw_ = QRawFont::fromFont(painter_.font());
    if (!raw_.isValid())
        return;
    QString printable;
    for (char16_t c = 32; c < 127; ++c)
        printable += QChar(c);
    const QVector<quint32> found = raw_.glyphIndexesForString(printable);
    if (found.size() != printable.size()) {
        raw_ = QRawFont();
        return;
    }
    const QVector<QPointF> advances = raw_.advancesForGlyphIndexes(found);
    for (int i = 0; i < found.size(); ++i) {
        // A character the font has no glyph for is drawn as text.
        glyph_[static_cast<std::size_t>(32 + i)] = found[i];
        advance_[static_cast<std::size_t>(32 + i)] = advances.value(i).x();
    }
}

bool PrintPages::drawAscii(std::string_view line, int baseline)
{
    if (!raw_.isValid())
        return false;
    indexes_.clear();
    positions_.clear();
    qreal x = 0;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u >= 127 || (u != ' ' && glyph_[u] == 0))
            return false;
        if (u != ' ') {
            indexes_.push_back(glyph_[u]);
            positions_.push_back(QPointF(x, 0));
        }
        x += advance_[u];
    }
    if (indexes_.isEmpty())
        return true;
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    painter_.drawGlyphRun(QPointF(0, baseline), run);
    return true;
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
    if (!drawAscii(utf8, y_ + ascent_))
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
