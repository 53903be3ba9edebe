// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRawFont>
#include <QVector>

#include <array>
#include <cstdint>
#include <string_view>

class QPagedPaintDevice;

namespace km740 {

// Puts printout lines on the pages of a printer or PDF, one drawing path for
// both: a monospaced font at 8 points ("Lucida Console" when installed, else
// the system's fixed font), a new page when the next line would not fit.
class PrintPages {
public:
    explicit PrintPages(QPagedPaintDevice& device);
    ~PrintPages();
    PrintPages(const PrintPages&) = delete;
    PrintPages& operator=(const PrintPages&) = delete;

    // False when the device cannot be painted on (no printer, a PDF that
    // cannot be written).
    bool isActive() const { return painter_.isActive(); }

    void line(std::string_view utf8);
    // The next copy starts on a new page.
    void newCopy();
    // Ends the job; the lines are on the device.
    void finish();

    int pages() const { return pages_; }
    static QFont printFont();

private:
    void newPage();
    // Draws an ASCII line from glyphs looked up once per character; false
    // for a line with other characters, which is drawn as text.
    bool drawAscii(std::string_view line, int baseline);

    QPagedPaintDevice& device_;
    QPainter painter_;
    int lineHeight_ = 0;
    int ascent_ = 0;
    int pageHeight_ = 0;
    int y_ = 0;
    int pages_ = 1;
    bool pageUsed_ = false;
    // A printout has a million lines of the same few characters: their
    // glyphs and advances are found once, not shaped again for every line.
    QRawFont raw_;
    std::array<std::uint32_t, 128> glyph_{};
    std::array<qreal, 128> advance_{};
    QVector<std::uint32_t> indexes_;
    QVector<QPointF> positions_;
};

} // namespace km740
