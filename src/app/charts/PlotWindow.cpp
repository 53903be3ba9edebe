// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/PlotWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "app/charts/GraphView.h"
#include "core/charts/TrackModes.h"
#include "core/exposure/SpanEdits.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/AppState.h"
#include "app/ui/QtText.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {

constexpr double kBoxLimit = 1e12;
constexpr int kFrameWidth = 250;

QDoubleSpinBox* rangeBox(const QString& objectName, const QString& accessibleName)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(objectName);
    box->setAccessibleName(accessibleName);
    box->setRange(-kBoxLimit, kBoxLimit);
    box->setDecimals(1);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

PlotWindow::PlotWindow(AppState& state, const Regional& regional, QWidget* opener, ChartDialogs dialogs)
    : QWidget(nullptr), state_(state), regional_(regional), dialogs_(std::move(dialogs))
{
    setObjectName(QStringLiteral("Plot"));
    setWindowTitle(tr("Plot"));
    buildWindow();
    resize(960, 600);
    placeBeside(opener);
}

PlotWindow::~PlotWindow() = default;

PlotWindow* PlotWindow::showPlot(AppState& state, const PlotInputs& inputs, std::vector<double> values,
                                 const Regional& regional, QWidget* opener, ChartDialogs dialogs)
{
    auto* window = new PlotWindow(state, regional, opener, std::move(dialogs));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->plot(inputs, std::move(values));
    window->show();
    return window;
}

void PlotWindow::buildWindow()
{
    CWGraph1 = new GraphView(this);
    CWGraph1->setObjectName(QStringLiteral("CWGraph1"));
    CWGraph1->setAccessibleName(tr("Plot graph"));

    FrmGraphic = new QGroupBox(QStringLiteral("Graphic Plot"), this);
    FrmGraphic->setObjectName(QStringLiteral("FrmGraphic"));
    FrmGraphic->setAccessibleName(QStringLiteral("Graphic Plot"));
    FrmGraphic->setFixedWidth(kFrameWidth);

    SSFrame4 = new QGroupBox(QStringLiteral("Graph Range"));
    SSFrame4->setObjectName(QStringLiteral("SSFrame4"));
    SSFrame4->setAccessibleName(QStringLiteral("Graph Range"));
    AxisMin[0] = rangeBox(QStringLiteral("AxisMin1"), tr("X minimum"));
    AxisMax[0] = rangeBox(QStringLiteral("AxisMax1"), tr("X maximum"));
    // Record numbers are whole.
    AxisMin[0]->setDecimals(0);
    AxisMax[0]->setDecimals(0);
    AxisMin[1] = rangeBox(QStringLiteral("AxisMin2"), tr("Y minimum"));
    AxisMax[1] = rangeBox(QStringLiteral("AxisMax2"), tr("Y maximum"));
    auto* range = new QGridLayout(SSFrame4);
    range->addWidget(new QLabel(tr("Minimum")), 0, 1);
    range->addWidget(new QLabel(tr("Maximum")), 0, 2);
    range->addWidget(new QLabel(QStringLiteral("X")), 1, 0);
    range->addWidget(AxisMin[0], 1, 1);
    range->addWidget(AxisMax[0], 1, 2);
    range->addWidget(new QLabel(QStringLiteral("Y")), 2, 0);
    range->addWidget(AxisMin[1], 2, 1);
    range->addWidget(AxisMax[1], 2, 2);
    for (QDoubleSpinBox* box : {AxisMin[0], AxisMax[0], AxisMin[1], AxisMax[1]})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this](double) { onAxisValueChanged(); });

    SSFrame3 = new QGroupBox(QStringLiteral("Track Mode"));
    SSFrame3->setObjectName(QStringLiteral("SSFrame3"));
    SSFrame3->setAccessibleName(QStringLiteral("Track Mode"));
    Combo1 = new QComboBox;
    Combo1->setObjectName(QStringLiteral("Combo1"));
    nameComboBox(Combo1, tr("Track mode"));
    for (const TrackModeEntry& e : plotTrackModes())
        Combo1->addItem(q(e.item));
    txtDescription_ = new QPlainTextEdit;
    txtDescription_->setObjectName(QStringLiteral("txtDescription"));
    txtDescription_->setAccessibleName(tr("Track mode help"));
    txtDescription_->setReadOnly(true);
    txtDescription_->setFixedHeight(72);
    auto* track = new QVBoxLayout(SSFrame3);
    track->addWidget(Combo1);
    track->addWidget(txtDescription_);
    connect(Combo1, &QComboBox::activated, this, &PlotWindow::onCombo1Click);

    SSFrame2 = new QGroupBox(QStringLiteral("Cursor Information"));
    SSFrame2->setObjectName(QStringLiteral("SSFrame2"));
    SSFrame2->setAccessibleName(QStringLiteral("Cursor Information"));
    Label1 = new QLabel(QStringLiteral("No.s ( X ) :"));
    XPosition = new QLabel;
    Label2 = new QLabel(QStringLiteral("No.s ( Y ) :"));
    YPosition = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    XPosition->setObjectName(QStringLiteral("XPosition"));
    Label2->setObjectName(QStringLiteral("Label2"));
    YPosition->setObjectName(QStringLiteral("YPosition"));
    XPosition->setAccessibleDescription(tr("Cursor X"));
    YPosition->setAccessibleDescription(tr("Cursor Y"));
    for (QLabel* value : {XPosition, YPosition}) {
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(90);
    }
    auto* cursor = new QGridLayout(SSFrame2);
    cursor->addWidget(Label1, 0, 0);
    cursor->addWidget(XPosition, 0, 1);
    cursor->addWidget(Label2, 1, 0);
    cursor->addWidget(YPosition, 1, 1);

    CmdReset = new QPushButton(QStringLiteral("Reset Scale"));
    CmdReset->setObjectName(QStringLiteral("CmdReset"));
    CmdReset->setAccessibleName(QStringLiteral("Reset Scale"));
    CmdPrint = new QPushButton(QStringLiteral("Print Graph"));
    CmdPrint->setObjectName(QStringLiteral("CmdPrint"));
    CmdPrint->setAccessibleName(QStringLiteral("Print Graph"));
    CmdReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    CmdReset->setToolTip(withShortcut(CmdReset->text(), CmdReset->shortcut()));
    CmdPrint->setShortcut(QKeySequence::Print);
    CmdPrint->setToolTip(withShortcut(CmdPrint->text(), CmdPrint->shortcut()));
    CmdSaveImage = new QPushButton(tr("Save Image"));
    CmdSaveImage->setObjectName(QStringLiteral("CmdSaveImage"));
    CmdSaveImage->setAccessibleName(tr("Save Image"));
    CmdSaveImage->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    CmdSaveImage->setToolTip(withShortcut(tr("Save the graph as a PNG or SVG picture"), CmdSaveImage->shortcut()));
    addCloseKeys(this, false);
    connect(CmdSaveImage, &QPushButton::clicked, this, &PlotWindow::onCmdSaveImageClick);
    connect(CmdReset, &QPushButton::clicked, this, &PlotWindow::onCmdResetClick);
    connect(CmdPrint, &QPushButton::clicked, this, &PlotWindow::onCmdPrintClick);

    LblMessage = new QLabel;
    LblMessage->setObjectName(QStringLiteral("LblMessage"));
    LblMessage->setAccessibleDescription(tr("Messages"));
    LblMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    LblMessage->setWordWrap(true);
    LblMessage->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    // The spans the file's exposure analysis leaves out, marked with the
    // two cursors.
    FrmExposure = new QGroupBox(tr("Exposure analysis"));
    FrmExposure->setObjectName(QStringLiteral("FrmExposure"));
    FrmExposure->setAccessibleName(FrmExposure->title());
    CmdSpanCursors = new QPushButton(tr("&Place span cursors"));
    CmdSpanCursors->setObjectName(QStringLiteral("CmdSpanCursors"));
    CmdSpanCursors->setToolTip(tr("Shows both cursors; drag them to the first and the last record of a span"));
    CmdExclude = new QPushButton(tr("E&xclude between cursors"));
    CmdExclude->setObjectName(QStringLiteral("CmdExclude"));
    CmdExclude->setToolTip(tr("Leaves the records between the cursors out of the exposure analysis"));
    CmdInclude = new QPushButton(tr("&Include between cursors"));
    CmdInclude->setObjectName(QStringLiteral("CmdInclude"));
    CmdInclude->setToolTip(tr("Takes the records between the cursors back into the exposure analysis"));
    auto* exposure = new QVBoxLayout(FrmExposure);
    exposure->addWidget(CmdSpanCursors);
    exposure->addWidget(CmdExclude);
    exposure->addWidget(CmdInclude);
    connect(CmdSpanCursors, &QPushButton::clicked, this, &PlotWindow::onCmdSpanCursorsClick);
    connect(CmdExclude, &QPushButton::clicked, this, &PlotWindow::onCmdExcludeClick);
    connect(CmdInclude, &QPushButton::clicked, this, &PlotWindow::onCmdIncludeClick);
    FrmExposure->hide();

    auto* frame = new QVBoxLayout(FrmGraphic);
    frame->addWidget(SSFrame4);
    frame->addWidget(SSFrame3);
    frame->addWidget(SSFrame2);
    frame->addWidget(CmdReset);
    frame->addWidget(CmdPrint);
    frame->addWidget(CmdSaveImage);
    frame->addWidget(FrmExposure);
    frame->addWidget(LblMessage, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(CWGraph1, 1);
    layout->addWidget(FrmGraphic);

    connect(CWGraph1, &GraphView::cursorMoved, this, &PlotWindow::onCWGraph1CursorMoved);
    connect(CWGraph1, &GraphView::axisRangesChanged, this, &PlotWindow::showGraphRanges);

    Combo1->setCurrentIndex(0);
    onCombo1Click(0);
}

void PlotWindow::placeBeside(QWidget* opener)
{
    if (!opener)
        return;
    const QWidget* top = opener->window();
    move(top->frameGeometry().topLeft() + QPoint(40, 40));
}

void PlotWindow::plot(const PlotInputs& inputs, std::vector<double> values)
{
    state_.plotKind = inputs.plotKind;
    state_.plotXMax = inputs.plotXMax;
    state_.plotYMin = inputs.plotYMin;
    state_.plotYMax = inputs.plotYMax;
    decimals_ = inputs.decimals;
    CWGraph1->setAxisCaption(1, QStringLiteral("X-Axis"));
    CWGraph1->setAxisCaption(2, inputs.axisCaption.empty() ? QStringLiteral("Y-Axis")
                                                           : QString::fromStdString(inputs.axisCaption));
    if (!inputs.label.empty())
        Label2->setText(QString::fromStdString(inputs.label));
    AxisMin[1]->setDecimals(decimals_);
    AxisMax[1]->setDecimals(decimals_);
    XPosition->clear();
    YPosition->clear();
    CWGraph1->plotSeries(values);
    onCmdResetClick();
}

void PlotWindow::setAnalysis(AnalysisHub* hub, const QString& dataPath, std::shared_ptr<const RecordTimes> times)
{
    if (hub_) {
        hub_->withdrawCursors(this);
        disconnect(hub_, nullptr, this, nullptr);
    }
    const bool shown = hub && !dataPath.isEmpty() && times && !times->empty();
    hub_ = shown ? hub : nullptr;
    dataPath_ = shown ? dataPath : QString();
    times_ = shown ? std::move(times) : nullptr;
    step_ = times_ ? recordStep(*times_) : 1;
    FrmExposure->setVisible(shown);
    if (!shown) {
        CWGraph1->setShadedRanges({});
        return;
    }
    connect(hub_, &AnalysisHub::exclusionsChanged, this, [this](const QString& changed) {
        if (changed == AnalysisHub::key(dataPath_))
            showExclusions();
    });
    hub_->offerCursors(this, dataPath_, [this] { return cursorSpan(); });
    showExclusions();
}

void PlotWindow::showExclusions()
{
    if (!hub_ || !times_)
        return;
    auto spans = checkExclusions(hub_->exclusions(dataPath_).exclusions);
    const ExcludedRows rows = ExcludedRows::of(*times_, spans ? *spans : std::vector<TimeSpan>{});
    // Record r + 1 is drawn at X = r + 1: a stripe covers its whole step.
    std::vector<std::pair<double, double>> ranges;
    for (const ExcludedRows::Run& run : rows.runs())
        ranges.emplace_back(static_cast<double>(run.first) + 0.5, static_cast<double>(run.last) + 1.5);
    CWGraph1->setShadedRanges(ranges);
}

void PlotWindow::closeEvent(QCloseEvent* event)
{
    // A closed Plot offers no cursors, though it may wait a moment for its deletion.
    if (hub_)
        hub_->withdrawCursors(this);
    QWidget::closeEvent(event);
}

std::optional<TimeSpan> PlotWindow::cursorSpan() const
{
    if (!times_ || times_->empty() || !CWGraph1->cursorVisible(1) || !CWGraph1->cursorVisible(2))
        return std::nullopt;
    const auto rowAt = [this](double x) {
        const double last = static_cast<double>(times_->size() - 1);
        return static_cast<std::size_t>(std::clamp(std::round(x) - 1.0, 0.0, last));
    };
    return spanOfRows(*times_, rowAt(CWGraph1->cursorX(1)), rowAt(CWGraph1->cursorX(2)), step_);
}

void PlotWindow::onCmdSpanCursorsClick()
{
    const int drag = static_cast<int>(GraphView::TrackMode::cursorDrag) - 1;
    Combo1->setCurrentIndex(drag);
    onCombo1Click(drag);
    // Both cursors, a third of the way in from either side of what is shown.
    const double xMin = CWGraph1->axisMinimum(1);
    const double xMax = CWGraph1->axisMaximum(1);
    const double y = (CWGraph1->axisMinimum(2) + CWGraph1->axisMaximum(2)) / 2;
    CWGraph1->setCursorPosition(1, xMin + (xMax - xMin) / 3, y);
    CWGraph1->setCursorPosition(2, xMax - (xMax - xMin) / 3, y);
    CWGraph1->setCursorVisible(2, true);
    onCWGraph1CursorMoved(1, CWGraph1->cursorX(1), CWGraph1->cursorY(1));
    txtDescription_->setPlainText(tr("Drag the two cursors to the first and the last record of the span, "
                                     "then exclude or include it."));
}

void PlotWindow::onCmdExcludeClick()
{
    changeExclusions(true);
}

void PlotWindow::onCmdIncludeClick()
{
    changeExclusions(false);
}

void PlotWindow::changeExclusions(bool leaveOut)
{
    if (!hub_)
        return;
    const auto span = cursorSpan();
    if (!span) {
        if (dialogs_.message)
            dialogs_.message(this,
                             tr("Place both cursors first (\"Place span cursors\"), on the first and the last "
                                "record of the span."),
                             false);
        return;
    }
    const ExposureOptions now = hub_->exclusions(dataPath_);
    const ExposureOptions next = leaveOut ? withSpanExcluded(now, *span) : withSpanIncluded(now, *span);
    if (next.exclusions == now.exclusions)
        return;
    const Status changed = hub_->changeExclusions(dataPath_, next, [w = QPointer(this)](const Status& saved) {
        if (!saved && w && w->dialogs_.message)
            w->dialogs_.message(w,
                                tr("The span holds until the program ends, but the analysis could not be saved "
                                   "beside the data file: %1")
                                    .arg(q(saved.error().message)),
                                true);
    });
    if (!changed && dialogs_.message)
        dialogs_.message(this, q(changed.error().message), false);
}

void PlotWindow::setMessageLines(const QStringList& lines)
{
    LblMessage->setText(lines.join(QLatin1Char('\n')));
}

QStringList PlotWindow::messageLines() const
{
    return LblMessage->text().isEmpty() ? QStringList() : LblMessage->text().split(QLatin1Char('\n'));
}

void PlotWindow::onCombo1Click(int index)
{
    const auto& modes = plotTrackModes();
    if (index < 0 || index >= static_cast<int>(modes.size())) {
        txtDescription_->setPlainText(q(kInvalidTrackMode));
        return;
    }
    const TrackModeEntry& e = modes[static_cast<std::size_t>(index)];
    const auto mode = GraphView::trackModeFromNumber(e.mode);
    CWGraph1->setTrackMode(*mode);
    txtDescription_->setPlainText(q(e.description));
    switch (*mode) {
    case GraphView::TrackMode::cursorDrag: {
        CWGraph1->setCursorSnap(1, true);
        CWGraph1->setCursorSnap(2, true);
        CWGraph1->setCursorVisible(1, true);
        CWGraph1->setCursorVisible(2, false);
        const double x = (CWGraph1->axisMinimum(1) + CWGraph1->axisMaximum(1)) / 2;
        const double y = (CWGraph1->axisMinimum(2) + CWGraph1->axisMaximum(2)) / 2;
        CWGraph1->setCursorPosition(1, x, y);
        // The read-out shows where the cursor was put before it is dragged.
        onCWGraph1CursorMoved(1, CWGraph1->cursorX(1), CWGraph1->cursorY(1));
        break;
    }
    case GraphView::TrackMode::panX:
    case GraphView::TrackMode::panY:
    case GraphView::TrackMode::zoomXY:
    case GraphView::TrackMode::zoomX:
    case GraphView::TrackMode::zoomY:
        CWGraph1->setCursorVisible(1, false);
        CWGraph1->setCursorVisible(2, false);
        break;
    case GraphView::TrackMode::normal:
    case GraphView::TrackMode::panXY: break;
    }
}

void PlotWindow::onCWGraph1CursorMoved(int cursor, double x, double y)
{
    if (cursor != 1)
        return;
    XPosition->setText(QString::fromStdString(formatGeneral(std::round(x * 100.0) / 100.0, regional_)));
    YPosition->setText(QString::fromStdString(formatFixed(y, decimals_ >= 4 ? 4 : 1, regional_)));
}

void PlotWindow::setAxisBoxes(double xMin, double xMax, double yMin, double yMax)
{
    const std::array<double, 4> values{xMin, xMax, yMin, yMax};
    const std::array<QDoubleSpinBox*, 4> boxes{AxisMin[0], AxisMax[0], AxisMin[1], AxisMax[1]};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const QSignalBlocker block(boxes[i]);
        boxes[i]->setValue(values[i]);
    }
}

void PlotWindow::showGraphRanges()
{
    // After a pan or zoom the boxes show what the graph shows.
    setAxisBoxes(CWGraph1->axisMinimum(1), CWGraph1->axisMaximum(1), CWGraph1->axisMinimum(2),
                 CWGraph1->axisMaximum(2));
}

void PlotWindow::applyAxisBoxes()
{
    // Read all four first: setting one axis shows the graph's ranges in the boxes.
    const double xMin = AxisMin[0]->value();
    const double xMax = AxisMax[0]->value();
    const double yMin = AxisMin[1]->value();
    const double yMax = AxisMax[1]->value();
    CWGraph1->setAxisRange(1, xMin, xMax);
    CWGraph1->setAxisRange(2, yMin, yMax);
    // A range the graph refused (minimum not below maximum) must not stay in the boxes.
    showGraphRanges();
}

void PlotWindow::onAxisValueChanged()
{
    applyAxisBoxes();
}

void PlotWindow::onCmdResetClick()
{
    CWGraph1->setCursorVisible(1, false);
    CWGraph1->setCursorVisible(2, false);
    Combo1->setCurrentIndex(0);
    onCombo1Click(0);
    double xMax = state_.plotXMax;
    double yMin = state_.plotYMin;
    double yMax = state_.plotYMax;
    // A single record or a flat range still gets an axis to stand on.
    if (!(xMax > 1.0))
        xMax = 2.0;
    if (!(yMax > yMin))
        yMax = yMin + 1.0;
    setAxisBoxes(1.0, xMax, yMin, yMax);
    applyAxisBoxes();
}

void PlotWindow::drawGraph(QPainter& painter, const QRectF& target)
{
    const QColor background = CWGraph1->backgroundColor();
    CWGraph1->setBackgroundColor(Qt::white);
    CWGraph1->render(painter, target);
    CWGraph1->setBackgroundColor(background);
}

void PlotWindow::onCmdPrintClick()
{
    printPage(this, dialogs_, [&](QPainter& painter, const QRectF& page) {
        // The graph as wide as the page, as high as its shape on screen allows.
        const double aspect = CWGraph1->width() > 0 ? double(CWGraph1->height()) / CWGraph1->width() : 0.6;
        const double h = std::min(page.height(), page.width() * aspect);
        drawGraph(painter, QRectF(page.left(), page.top(), page.width(), h));
    });
}

void PlotWindow::onCmdSaveImageClick()
{
    saveImage(this, dialogs_, QStringLiteral("plot.png"), CWGraph1->size(),
              [&](QPainter& painter, const QRectF& target) { drawGraph(painter, target); });
}

} // namespace km740
