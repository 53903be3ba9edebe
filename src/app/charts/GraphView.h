// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QCustomPlot;
class QCPGraph;
class QCPBars;
class QCPItemRect;
class QCPItemTracer;
class QMouseEvent;
class QPainter;

namespace km740 {

// The graph of the Plot and Histogram windows: one series against numbered
// axes (1 = X, 2 = Y), two numbered cursors, and mouse tracking chosen by a
// track mode. Drawn by QCustomPlot; the same drawing goes to the screen, the
// printer and PDF files.
class GraphView : public QWidget {
    Q_OBJECT
public:
    enum class TrackMode {
        normal = 1,     // the mouse does nothing
        cursorDrag = 2, // drag a cursor
        panXY = 3,
        panX = 4,
        panY = 5,
        zoomXY = 6, // zoom to a rectangle drawn with the mouse
        zoomX = 7,
        zoomY = 8,
    };

    explicit GraphView(QWidget* parent = nullptr);
    ~GraphView() override;

    // A series in record order, drawn as a line against X = 1, 2, ...; NaN
    // values leave a gap. Replaces what the graph showed.
    void plotSeries(const std::vector<double>& values);
    // Bars of the given width standing on the keys (ascending). Replaces
    // what the graph showed.
    void plotBars(const std::vector<double>& keys, const std::vector<double>& values, double width);
    std::size_t pointCount() const { return values_.size(); }

    // Axis k: 1 (X) or 2 (Y). The range holds until the user pans or zooms;
    // an empty or reversed range is ignored.
    void setAxisRange(int axis, double minimum, double maximum);
    double axisMinimum(int axis) const;
    double axisMaximum(int axis) const;
    void setAxisCaption(int axis, const QString& caption);
    QString axisCaption(int axis) const;

    void setTrackMode(TrackMode mode);
    TrackMode trackMode() const { return mode_; }
    // 1..8 as the track mode lists number them; empty otherwise.
    static std::optional<TrackMode> trackModeFromNumber(int number);

    // Cursor k: 1 or 2. Positions are in axis units. A snapping cursor sits
    // on the plotted point nearest to the X it is given (skipping gaps).
    void setCursorVisible(int cursor, bool visible);
    bool cursorVisible(int cursor) const;
    void setCursorSnap(int cursor, bool snapToPoints);
    bool cursorSnap(int cursor) const;
    void setCursorPosition(int cursor, double x, double y);
    double cursorX(int cursor) const;
    double cursorY(int cursor) const;

    // Stripes of grey behind the series over the X ranges given (the spans
    // a list leaves out), from the bottom of the plot area to its top.
    // Replaces the stripes shown before.
    void setShadedRanges(const std::vector<std::pair<double, double>>& xRanges);
    std::vector<std::pair<double, double>> shadedRanges() const;

    // The colour around the plot area, and of the plot area itself.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return background_; }
    void setPlotAreaColor(const QColor& color);
    QColor plotAreaColor() const { return plotArea_; }

    // Position and size in the parent, in twips.
    void setGeometryTwips(int left, int top, int width, int height);
    QRect geometryTwips() const;

    // Draws the graph into target, scaled from its size on screen, with the
    // drawing code the screen uses.
    void render(QPainter& painter, const QRectF& target);

    // Where a point in axis units lies in this widget (for tests and tools).
    QPointF pixelOf(double x, double y) const;
    // Redraws now (the graph otherwise redraws on the next event loop turn).
    void redraw();

signals:
    // The user dragged cursor k to x, y.
    void cursorMoved(int cursor, double x, double y);
    // An axis range changed, by the program or by a pan or zoom.
    void axisRangesChanged();

private:
    struct Cursor {
        QCPItemTracer* tracer = nullptr;
        bool snap = false;
    };

    Cursor& cursorAt(int cursor);
    const Cursor& cursorAt(int cursor) const;
    void placeCursor(Cursor& c, double x, double y);
    std::optional<std::size_t> nearestPoint(double x) const;
    double keyAt(std::size_t index) const;
    void onMousePress(QMouseEvent* event);
    void onMouseMove(QMouseEvent* event);
    void onMouseRelease(QMouseEvent* event);
    void onSelectionAccepted(const QRect& rect);
    void clearSeries();

    QCustomPlot* plot_ = nullptr;
    QCPGraph* graph_ = nullptr;
    QCPBars* bars_ = nullptr;
    std::array<Cursor, 2> cursors_{};
    std::vector<QCPItemRect*> shades_;
    std::vector<double> values_;
    std::vector<double> keys_; // empty for a series: key i is i + 1
    TrackMode mode_ = TrackMode::normal;
    int dragging_ = 0; // the cursor being dragged, 0 for none
    QColor background_ = Qt::white;
    QColor plotArea_ = Qt::white;
};

} // namespace km740
