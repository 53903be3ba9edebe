// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ReportDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>

namespace km740 {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

QPen pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(colour, width, style, Qt::FlatCap, Qt::MiterJoin);
    return p;
}

// A label with a white box behind it, so lines under it do not cross it.
void boxedText(QPainter& p, const QPointF& bottomLeft, const QString& text, const QFont& font, double pad)
{
    const QFontMetricsF m(font, p.device());
    const QRectF box(bottomLeft.x() - pad, bottomLeft.y() - m.ascent() - pad, m.horizontalAdvance(text) + 2 * pad,
                     m.ascent() + m.descent() + 2 * pad);
    p.fillRect(box, Qt::white);
    p.setFont(font);
    p.drawText(QPointF(bottomLeft.x(), bottomLeft.y()), text);
}

// Clock-time ticks: the first step that gives at most eight of them.
double tickStep(double span)
{
    constexpr std::array<double, 14> steps = {60,    300,   600,   900,   1800,   3600,   7200,
                                              10800, 21600, 43200, 86400, 172800, 604800, 2419200};
    for (double s : steps)
        if (span / s <= 8.0)
            return s;
    return steps.back();
}

QString clockLabel(LocalSeconds t, bool withDate)
{
    const std::string text = formatLocalTime(t); // YYYY-MM-DDTHH:MM:SS
    if (text.size() < 16)
        return qs(text);
    return qs(withDate ? text.substr(5, 5) + " " + text.substr(11, 5) : text.substr(11, 5));
}

QPen linePen(ChartLine::Kind kind, double mm)
{
    switch (kind) {
    case ChartLine::Kind::limit: return pen(QColor(0xb0, 0x10, 0x10), 0.5 * mm);
    case ChartLine::Kind::criterion: return pen(QColor(0x10, 0x30, 0x90), 0.35 * mm);
    case ChartLine::Kind::action: break;
    }
    QPen p = pen(QColor(0xc0, 0x60, 0x00), 0.35 * mm, Qt::CustomDashLine);
    p.setDashPattern({6, 3});
    return p;
}

} // namespace

DrawingScale DrawingScale::forDevice(double dotsPerInch, const QFont& base)
{
    DrawingScale s;
    s.mm = dotsPerInch / 25.4;
    s.text = base;
    s.text.setPointSizeF(8.0);
    s.small = base;
    s.small.setPointSizeF(6.5);
    return s;
}

void drawTimeHistory(QPainter& p, const QRectF& area, const ReportChart& chart, const DrawingScale& scale)
{
    const double mm = scale.mm;
    const QFontMetricsF small(scale.small, p.device());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot = area.adjusted(11 * mm, small.height() + 1.5 * mm, -1 * mm, -(small.height() + 5 * mm));
    const double span = chart.spanSeconds > 0 ? chart.spanSeconds : 1.0;
    const double levels = chart.levelMax - chart.levelMin > 0 ? chart.levelMax - chart.levelMin : 1.0;
    auto x = [&](double seconds) { return plot.left() + plot.width() * seconds / span; };
    auto y = [&](double level) { return plot.bottom() - plot.height() * (level - chart.levelMin) / levels; };

    // Spans left out: shaded, hatched, numbered.
    for (const ChartSpan& s : chart.excluded) {
        const QRectF r(QPointF(x(s.fromSeconds), plot.top()), QPointF(x(s.toSeconds), plot.bottom()));
        p.fillRect(r, kExcludedShade);
        p.fillRect(r, QBrush(QColor(0x90, 0x90, 0x90), Qt::BDiagPattern));
    }

    // Level grid every 10 dB.
    p.setFont(scale.small);
    for (double level = std::ceil(chart.levelMin / 10.0) * 10.0; level <= chart.levelMax + 1e-9; level += 10.0) {
        p.setPen(pen(QColor(0xc8, 0xc8, 0xc8), 0.15 * mm));
        p.drawLine(QPointF(plot.left(), y(level)), QPointF(plot.right(), y(level)));
        p.setPen(Qt::black);
        const QString text = QString::number(level, 'f', 0);
        p.drawText(QPointF(plot.left() - 1.2 * mm - small.horizontalAdvance(text), y(level) + small.ascent() / 2.5),
                   text);
    }
    // Clock-time ticks.
    const double step = tickStep(span);
    const bool withDate = span > 86400.0;
    const auto first = static_cast<LocalSeconds>(std::ceil(static_cast<double>(chart.from) / step) * step);
    for (LocalSeconds t = first; static_cast<double>(t - chart.from) <= span; t += static_cast<LocalSeconds>(step)) {
        const double tx = x(static_cast<double>(t - chart.from));
        p.setPen(pen(QColor(0xc8, 0xc8, 0xc8), 0.15 * mm));
        p.drawLine(QPointF(tx, plot.top()), QPointF(tx, plot.bottom()));
        p.setPen(Qt::black);
        const QString text = clockLabel(t, withDate);
        p.drawText(QPointF(tx - small.horizontalAdvance(text) / 2, plot.bottom() + 1 * mm + small.ascent()), text);
    }

    // The levels: a grey band from each column's lowest to its highest
    // reading, and the column's equivalent level as the line over it.
    p.setClipRect(plot);
    for (const auto& run : chart.runs) {
        QPolygonF band;
        QPolygonF leq;
        for (const ChartPoint& pt : run) {
            band << QPointF(x(pt.seconds), y(pt.high));
            leq << QPointF(x(pt.seconds), y(pt.leq));
        }
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            band << QPointF(x(it->seconds), y(it->low));
        p.setPen(pen(QColor(0xa8, 0xa8, 0xa8), 0.1 * mm));
        p.setBrush(QColor(0xb8, 0xb8, 0xb8));
        p.drawPolygon(band);
        p.setPen(pen(Qt::black, 0.25 * mm));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(leq);
    }
    // Criterion, action and limit levels.
    for (const ChartLine& l : chart.lines) {
        p.setPen(linePen(l.kind, mm));
        p.drawLine(QPointF(plot.left(), y(l.level)), QPointF(plot.right(), y(l.level)));
    }
    p.setPen(Qt::black);
    for (const ChartLine& l : chart.lines) {
        const QString text = qs(l.label);
        boxedText(p, QPointF(plot.right() - small.horizontalAdvance(text) - 1.5 * mm, y(l.level) - 0.8 * mm), text,
                  scale.small, 0.3 * mm);
    }
    for (const ChartSpan& s : chart.excluded) {
        const double width = x(s.toSeconds) - x(s.fromSeconds);
        QString text = qs(s.label);
        if (small.horizontalAdvance(text) > width - 1 * mm)
            text = small.elidedText(text, Qt::ElideRight, std::max(width - 1 * mm, small.horizontalAdvance("8")));
        boxedText(p, QPointF(x(s.fromSeconds) + 0.6 * mm, plot.top() + small.ascent() + 0.8 * mm), text, scale.small,
                  0.3 * mm);
    }
    p.setClipping(false);

    p.setPen(pen(Qt::black, 0.25 * mm));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.setFont(scale.small);
    p.drawText(QPointF(plot.left() - 9 * mm, plot.top() - 1.2 * mm), qs(chart.levelAxis));
    const QString time = qs(chart.timeAxis);
    p.drawText(QPointF(plot.right() - small.horizontalAdvance(time), area.bottom() - small.descent()), time);
    p.restore();
}

void drawHistogram(QPainter& p, const QRectF& area, const ReportHistogram& h, const DrawingScale& scale)
{
    const double mm = scale.mm;
    const QFontMetricsF small(scale.small, p.device());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plot = area.adjusted(11 * mm, small.height() + 1.5 * mm, -1 * mm, -(small.height() + 5 * mm));
    double top = 0.0;
    for (double v : h.percent)
        top = std::max(top, v);
    // The share axis in steps of 1, 2, 5 or 10 % up to the highest bar.
    const double stepChoices[] = {1, 2, 5, 10, 20, 25, 50};
    double yStep = 50;
    for (double s : stepChoices)
        if (top / s <= 6.0) {
            yStep = s;
            break;
        }
    const double yMax = std::max(yStep, std::ceil(top / yStep) * yStep);
    // Two empty classes of room on each side.
    const double lowLevel = h.firstLevel - 2.0;
    const double classes = static_cast<double>(h.percent.size()) + 4.0;
    auto x = [&](double level) { return plot.left() + plot.width() * (level - lowLevel) / classes; };
    auto y = [&](double share) { return plot.bottom() - plot.height() * share / yMax; };

    p.setFont(scale.small);
    for (double v = 0; v <= yMax + 1e-9; v += yStep) {
        p.setPen(pen(QColor(0xc8, 0xc8, 0xc8), 0.15 * mm));
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(Qt::black);
        const QString text = QString::number(v, 'f', 0);
        p.drawText(QPointF(plot.left() - 1.2 * mm - small.horizontalAdvance(text), y(v) + small.ascent() / 2.5), text);
    }
    const double levelStep = classes > 40 ? 10.0 : 5.0;
    for (double level = std::ceil(lowLevel / levelStep) * levelStep; level <= lowLevel + classes; level += levelStep) {
        const QString text = QString::number(level, 'f', 0);
        p.drawLine(QPointF(x(level), plot.bottom()), QPointF(x(level), plot.bottom() + 0.8 * mm));
        p.drawText(QPointF(x(level) - small.horizontalAdvance(text) / 2, plot.bottom() + 1 * mm + small.ascent()),
                   text);
    }
    p.setPen(pen(Qt::black, 0.15 * mm));
    p.setBrush(QColor(0x70, 0x70, 0x70));
    for (std::size_t i = 0; i < h.percent.size(); ++i) {
        if (h.percent[i] <= 0.0)
            continue;
        const double level = h.firstLevel + static_cast<double>(i);
        p.drawRect(QRectF(QPointF(x(level), y(h.percent[i])), QPointF(x(level + 1.0), plot.bottom())));
    }
    p.setPen(pen(Qt::black, 0.25 * mm));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.drawText(QPointF(plot.left() - 9 * mm, plot.top() - 1.2 * mm), QString::fromStdString(h.shareAxis));
    const QString axis = QString::fromStdString(h.levelAxis);
    p.drawText(QPointF(plot.right() - small.horizontalAdvance(axis), area.bottom() - small.descent()), axis);
    p.restore();
}

} // namespace km740
