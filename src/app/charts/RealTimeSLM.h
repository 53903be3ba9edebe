// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/charts/AlarmLog.h"
#include "app/charts/ChartDialogs.h"
#include "core/charts/RealTimePlot.h"
#include "core/common/Regional.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimer;
class QToolBar;

namespace km740 {

struct AppState;

// Form RealTimeSLM, "Real Time Graph": the live level the panel polls,
// drawn left to right twice a second as a running line on a level grid. The
// limit panel sets the vertical limits, the samples across the width and the
// optional warning and alarm levels; alarm periods are listed and saved as
// CSV. The toolbar key "Graph" opens it (ChartWindows); it closes itself when
// another window takes the meter.
class RealTimeSLM : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 5355;  // twips
    static constexpr int kMinHeight = 5865; // twips
    static constexpr int timer1Interval = 500;

    // regional gives the separators the panel read at its last poll; the
    // level comes from state.live.
    RealTimeSLM(AppState& state, std::function<Regional()> regional, QWidget* panel = nullptr,
                ChartDialogs dialogs = ChartDialogs::desktop());
    ~RealTimeSLM() override;

    void setDialogs(ChartDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // The wall clock of the time labels and alarm periods (tests fix it).
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Handlers, named after the control and its event.
    void onTimer1Timer();
    void onToolbar1Click(const QString& key);
    void onCmdOKClick();
    void onCmdSaveAlarmsClick();

    // Clears the drawing and starts the trace again at the left edge.
    void redraw();

    const QImage& surface() const { return surface_; }
    const RealTimeGeometry& plotGeometry() const { return geometry_; }
    const ChartLimits& limits() const { return limits_; }
    const AlertLevels& alertLevels() const { return alerts_; }
    double sampleStep() const { return sampleStep_; }
    double penX() const { return x_; }
    const AlarmLog& alarmLog() const { return alarms_; }

    QTimer* timer1() const { return Timer1; }
    QToolBar* toolbar1() const { return Toolbar1; }
    QFrame* pMessage() const { return PMessage; }
    QLineEdit* txtMax() const { return TxtMax; }
    QLineEdit* txtMin() const { return TxtMin; }
    QLineEdit* txtCounts() const { return TxtCounts; }
    QCheckBox* ckWarning() const { return CkWarning; }
    QLineEdit* txtWarning() const { return TxtWarning; }
    QCheckBox* ckAlarm() const { return CkAlarm; }
    QLineEdit* txtAlarm() const { return TxtAlarm; }
    QPushButton* cmdOK() const { return CmdOK; }
    QFrame* frmAlarms() const { return FrmAlarms; }
    QTableView* gridAlarms() const { return GridAlarms; }
    QLabel* lblAlarmStatus() const { return LblAlarmStatus; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildLimitPanel();
    void buildAlarmPanel();
    void placePanels();
    // One tick of the trace as drawn, kept so the chart can be drawn again
    // (onto the printer's page).
    struct TraceStep {
        double x = 0.0; // pen position
        double y = 0.0; // height above the base line
        ColumnMark mark = ColumnMark::none;
        QString time;        // the label under a grid line with time
        QColor color;        // of the segment from the step before
        bool joined = false; // a segment leads from the step before
    };

    // Plot area, level labels and the trace since it last started at the left.
    void drawChart(QPainter& p) const;
    void drawStep(QPainter& p, const TraceStep& step, double fromX, double fromY) const;
    // Clears the plot and the room around it and draws the grid and level labels.
    void paintPlotArea(QPainter& p) const;
    void drawLevelLabels(QPainter& p) const;
    void showLimitPanel();
    void noteAlarm(const ChartSample& sample, const QDateTime& now);
    void print();
    // The chart below the toolbar, scaled into `target`: the print and the
    // saved image.
    QSize chartSize() const;
    void drawChartInto(QPainter& painter, const QRectF& target) const;
    ChartSample currentSample() const;

    AppState& state_;
    std::function<Regional()> regional_;
    ChartDialogs dialogs_;
    std::function<QDateTime()> clock_;

    QImage surface_;
    RealTimeGeometry geometry_;
    ChartLimits limits_;
    AlertLevels alerts_;
    double sampleStep_ = 1.0;
    double x_ = 0.0;
    double prevX_ = 0.0;
    double prevY_ = 0.0;
    std::vector<TraceStep> trace_;
    AlarmLog alarms_;

    QTimer* Timer1 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QFrame* PMessage = nullptr;
    QLineEdit* TxtMax = nullptr;
    QLineEdit* TxtMin = nullptr;
    QLineEdit* TxtCounts = nullptr;
    QCheckBox* CkWarning = nullptr;
    QLineEdit* TxtWarning = nullptr;
    QCheckBox* CkAlarm = nullptr;
    QLineEdit* TxtAlarm = nullptr;
    QPushButton* CmdOK = nullptr;
    QPushButton* CmdCancel = nullptr;
    QFrame* FrmAlarms = nullptr;
    QTableView* GridAlarms = nullptr;
    QStandardItemModel* alarmModel_ = nullptr;
    QPushButton* CmdSaveAlarms = nullptr;
    QLabel* LblAlarmStatus = nullptr;
};

} // namespace km740
