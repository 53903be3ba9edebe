// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/MeterDrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <algorithm>

static void initConfigResources()
{
    Q_INIT_RESOURCE(config);
}

namespace km740 {

namespace {

// Where the display's elements sit, in drawing pixels. Groups follow the
// meter's display: LCD1..4 the main digits (point in element 7 of LCD3),
// LCD5 A C SLOW FAST IMP Lavg min dB, LCD6 REC PAUSE MENU PEAK OVER UNDER
// Lcpk and the battery, LCD7..10 the small digits (colon in element 7 of
// LCD8), LCD11..12 the 16-step bar over the range.
const QColor litColour(0x1b, 0x22, 0x16);
const QColor ghostColour(0xa9, 0xb6, 0x93);

// Segments a..g of a seven-segment digit in a w x h box.
std::array<QPolygonF, 7> digitSegments(QRectF box)
{
    const double w = box.width(), h = box.height(), t = std::max(2.0, w * 0.16);
    const double x = box.x(), y = box.y(), m = y + h / 2;
    auto hbar = [&](double yy) {
        return QPolygonF({QPointF(x + t * 0.6, yy), QPointF(x + w - t * 0.6, yy), QPointF(x + w - t * 1.1, yy + t / 2),
                          QPointF(x + w - t * 0.6, yy + t), QPointF(x + t * 0.6, yy + t),
                          QPointF(x + t * 1.1, yy + t / 2)});
    };
    auto vbar = [&](double xx, double y0, double y1) {
        return QPolygonF({QPointF(xx + t / 2, y0 + t * 0.6), QPointF(xx + t, y0 + t * 1.1),
                          QPointF(xx + t, y1 - t * 1.1), QPointF(xx + t / 2, y1 - t * 0.6), QPointF(xx, y1 - t * 1.1),
                          QPointF(xx, y0 + t * 1.1)});
    };
    return {hbar(y),       vbar(x + w - t, y, m), vbar(x + w - t, m, y + h), hbar(y + h - t), vbar(x, m, y + h),
            vbar(x, y, m), hbar(m - t / 2)};
}

void paintDigit(QPainter& p, QRectF box, const std::array<bool, 8>& on)
{
    const auto segs = digitSegments(box);
    for (int s = 0; s < 7; ++s) {
        p.setBrush(on[static_cast<std::size_t>(s)] ? litColour : ghostColour);
        p.drawPolygon(segs[static_cast<std::size_t>(s)]);
    }
}

void paintWord(QPainter& p, QPointF at, const QString& text, bool on, int size)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(size);
    f.setBold(true);
    p.setFont(f);
    p.setPen(on ? litColour : ghostColour);
    p.drawText(at, text);
    p.setPen(Qt::NoPen);
}

} // namespace

MeterDrawing::MeterDrawing(QWidget* parent) : QWidget(parent)
{
    initConfigResources();
    setObjectName(QStringLiteral("MeterDrawing"));
    setAccessibleName(tr("Meter display"));
    svg_ = new QSvgRenderer(QStringLiteral(":/config/meter.svg"), this);
    setFixedSize(drawingSize);
}

void MeterDrawing::showSegments(const std::array<std::uint8_t, 12>& bytes)
{
    const SegmentBits next = ShowSegments(bytes);
    if (next == bits_)
        return;
    bits_ = next;
    update();
}

bool MeterDrawing::lit(int lcd, int element) const
{
    if (lcd < 1 || lcd > 12 || element < 0 || element > 7)
        return false;
    return bits_[static_cast<std::size_t>(lcd - 1)][static_cast<std::size_t>(element)];
}

void MeterDrawing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    svg_->render(&p, QRectF(QPointF(0, 0), QSizeF(drawingSize)));
    p.setPen(Qt::NoPen);

    // LCD5: weighting and average words along the top, dB beside the digits.
    static const char* lcd5[7] = {"A", "C", "SLOW", "FAST", "IMP", "Lavg", "min"};
    static const int lcd5x[7] = {46, 62, 80, 118, 156, 188, 226};
    for (int i = 0; i < 7; ++i)
        paintWord(p, QPointF(lcd5x[i], 106), QString::fromLatin1(lcd5[i]), lit(5, i), 10);
    paintWord(p, QPointF(236, 172), QStringLiteral("dB"), lit(5, 7), 16);

    // LCD1..4: the main digits; LCD3 element 7 is the point.
    for (int d = 0; d < 4; ++d) {
        std::array<bool, 8> on{};
        for (int i = 0; i < 8; ++i)
            on[static_cast<std::size_t>(i)] = lit(d + 1, i);
        paintDigit(p, QRectF(50 + d * 45, 114, 36, 62), on);
    }
    p.setBrush(lit(3, 7) ? litColour : ghostColour);
    p.drawEllipse(QRectF(50 + 2 * 45 + 38, 170, 6, 6));

    // LCD6: state words, two rows, and the battery.
    static const char* lcd6[7] = {"REC", "PAUSE", "MENU", "PEAK", "OVER", "UNDER", "Lcpk"};
    static const QPointF lcd6at[7] = {{46, 198}, {76, 198}, {118, 198}, {154, 198}, {46, 214}, {80, 214}, {124, 214}};
    for (int i = 0; i < 7; ++i)
        paintWord(p, lcd6at[i], QString::fromLatin1(lcd6[i]), lit(6, i), 10);
    p.setBrush(lit(6, 7) ? litColour : ghostColour);
    p.drawRect(QRectF(158, 205, 22, 10));
    p.drawRect(QRectF(180, 208, 3, 4));

    // LCD7..10: the small digits; LCD8 element 7 is the colon.
    for (int d = 0; d < 4; ++d) {
        std::array<bool, 8> on{};
        for (int i = 0; i < 8; ++i)
            on[static_cast<std::size_t>(i)] = lit(d + 7, i);
        paintDigit(p, QRectF(194 + d * 20 + (d >= 2 ? 6 : 0), 190, 15, 26), on);
    }
    p.setBrush(lit(8, 7) ? litColour : ghostColour);
    p.drawEllipse(QRectF(236, 196, 3.5, 3.5));
    p.drawEllipse(QRectF(236, 206, 3.5, 3.5));

    // LCD11..12: the bar, 16 steps.
    for (int s = 0; s < 16; ++s) {
        p.setBrush(lit(11 + s / 8, s % 8) ? litColour : ghostColour);
        p.drawRect(QRectF(48 + s * 14, 230 + (15 - s) * 0.5, 11, 14 - (15 - s) * 0.5));
    }
}

} // namespace km740
