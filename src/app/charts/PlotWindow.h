// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/charts/ChartDialogs.h"
#include "core/common/Regional.h"
#include "core/exposure/ExcludedRows.h"
#include "core/exposure/PlotInputs.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace km740 {

class AnalysisHub;
struct AppState;
class GraphView;

// Form Plot: one column of a file list as a line against the record number,
// with cursors, pan and zoom, axis ranges by number, Reset Scale, Print
// Graph and Save Image.
//
// How a file list window opens it, for a click on column k:
//
//     std::vector<double> values;                  // one per data row
//     for (each data cell of the column) values.push_back(plotPointOf(cell));
//     auto inputs = plotInputs(kind, k, rows, rangePanelText, values.back());
//     if (inputs)
//         plot_ = PlotWindow::showPlot(state, *inputs, std::move(values), regional, this);
//
// plotPointOf (charts/PlotPoint.h) makes a cell without a number NaN, which
// the graph leaves as a gap in the line. showPlot stores the graph inputs
// PlotKind, PlotXMax, PlotYMin and PlotYMax in AppState, captions the Y axis
// and the cursor read-out from the inputs and shows a new window that deletes
// itself when closed; keep a QPointer to it to plot into the same window
// again with plot().
class PlotWindow : public QWidget {
    Q_OBJECT
public:
    PlotWindow(AppState& state, const Regional& regional, QWidget* opener = nullptr,
               ChartDialogs dialogs = ChartDialogs::desktop());
    ~PlotWindow() override;

    static PlotWindow* showPlot(AppState& state, const PlotInputs& inputs, std::vector<double> values,
                                const Regional& regional, QWidget* opener,
                                ChartDialogs dialogs = ChartDialogs::desktop());

    // Puts the series into the graph and shows its whole range.
    void plot(const PlotInputs& inputs, std::vector<double> values);
    // The series is a column of `dataPath`, its rows begun at `times`: the
    // graph shades the spans the file's analysis leaves out, and the
    // exposure keys change them. A null hub (or no times) hides the keys.
    void setAnalysis(AnalysisHub* hub, const QString& dataPath, std::shared_ptr<const RecordTimes> times);
    // The span of the records between the two cursors, both included;
    // empty unless both are shown.
    std::optional<TimeSpan> cursorSpan() const;

    // The text lines beside the graph (LblMessage).
    void setMessageLines(const QStringList& lines);
    void setDialogs(ChartDialogs dialogs) { dialogs_ = std::move(dialogs); }

    // Handlers, named after the control and its event.
    void onCombo1Click(int index);
    void onCWGraph1CursorMoved(int cursor, double x, double y);
    void onAxisValueChanged();
    void onCmdResetClick();
    void onCmdPrintClick();
    void onCmdSaveImageClick();
    void onCmdSpanCursorsClick();
    void onCmdExcludeClick();
    void onCmdIncludeClick();

    GraphView* graph() const { return CWGraph1; }
    QComboBox* combo1() const { return Combo1; }
    QPlainTextEdit* txtDescription() const { return txtDescription_; }
    QLabel* xPosition() const { return XPosition; }
    QLabel* yPosition() const { return YPosition; }
    QLabel* label2() const { return Label2; }
    // Element k (1 = X, 2 = Y) of the range boxes.
    QDoubleSpinBox* axisMin(int k) const { return AxisMin[k == 2 ? 1 : 0]; }
    QDoubleSpinBox* axisMax(int k) const { return AxisMax[k == 2 ? 1 : 0]; }
    QPushButton* cmdReset() const { return CmdReset; }
    QPushButton* cmdPrint() const { return CmdPrint; }
    QPushButton* cmdSaveImage() const { return CmdSaveImage; }
    QGroupBox* frmExposure() const { return FrmExposure; }
    QStringList messageLines() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void setAxisBoxes(double xMin, double xMax, double yMin, double yMax);
    void showGraphRanges();
    void applyAxisBoxes();
    void placeBeside(QWidget* opener);
    // The graph on white into `target`: the print and the saved image.
    void drawGraph(QPainter& painter, const QRectF& target);
    void showExclusions();
    void changeExclusions(bool leaveOut);

    AppState& state_;
    Regional regional_;
    ChartDialogs dialogs_;
    int decimals_ = 1; // of the Y read-out

    GraphView* CWGraph1 = nullptr;
    QGroupBox* FrmGraphic = nullptr;
    QGroupBox* SSFrame4 = nullptr;
    std::array<QDoubleSpinBox*, 2> AxisMin{};
    std::array<QDoubleSpinBox*, 2> AxisMax{};
    QGroupBox* SSFrame3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    QGroupBox* SSFrame2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* XPosition = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* YPosition = nullptr;
    QPushButton* CmdReset = nullptr;
    QPushButton* CmdPrint = nullptr;
    QPushButton* CmdSaveImage = nullptr;
    QLabel* LblMessage = nullptr;
    QGroupBox* FrmExposure = nullptr;
    QPushButton* CmdSpanCursors = nullptr;
    QPushButton* CmdExclude = nullptr;
    QPushButton* CmdInclude = nullptr;

    QPointer<AnalysisHub> hub_;
    QString dataPath_;
    std::shared_ptr<const RecordTimes> times_;
    LocalSeconds step_ = 1;
};

} // namespace km740
