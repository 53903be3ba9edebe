// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/RealTimeSLM.h"

#include "app/ui/KeyHints.h"

#include "core/common/Twips.h"
#include "core/link/Clock.h"
#include "app/ui/AppState.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace km740 {

namespace {

const QColor kGridColor(192, 192, 192);  // light grey
const QColor kWarningColor(255, 176, 0); // amber
const QColor kAlarmColor(220, 0, 0);
constexpr double kHighestAlert = 140.0;

QLabel* labelPanel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLineEdit* input(const QString& objectName, const QString& accessibleName, const QString& allowed)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(allowed), edit));
    return edit;
}

QColor traceColor(TraceBand band)
{
    switch (band) {
    case TraceBand::alarm: return kAlarmColor;
    case TraceBand::warning: return kWarningColor;
    case TraceBand::normal: break;
    }
    return Qt::black;
}

QString pointText(double value)
{
    return QString::fromStdString(formatGeneral(value, Regional::point()));
}

} // namespace

RealTimeSLM::RealTimeSLM(AppState& state, std::function<Regional()> regional, QWidget* panel, ChartDialogs dialogs)
    : QWidget(nullptr), state_(state), regional_(std::move(regional)), dialogs_(std::move(dialogs)),
      clock_([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("RealTimeSLM"));
    setWindowTitle(QStringLiteral("Real Time Graph"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(twipsToPixels(kMinWidth), twipsToPixels(kMinHeight));
    buildWindow();
    resize(640, 440);
    if (panel) {
        const QRect p = panel->frameGeometry();
        move(p.left() + p.width(), p.top());
    }
    redraw();
}

RealTimeSLM::~RealTimeSLM() = default;

void RealTimeSLM::buildWindow()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(timer1Interval);
    connect(Timer1, &QTimer::timeout, this, &RealTimeSLM::onTimer1Timer);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(tr("Chart keys"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::array<std::pair<QString, QString>, 4> keys{{
        {QStringLiteral("Limit"), QStringLiteral("Limit")},
        {QStringLiteral("Print"), QStringLiteral("Print")},
        {QStringLiteral("SaveImage"), tr("Save Image")},
        {QStringLiteral("Alarms"), tr("Alarms")},
    }};
    for (const auto& [key, text] : keys) {
        QAction* a = Toolbar1->addAction(text);
        a->setObjectName(key);
        connect(a, &QAction::triggered, this, [this, key = key] { onToolbar1Click(key); });
        setActionKey(a, key == QLatin1String("Print")       ? QKeySequence(QKeySequence::Print)
                        : key == QLatin1String("Limit")     ? QKeySequence(Qt::CTRL | Qt::Key_L)
                        : key == QLatin1String("SaveImage") ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)
                                                            : QKeySequence(Qt::CTRL | Qt::Key_A));
    }
    letTabReach(Toolbar1);
    addCloseKeys(this, false);
    Toolbar1->adjustSize();

    buildLimitPanel();
    buildAlarmPanel();
}

void RealTimeSLM::buildLimitPanel()
{
    PMessage = new QFrame(this);
    PMessage->setObjectName(QStringLiteral("PMessage"));
    PMessage->setAccessibleDescription(tr("Chart limits"));
    PMessage->setFrameShape(QFrame::Panel);
    PMessage->setFrameShadow(QFrame::Raised);
    PMessage->setAutoFillBackground(true);

    const QString level = QStringLiteral("[-0-9.]*");
    TxtMax = input(QStringLiteral("TxtMax"), QStringLiteral("Max"), level);
    TxtMin = input(QStringLiteral("TxtMin"), QStringLiteral("Min"), level);
    TxtCounts = input(QStringLiteral("TxtCounts"), QStringLiteral("Records"), QStringLiteral("[0-9]*"));
    CkWarning = new QCheckBox(tr("Warning"));
    CkWarning->setObjectName(QStringLiteral("CkWarning"));
    CkWarning->setAccessibleName(tr("Warning level on"));
    TxtWarning = input(QStringLiteral("TxtWarning"), tr("Warning level"), level);
    CkAlarm = new QCheckBox(tr("Alarm"));
    CkAlarm->setObjectName(QStringLiteral("CkAlarm"));
    CkAlarm->setAccessibleName(tr("Alarm level on"));
    TxtAlarm = input(QStringLiteral("TxtAlarm"), tr("Alarm level"), level);
    CmdOK = new QPushButton(QStringLiteral("OK"));
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setAccessibleName(QStringLiteral("OK"));
    CmdCancel = new QPushButton(tr("Cancel"));
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setAccessibleName(tr("Cancel"));

    auto* grid = new QGridLayout(PMessage);
    grid->addWidget(labelPanel(QStringLiteral("Max")), 0, 0);
    grid->addWidget(TxtMax, 0, 1);
    grid->addWidget(labelPanel(QStringLiteral("Min")), 1, 0);
    grid->addWidget(TxtMin, 1, 1);
    grid->addWidget(labelPanel(QStringLiteral("Records")), 2, 0);
    grid->addWidget(TxtCounts, 2, 1);
    grid->addWidget(CkWarning, 3, 0);
    grid->addWidget(TxtWarning, 3, 1);
    grid->addWidget(CkAlarm, 4, 0);
    grid->addWidget(TxtAlarm, 4, 1);
    grid->addWidget(CmdOK, 5, 0);
    grid->addWidget(CmdCancel, 5, 1);

    // Enter walks down the fields and the last one confirms.
    connect(TxtMax, &QLineEdit::returnPressed, TxtMin, [this] { TxtMin->setFocus(); });
    connect(TxtMin, &QLineEdit::returnPressed, TxtCounts, [this] { TxtCounts->setFocus(); });
    connect(TxtCounts, &QLineEdit::returnPressed, this, &RealTimeSLM::onCmdOKClick);
    connect(TxtWarning, &QLineEdit::returnPressed, TxtAlarm, [this] { TxtAlarm->setFocus(); });
    connect(TxtAlarm, &QLineEdit::returnPressed, this, &RealTimeSLM::onCmdOKClick);
    connect(CmdOK, &QPushButton::clicked, this, &RealTimeSLM::onCmdOKClick);
    connect(CmdCancel, &QPushButton::clicked, this, [this] {
        PMessage->hide();
        Timer1->start();
    });
    PMessage->adjustSize();
    PMessage->hide();
}

void RealTimeSLM::buildAlarmPanel()
{
    FrmAlarms = new QFrame(this);
    FrmAlarms->setObjectName(QStringLiteral("FrmAlarms"));
    FrmAlarms->setAccessibleName(tr("Alarm periods"));
    FrmAlarms->setFrameShape(QFrame::Panel);
    FrmAlarms->setFrameShadow(QFrame::Raised);
    FrmAlarms->setAutoFillBackground(true);

    alarmModel_ = new QStandardItemModel(0, 3, this);
    alarmModel_->setHorizontalHeaderLabels({tr("Start"), tr("End"), tr("Maximum")});
    GridAlarms = new QTableView;
    GridAlarms->setObjectName(QStringLiteral("GridAlarms"));
    GridAlarms->setAccessibleName(tr("Alarm periods"));
    GridAlarms->setModel(alarmModel_);
    GridAlarms->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridAlarms->verticalHeader()->hide();
    GridAlarms->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CmdSaveAlarms = new QPushButton(tr("Save CSV"));
    CmdSaveAlarms->setObjectName(QStringLiteral("CmdSaveAlarms"));
    CmdSaveAlarms->setAccessibleName(tr("Save CSV"));
    LblAlarmStatus = new QLabel;
    LblAlarmStatus->setObjectName(QStringLiteral("LblAlarmStatus"));
    LblAlarmStatus->setAccessibleDescription(tr("Alarm save status"));
    LblAlarmStatus->setWordWrap(true);
    auto* title = new QLabel(tr("Alarm periods"));
    auto* box = new QVBoxLayout(FrmAlarms);
    box->addWidget(title);
    box->addWidget(GridAlarms, 1);
    box->addWidget(CmdSaveAlarms);
    box->addWidget(LblAlarmStatus);
    connect(CmdSaveAlarms, &QPushButton::clicked, this, &RealTimeSLM::onCmdSaveAlarmsClick);
    FrmAlarms->hide();
}

void RealTimeSLM::placePanels()
{
    Toolbar1->setGeometry(0, 0, width(), Toolbar1->sizeHint().height());
    const QSize s = PMessage->sizeHint();
    PMessage->setGeometry((width() - s.width()) / 2, (height() - s.height()) / 2, s.width(), s.height());
    const int top = Toolbar1->height();
    const int w = std::min(width() - 20, 380);
    FrmAlarms->setGeometry(width() - w - 10, top + 4, w, std::max(120, height() * 2 / 3 - top));
}

// ---- drawing

void RealTimeSLM::redraw()
{
    Timer1->stop();
    PMessage->hide();
    if (surface_.size() != size())
        surface_ = QImage(size(), QImage::Format_RGB32);
    surface_.fill(palette().color(QPalette::Window));
    geometry_ = RealTimeGeometry::forSurface(width(), height());
    x_ = 0.0;
    prevX_ = 0.0;
    prevY_ = 0.0;
    trace_.clear();
    QPainter p(&surface_);
    drawChart(p);
    p.end();
    update();
    Timer1->start();
}

void RealTimeSLM::drawChart(QPainter& p) const
{
    paintPlotArea(p);
    const TraceStep* previous = nullptr;
    for (const TraceStep& step : trace_) {
        drawStep(p, step, previous ? previous->x : 0.0, previous ? previous->y : 0.0);
        previous = &step;
    }
}

void RealTimeSLM::drawStep(QPainter& p, const TraceStep& step, double fromX, double fromY) const
{
    const RealTimeGeometry& g = geometry_;
    // The grid goes under the trace so the trace is never broken by it.
    if (step.mark != ColumnMark::none) {
        p.setPen(QPen(kGridColor, 0));
        p.drawLine(QPointF(g.screenX(step.x), g.screenY(0)), QPointF(g.screenX(step.x), g.screenY(g.plotHeight)));
    }
    if (step.mark == ColumnMark::gridLineAndTime) {
        const int w = p.fontMetrics().horizontalAdvance(step.time);
        p.setPen(Qt::black);
        p.drawText(QPointF(g.screenX(step.x) - w / 2.0, g.baseLine + 4 + p.fontMetrics().ascent()), step.time);
    }
    if (step.joined) {
        p.setPen(QPen(step.color, 0));
        p.drawLine(QPointF(g.screenX(fromX), g.screenY(fromY)), QPointF(g.screenX(step.x), g.screenY(step.y)));
    }
}

void RealTimeSLM::paintPlotArea(QPainter& p) const
{
    const RealTimeGeometry& g = geometry_;
    const double top = g.screenY(g.plotHeight);
    // The room around the plot takes the out-of-range marks, the level labels
    // and the time labels, the first of which reaches left of the plot; all of
    // it is cleared and drawn again when the trace starts over, so no label is
    // drawn over an older one.
    const double above = top - 8 - p.fontMetrics().height();
    p.fillRect(QRectF(0, above, g.margin + g.plotWidth + 40, height() - above), palette().color(QPalette::Window));
    p.fillRect(QRectF(g.margin, top, g.plotWidth, g.plotHeight), Qt::white);
    p.setPen(QPen(kGridColor, 0));
    for (int k = 0; k <= RealTimeGeometry::gridParts; ++k)
        p.drawLine(QPointF(g.screenX(0), g.gridLineY(k)), QPointF(g.screenX(g.plotWidth), g.gridLineY(k)));
    const auto alertLine = [&](const std::optional<double>& level, const QColor& color) {
        if (!level || *level < limits_.minLevel || *level > limits_.maxLevel)
            return;
        const double y = g.screenY(sampleHeight(ChartSample{ChartSample::Kind::level, *level}, limits_, g.plotHeight));
        p.setPen(QPen(color, 0, Qt::DashLine));
        p.drawLine(QPointF(g.screenX(0), y), QPointF(g.screenX(g.plotWidth), y));
    };
    alertLine(alerts_.warning, kWarningColor);
    alertLine(alerts_.alarm, kAlarmColor);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(g.margin, top, g.plotWidth, g.plotHeight));
    drawLevelLabels(p);
}

void RealTimeSLM::drawLevelLabels(QPainter& p) const
{
    const RealTimeGeometry& g = geometry_;
    const auto labels = levelLabels(limits_, regional_ ? regional_() : Regional::point());
    p.setPen(Qt::black);
    const int h = p.fontMetrics().height();
    for (int k = 0; k < 9; ++k) {
        const double y = g.gridLineY(2 * k);
        p.drawText(QRectF(0, y - h / 2.0, g.margin - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(labels[static_cast<std::size_t>(k)]));
    }
    p.drawText(QRectF(0, g.screenY(g.plotHeight) - 8 - h, g.margin - 6, h), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("dB"));
}

ChartSample RealTimeSLM::currentSample() const
{
    // A level the panel has not refreshed lately (link lost) is no reading.
    if (!state_.live.fresh(steadySeconds()))
        return ChartSample{};
    return readChartSample(state_.live.level.text, regional_ ? regional_() : Regional::point());
}

void RealTimeSLM::onTimer1Timer()
{
    if (state_.meterInUse) {
        state_.chartOpen = false;
        close();
        return;
    }
    if (!state_.chartOpen)
        return;

    const RealTimeGeometry& g = geometry_;
    QPainter p(&surface_);
    x_ = advancePen(x_, sampleStep_, g.plotWidth);
    if (x_ == 0.0) {
        paintPlotArea(p);
        trace_.clear();
    }

    const ChartSample sample = currentSample();
    const QDateTime now = clock_();
    TraceStep step;
    step.x = x_;
    step.y = sampleHeight(sample, limits_, g.plotHeight);
    step.mark = columnMarkAt(x_);
    if (step.mark == ColumnMark::gridLineAndTime) {
        const Regional r = regional_ ? regional_() : Regional::point();
        const QString sep(QLatin1Char(r.timeSep));
        step.time = now.toString(QStringLiteral("hh") + sep + QStringLiteral("mm") + sep + QStringLiteral("ss"));
    }
    step.color = traceColor(traceBandOf(sample, alerts_));
    step.joined = prevX_ != 0.0 && x_ != 0.0;
    drawStep(p, step, prevX_, prevY_);
    trace_.push_back(step);
    prevX_ = x_;
    prevY_ = step.y;
    p.end();
    update();

    noteAlarm(sample, now);
}

void RealTimeSLM::noteAlarm(const ChartSample& sample, const QDateTime& now)
{
    if (!alerts_.alarm)
        return;
    const QString time = now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const bool opened = alarms_.add(sample, *alerts_.alarm, time.toStdString());
    const auto& periods = alarms_.periods();
    if (periods.empty() || !periods.back().open)
        return;
    const AlarmPeriod& last = periods.back();
    const QString maximum = QString::fromStdString(alarmMaximumText(last, regional_ ? regional_() : Regional::point()));
    if (opened) {
        alarmModel_->appendRow({new QStandardItem(QString::fromStdString(last.start)),
                                new QStandardItem(QString::fromStdString(last.end)), new QStandardItem(maximum)});
        GridAlarms->scrollToBottom();
    } else {
        const int row = alarmModel_->rowCount() - 1;
        alarmModel_->item(row, 1)->setText(QString::fromStdString(last.end));
        alarmModel_->item(row, 2)->setText(maximum);
    }
}

void RealTimeSLM::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void RealTimeSLM::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePanels();
    redraw();
}

void RealTimeSLM::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    state_.chartOpen = false;
    alarms_.close();
    emit closed();
    QWidget::closeEvent(event);
}

// ---- toolbar and limit panel

void RealTimeSLM::onToolbar1Click(const QString& key)
{
    if (key == QLatin1String("Limit"))
        showLimitPanel();
    else if (key == QLatin1String("Print"))
        print();
    else if (key == QLatin1String("SaveImage"))
        saveImage(this, dialogs_, clock_().toString(QStringLiteral("'level-'yyyyMMdd-hhmmss'.png'")), chartSize(),
                  [this](QPainter& painter, const QRectF& target) { drawChartInto(painter, target); });
    else if (key == QLatin1String("Alarms"))
        FrmAlarms->setVisible(FrmAlarms->isHidden());
}

void RealTimeSLM::showLimitPanel()
{
    Timer1->stop();
    TxtCounts->setText(QString::number(samplesAcross(geometry_.plotWidth, sampleStep_)));
    TxtMax->setText(pointText(limits_.maxLevel));
    TxtMin->setText(pointText(limits_.minLevel));
    CkWarning->setChecked(alerts_.warning.has_value());
    CkAlarm->setChecked(alerts_.alarm.has_value());
    if (alerts_.warning)
        TxtWarning->setText(pointText(*alerts_.warning));
    if (alerts_.alarm)
        TxtAlarm->setText(pointText(*alerts_.alarm));
    placePanels();
    PMessage->show();
    PMessage->raise();
    TxtMax->setFocus();
}

void RealTimeSLM::onCmdOKClick()
{
    const auto say = [this](const QString& text) {
        if (dialogs_.message)
            dialogs_.message(this, text, true);
    };
    const double maxLevel = numericPrefix(TxtMax->text().toStdString());
    const double minLevel = numericPrefix(TxtMin->text().toStdString());
    if (auto m = limitsMessage(maxLevel, minLevel)) {
        say(QString::fromStdString(*m));
        return;
    }
    const double count = numericPrefix(TxtCounts->text().toStdString());
    if (auto m = countsMessage(count)) {
        say(QString::fromStdString(*m));
        return;
    }

    AlertLevels alerts;
    const auto alertLevel = [&](QCheckBox* on, QLineEdit* edit, std::optional<double>& into, const QString& what) {
        if (!on->isChecked())
            return true;
        const std::string text = edit->text().toStdString();
        const double level = numericPrefix(text);
        if (!hasNumericPrefix(text) || level < 0.0 || level > kHighestAlert) {
            say(tr("The %1 level must be a level from 0 to 140 dB.").arg(what));
            return false;
        }
        into = level;
        return true;
    };
    if (!alertLevel(CkWarning, TxtWarning, alerts.warning, tr("warning")) ||
        !alertLevel(CkAlarm, TxtAlarm, alerts.alarm, tr("alarm")))
        return;
    if (alerts.warning && alerts.alarm && *alerts.alarm < *alerts.warning) {
        say(tr("The alarm level must not be below the warning level."));
        return;
    }

    limits_ = ChartLimits{maxLevel, minLevel};
    sampleStep_ = geometry_.plotWidth / std::floor(count);
    if (!alerts.alarm || (alerts_.alarm && *alerts.alarm != *alerts_.alarm))
        alarms_.close();
    alerts_ = alerts;
    redraw();
}

void RealTimeSLM::onCmdSaveAlarmsClick()
{
    if (!dialogs_.saveCsv)
        return;
    const QString name = clock_().toString(QStringLiteral("'alarms-'yyyyMMdd-hhmmss'.csv'"));
    const QString path = dialogs_.saveCsv(this, name);
    if (path.isEmpty())
        return;
    const Status saved = saveAlarmCsv(path.toStdString(), alarms_.periods());
    if (!saved) {
        const QString reason = QString::fromStdString(saved.error().message);
        LblAlarmStatus->setText(tr("Not saved: %1").arg(reason));
        if (dialogs_.message)
            dialogs_.message(
                this, tr("The alarm periods could not be saved to %1: %2").arg(QDir::toNativeSeparators(path), reason),
                true);
        return;
    }
    LblAlarmStatus->setText(tr("Saved to %1").arg(QDir::toNativeSeparators(path)));
}

QSize RealTimeSLM::chartSize() const
{
    return {width(), std::max(0, height() - Toolbar1->height())};
}

void RealTimeSLM::drawChartInto(QPainter& painter, const QRectF& target) const
{
    // The chart below the toolbar, drawn again to the target's width.
    const int top = Toolbar1->height();
    const QRectF chart(0, top, width(), height() - top);
    if (chart.isEmpty())
        return;
    const double scale = std::min(target.width() / chart.width(), target.height() / chart.height());
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.translate(0, -top);
    painter.setClipRect(chart);
    // Text as big against the chart as on the screen, whatever the device's resolution.
    QFont font = this->font();
    font.setPixelSize(QFontInfo(this->font()).pixelSize());
    painter.setFont(font);
    painter.fillRect(chart, palette().color(QPalette::Window));
    drawChart(painter);
    painter.restore();
}

void RealTimeSLM::print()
{
    printPage(this, dialogs_, [this](QPainter& painter, const QRectF& page) { drawChartInto(painter, page); });
}

} // namespace km740
