// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/charts/ChartDialogs.h"
#include "core/exposure/HistogramRange.h"
#include "core/exposure/LevelDistribution.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QStandardItemModel;
class QTableView;
class QToolBar;

namespace km740 {

class GraphView;

// Forms Histogram (0.1 dB bins) and Histogram1 (1 dB bins, with a message
// line), caption "Histograma": the level distribution of a list as bars over
// the table of the levels L0 .. L99 (GridLn).
//
// How a file list window opens one, for Cmd01dB / Cmd1dB:
//
//     LevelDistribution counts;                     // every cell of the level column
//     LnTable ln = computeLnTable(counts, resolution, regional);
//     if (histogram_) histogram_->close();          // only one of the two is shown
//     histogram_ = HistogramWindow::showHistogram(resolution, counts, gridLnRows(ln),
//                                                 QString::fromStdString(leftOutNote(counts)), this);
//
// The window shows the counts of that resolution with the level axis from
// five bins below the lowest to five above the highest non-empty bin, fills
// GridLn from the ten rows, and deletes itself when closed.
class HistogramWindow : public QWidget {
    Q_OBJECT
public:
    // Minimum size, in twips.
    static constexpr int kMinWidth = 9660;
    static constexpr int kMinHeight = 7785;

    HistogramWindow(Resolution resolution, QWidget* opener = nullptr, ChartDialogs dialogs = ChartDialogs::desktop());
    ~HistogramWindow() override;

    // Histogram for 0.1 dB, Histogram1 (with the message line) for 1 dB.
    static HistogramWindow* showHistogram(Resolution resolution, const LevelDistribution& distribution,
                                          const std::array<std::string, 10>& gridLnRows, const QString& message,
                                          QWidget* opener, ChartDialogs dialogs = ChartDialogs::desktop());

    // Draws the counts of this window's resolution and fills GridLn with the
    // tab-separated rows (gridLnRows in exposure/LnTable.h).
    void showDistribution(const LevelDistribution& distribution, const std::array<std::string, 10>& rows);
    void setMessage(const QString& text);
    void setDialogs(ChartDialogs dialogs) { dialogs_ = std::move(dialogs); }

    Resolution resolution() const { return resolution_; }
    // The level axis the distribution opened with; empty when nothing was counted.
    std::optional<LevelSpan> levelSpan() const { return span_; }

    // Handlers, named after the control and its event.
    void onToolbar1Click(const QString& key);
    void onCombo1Click(int index);

    GraphView* graph() const { return CWG; }
    QTableView* gridLn() const { return GridLn; }
    QComboBox* combo1() const { return Combo1; }
    QToolBar* toolbar1() const { return Toolbar1; }
    QLabel* lblMessage() const { return LblMessage; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWindow();
    void layOut();
    void resetScale();
    void print();
    // Message, graph and level table on white, scaled into `target`: the
    // print and the saved image.
    QSize pictureSize() const;
    void drawPicture(QPainter& painter, const QRectF& target);

    Resolution resolution_;
    ChartDialogs dialogs_;
    std::optional<LevelSpan> span_;
    double topCount_ = 1.0;

    QToolBar* Toolbar1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* LblMessage = nullptr; // Histogram1 only
    GraphView* CWG = nullptr;
    QTableView* GridLn = nullptr;
    QStandardItemModel* lnModel_ = nullptr;
};

} // namespace km740
