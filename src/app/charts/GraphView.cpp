// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/GraphView.h"

#include "core/common/Twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {

constexpr int kGrabTolerance = 8; // pixels from a cursor line that still grab it
constexpr int kSmallestZoom = 3;  // a smaller rectangle is a click, not a zoom

const std::array<QColor, 2> kCursorColors{QColor(200, 0, 0), QColor(0, 110, 0)};
const QColor kShadeColor(150, 150, 150, 90); // spans left out

} // namespace

GraphView::GraphView(QWidget* parent) : QWidget(parent), plot_(new QCustomPlot(this))
{
    setAccessibleName(tr("Graph"));
    plot_->setAccessibleName(tr("Graph area"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);

    plot_->xAxis->setLabel(QStringLiteral("X-Axis"));
    plot_->yAxis->setLabel(QStringLiteral("Y-Axis"));
    plot_->setBackground(QBrush(background_));
    plot_->axisRect()->setBackground(QBrush(plotArea_));
    plot_->setNoAntialiasingOnDrag(true);
    plot_->axisRect()->setRangeDragAxes(plot_->xAxis, plot_->yAxis);

    for (std::size_t i = 0; i < cursors_.size(); ++i) {
        auto* t = new QCPItemTracer(plot_);
        t->setStyle(QCPItemTracer::tsCrosshair);
        t->setPen(QPen(kCursorColors[i], 1.0, Qt::DashLine));
        t->setSelectable(false);
        t->setVisible(false);
        t->position->setCoords(0.0, 0.0);
        cursors_[i].tracer = t;
    }

    plot_->selectionRect()->setPen(QPen(Qt::black, 1.0, Qt::DotLine));
    plot_->selectionRect()->setBrush(QColor(0, 0, 255, 30));
    connect(plot_->selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect& rect, QMouseEvent*) { onSelectionAccepted(rect); });
    connect(plot_, &QCustomPlot::mousePress, this, &GraphView::onMousePress);
    connect(plot_, &QCustomPlot::mouseMove, this, &GraphView::onMouseMove);
    connect(plot_, &QCustomPlot::mouseRelease, this, &GraphView::onMouseRelease);
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis})
        connect(axis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), this,
                [this](const QCPRange&) { emit axisRangesChanged(); });

    setTrackMode(TrackMode::normal);
}

GraphView::~GraphView() = default;

void GraphView::clearSeries()
{
    if (graph_)
        plot_->removeGraph(graph_);
    if (bars_)
        plot_->removePlottable(bars_);
    graph_ = nullptr;
    bars_ = nullptr;
    values_.clear();
    keys_.clear();
}

void GraphView::plotSeries(const std::vector<double>& values)
{
    clearSeries();
    values_ = values;
    graph_ = plot_->addGraph();
    graph_->setPen(QPen(QColor(0, 0, 160), 1.0));
    graph_->setName(QStringLiteral("Plot-1"));
    QVector<QCPGraphData> points(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        points[static_cast<qsizetype>(i)] = QCPGraphData(static_cast<double>(i + 1), values[i]);
    graph_->data()->set(points, true);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void GraphView::setShadedRanges(const std::vector<std::pair<double, double>>& xRanges)
{
    for (QCPItemRect* shade : shades_)
        plot_->removeItem(shade);
    shades_.clear();
    for (const auto& [from, to] : xRanges) {
        auto* shade = new QCPItemRect(plot_);
        // Behind the series and the cursors, over the whole height.
        shade->setLayer(QStringLiteral("background"));
        shade->setClipToAxisRect(true);
        shade->setSelectable(false);
        shade->topLeft->setTypeY(QCPItemPosition::ptAxisRectRatio);
        shade->bottomRight->setTypeY(QCPItemPosition::ptAxisRectRatio);
        shade->topLeft->setCoords(from, 0.0);
        shade->bottomRight->setCoords(to, 1.0);
        shade->setPen(Qt::NoPen);
        shade->setBrush(kShadeColor);
        shades_.push_back(shade);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

std::vector<std::pair<double, double>> GraphView::shadedRanges() const
{
    std::vector<std::pair<double, double>> ranges;
    for (const QCPItemRect* shade : shades_)
        ranges.emplace_back(shade->topLeft->coords().x(), shade->bottomRight->coords().x());
    return ranges;
}

void GraphView::plotBars(const std::vector<double>& keys, const std::vector<double>& values, double width)
{
    clearSeries();
    const std::size_t n = std::min(keys.size(), values.size());
    keys_.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(n));
    values_.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n));
    bars_ = new QCPBars(plot_->xAxis, plot_->yAxis);
    bars_->setName(QStringLiteral("Plot-1"));
    bars_->setWidth(width);
    bars_->setPen(QPen(QColor(0, 0, 120), 0.0));
    bars_->setBrush(QColor(40, 90, 200));
    QVector<QCPBarsData> points(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i)
        points[static_cast<qsizetype>(i)] = QCPBarsData(keys_[i], values_[i]);
    bars_->data()->set(points, true);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

namespace {

QCPAxis* axisOf(QCustomPlot* plot, int axis)
{
    return axis == 2 ? plot->yAxis : plot->xAxis;
}

} // namespace

void GraphView::setAxisRange(int axis, double minimum, double maximum)
{
    if (!(minimum < maximum) || !std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    axisOf(plot_, axis)->setRange(minimum, maximum);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

double GraphView::axisMinimum(int axis) const
{
    return axisOf(plot_, axis)->range().lower;
}

double GraphView::axisMaximum(int axis) const
{
    return axisOf(plot_, axis)->range().upper;
}

void GraphView::setAxisCaption(int axis, const QString& caption)
{
    axisOf(plot_, axis)->setLabel(caption);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

QString GraphView::axisCaption(int axis) const
{
    return axisOf(plot_, axis)->label();
}

std::optional<GraphView::TrackMode> GraphView::trackModeFromNumber(int number)
{
    if (number < 1 || number > 8)
        return std::nullopt;
    return static_cast<TrackMode>(number);
}

void GraphView::setTrackMode(TrackMode mode)
{
    mode_ = mode;
    dragging_ = 0;
    Qt::Orientations pan;
    switch (mode) {
    case TrackMode::panXY: pan = Qt::Horizontal | Qt::Vertical; break;
    case TrackMode::panX: pan = Qt::Horizontal; break;
    case TrackMode::panY: pan = Qt::Vertical; break;
    default: break;
    }
    const bool zoom = mode == TrackMode::zoomXY || mode == TrackMode::zoomX || mode == TrackMode::zoomY;
    plot_->setInteraction(QCP::iRangeDrag, pan != Qt::Orientations());
    plot_->axisRect()->setRangeDrag(pan);
    plot_->setSelectionRectMode(zoom ? QCP::srmCustom : QCP::srmNone);
    if (pan != Qt::Orientations())
        plot_->setCursor(Qt::OpenHandCursor);
    else if (zoom || mode == TrackMode::cursorDrag)
        plot_->setCursor(Qt::CrossCursor);
    else
        plot_->unsetCursor();
}

GraphView::Cursor& GraphView::cursorAt(int cursor)
{
    return cursors_[cursor == 2 ? 1 : 0];
}

const GraphView::Cursor& GraphView::cursorAt(int cursor) const
{
    return cursors_[cursor == 2 ? 1 : 0];
}

void GraphView::setCursorVisible(int cursor, bool visible)
{
    cursorAt(cursor).tracer->setVisible(visible);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

bool GraphView::cursorVisible(int cursor) const
{
    return cursorAt(cursor).tracer->visible();
}

void GraphView::setCursorSnap(int cursor, bool snapToPoints)
{
    cursorAt(cursor).snap = snapToPoints;
}

bool GraphView::cursorSnap(int cursor) const
{
    return cursorAt(cursor).snap;
}

double GraphView::keyAt(std::size_t index) const
{
    return keys_.empty() ? static_cast<double>(index + 1) : keys_[index];
}

std::optional<std::size_t> GraphView::nearestPoint(double x) const
{
    const std::size_t n = values_.size();
    if (n == 0 || !std::isfinite(x))
        return std::nullopt;
    std::size_t at = 0;
    if (keys_.empty()) {
        const double i = std::round(x) - 1.0;
        at = i <= 0.0 ? 0 : i >= static_cast<double>(n - 1) ? n - 1 : static_cast<std::size_t>(i);
    } else {
        const auto it = std::lower_bound(keys_.begin(), keys_.end(), x);
        at = static_cast<std::size_t>(it - keys_.begin());
        if (at == n || (at > 0 && x - keys_[at - 1] < keys_[at] - x))
            at = at == 0 ? 0 : at - 1;
    }
    // A gap has no point: take the nearest one with a value on either side.
    for (std::size_t d = 0; d < n; ++d) {
        const bool leftIn = at >= d;
        const bool rightIn = at + d < n;
        if (!leftIn && !rightIn)
            break;
        if (leftIn && std::isfinite(values_[at - d]))
            return at - d;
        if (rightIn && std::isfinite(values_[at + d]))
            return at + d;
    }
    return std::nullopt;
}

void GraphView::placeCursor(Cursor& c, double x, double y)
{
    if (c.snap) {
        if (auto i = nearestPoint(x)) {
            x = keyAt(*i);
            y = values_[*i];
        }
    }
    c.tracer->position->setCoords(x, y);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void GraphView::setCursorPosition(int cursor, double x, double y)
{
    placeCursor(cursorAt(cursor), x, y);
}

double GraphView::cursorX(int cursor) const
{
    return cursorAt(cursor).tracer->position->coords().x();
}

double GraphView::cursorY(int cursor) const
{
    return cursorAt(cursor).tracer->position->coords().y();
}

void GraphView::setBackgroundColor(const QColor& color)
{
    background_ = color;
    plot_->setBackground(QBrush(color));
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void GraphView::setPlotAreaColor(const QColor& color)
{
    plotArea_ = color;
    plot_->axisRect()->setBackground(QBrush(color));
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void GraphView::setGeometryTwips(int left, int top, int width, int height)
{
    setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QRect GraphView::geometryTwips() const
{
    const QRect g = geometry();
    return QRect(g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel,
                 g.height() * kTwipsPerPixel);
}

void GraphView::render(QPainter& painter, const QRectF& target)
{
    // Drawn at its screen size (or a readable one when hidden) and scaled to
    // the target, so text keeps its size relative to the plot on paper.
    const int w = std::max(plot_->width(), 640);
    const int h = std::max(plot_->height(), 400);
    QPicture picture;
    {
        QCPPainter p(&picture);
        plot_->toPainter(&p, w, h);
    }
    // A picture plays back scaled from its own resolution to the device's.
    const QPaintDevice* device = painter.device();
    const double dpiX = device ? double(picture.logicalDpiX()) / device->logicalDpiX() : 1.0;
    const double dpiY = device ? double(picture.logicalDpiY()) / device->logicalDpiY() : 1.0;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / w * dpiX, target.height() / h * dpiY);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QPointF GraphView::pixelOf(double x, double y) const
{
    const QPointF inPlot(plot_->xAxis->coordToPixel(x), plot_->yAxis->coordToPixel(y));
    return inPlot + QPointF(plot_->pos());
}

void GraphView::redraw()
{
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

void GraphView::onMousePress(QMouseEvent* event)
{
    dragging_ = 0;
    if (mode_ != TrackMode::cursorDrag || event->button() != Qt::LeftButton)
        return;
    const QPointF at = event->position();
    double best = kGrabTolerance + 1;
    for (int k = 1; k <= 2; ++k) {
        const Cursor& c = cursorAt(k);
        if (!c.tracer->visible())
            continue;
        const QPointF p = c.tracer->position->pixelPosition();
        const double d = std::min(std::abs(p.x() - at.x()), std::abs(p.y() - at.y()));
        if (d <= kGrabTolerance && d < best) {
            best = d;
            dragging_ = k;
        }
    }
}

void GraphView::onMouseMove(QMouseEvent* event)
{
    if (dragging_ == 0 || mode_ != TrackMode::cursorDrag)
        return;
    const QCPRange xr = plot_->xAxis->range();
    const QCPRange yr = plot_->yAxis->range();
    const double x = std::clamp(plot_->xAxis->pixelToCoord(event->position().x()), xr.lower, xr.upper);
    const double y = std::clamp(plot_->yAxis->pixelToCoord(event->position().y()), yr.lower, yr.upper);
    Cursor& c = cursorAt(dragging_);
    placeCursor(c, x, y);
    emit cursorMoved(dragging_, cursorX(dragging_), cursorY(dragging_));
}

void GraphView::onMouseRelease(QMouseEvent*)
{
    dragging_ = 0;
}

void GraphView::onSelectionAccepted(const QRect& rect)
{
    const QRect r = rect.normalized();
    if (r.width() < kSmallestZoom && r.height() < kSmallestZoom)
        return;
    const bool zoomX = mode_ == TrackMode::zoomXY || mode_ == TrackMode::zoomX;
    const bool zoomY = mode_ == TrackMode::zoomXY || mode_ == TrackMode::zoomY;
    if (zoomX && r.width() >= kSmallestZoom) {
        const double a = plot_->xAxis->pixelToCoord(r.left());
        const double b = plot_->xAxis->pixelToCoord(r.right());
        plot_->xAxis->setRange(std::min(a, b), std::max(a, b));
    }
    if (zoomY && r.height() >= kSmallestZoom) {
        const double a = plot_->yAxis->pixelToCoord(r.top());
        const double b = plot_->yAxis->pixelToCoord(r.bottom());
        plot_->yAxis->setRange(std::min(a, b), std::max(a, b));
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace km740
