// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exposure/ExposureSummaryWindow.h"

#include "app/ui/AnalysisHub.h"
#include "app/ui/QtText.h"
#include "app/ui/SmallGrid.h"
#include "core/common/NoValue.h"
#include "core/exposure/ExposureAnalysis.h"
#include "core/lists/ExposureHistory.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace km740 {

namespace {

const char* const kTimeFormat = "yyyy-MM-dd HH:mm:ss";

std::optional<LocalSeconds> secondsOf(const QDateTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.date().year(), t.date().month(), t.date().day(),
                  t.time().hour(), t.time().minute(), t.time().second());
    return parseLocalTime(text);
}

QDateTime dateTimeOf(LocalSeconds t)
{
    return QDateTime::fromString(q(formatLocalTime(t)), Qt::ISODate);
}

QString duration(double seconds)
{
    const auto s = static_cast<long long>(std::llround(seconds));
    return QString::asprintf("%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
}

QTableWidget* grid(const QString& name, const QString& spoken, const QStringList& headers, QWidget* parent)
{
    auto* g = smallGrid(name, spoken, headers, parent);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    return g;
}

void setCell(QTableWidget* g, int row, int column, const QString& text, bool number = true)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    g->setItem(row, column, item);
}

// While a grid is filled its columns keep their widths and are sized to
// their contents once at the end, not once per cell.
class GridFill {
public:
    explicit GridFill(QTableWidget* g) : g_(g)
    {
        g_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    }
    ~GridFill() { g_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents); }
    GridFill(const GridFill&) = delete;
    GridFill& operator=(const GridFill&) = delete;

private:
    QTableWidget* g_;
};

// The overall values, one row each, in this order.
enum ValueRow {
    rowReadings,
    rowExcluded,
    rowUsed,
    rowMeasured,
    rowExposure,
    rowLaeq,
    rowLmax,
    rowLmin,
    rowSel,
    rowPa2h,
    rowLex,
    rowPoints,
    rowAbove,
    rowFirstLn,
};

} // namespace

ExposureDialogs ExposureDialogs::desktop()
{
    ExposureDialogs d;
    d.message = [](QWidget* over, const QString& text, bool critical) {
        if (critical)
            QMessageBox::critical(over, QStringLiteral("Exposure Summary"), text);
        else
            QMessageBox::information(over, QStringLiteral("Exposure Summary"), text);
    };
    d.saveAs = [](QWidget* over, const QString& suggested) {
        return QFileDialog::getSaveFileName(over, QObject::tr("Save Analysis As"), suggested,
                                            QObject::tr("Exposure analysis (*.km740a);;All Files (*)"));
    };
    return d;
}

ExposureSummaryWindow::ExposureSummaryWindow(ExposureRequest request, ExposureDialogs dialogs, const Regional& regional,
                                             QWidget* parent)
    : QWidget(parent, Qt::Window), request_(std::move(request)), dialogs_(std::move(dialogs)), regional_(regional)
{
    setObjectName(QStringLiteral("ExposureSummary"));
    setWindowTitle(QStringLiteral("Exposure Summary") +
                   (request_.caption.isEmpty() ? QString() : QStringLiteral(" - ") + request_.caption));
    buildWindow();
    loadAnalysis();
    recompute();
}

ExposureSummaryWindow::~ExposureSummaryWindow() = default;

void ExposureSummaryWindow::buildWindow()
{
    auto* outer = new QVBoxLayout(this);
    lblAnalysis_ = new QLabel(this);
    lblAnalysis_->setObjectName(QStringLiteral("LblAnalysis"));
    lblAnalysis_->setWordWrap(true);
    lblAnalysis_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outer->addWidget(lblAnalysis_);

    auto* middle = new QHBoxLayout;
    gridValues_ = grid(QStringLiteral("GridValues"), tr("Overall values"), {tr("Value"), tr("Result")}, this);
    const QStringList names = {tr("Readings"),
                               tr("Left out"),
                               tr("Used"),
                               tr("Time measured"),
                               tr("Exposure time"),
                               QStringLiteral("LAeq"),
                               QStringLiteral("Lmax"),
                               QStringLiteral("Lmin"),
                               QStringLiteral("SEL"),
                               tr("Sound exposure (Pa²h)"),
                               QStringLiteral("LEX,8h"),
                               tr("Exposure points"),
                               tr("Time at or above")};
    gridValues_->setRowCount(rowFirstLn + static_cast<int>(kLnPercents.size()));
    for (int r = 0; r < names.size(); ++r)
        setCell(gridValues_, r, 0, names[r], false);
    for (std::size_t i = 0; i < kLnPercents.size(); ++i)
        setCell(gridValues_, rowFirstLn + static_cast<int>(i), 0, QStringLiteral("L%1").arg(kLnPercents[i]), false);
    gridValues_->setMinimumWidth(300);
    middle->addWidget(gridValues_);

    auto* right = new QVBoxLayout;
    gridStandards_ =
        grid(QStringLiteral("GridStandards"), tr("Standards"),
             {tr("Standard"), QStringLiteral("C/T/Q"), tr("Dose %"), QStringLiteral("TWA"), tr("Projected dose %"),
              tr("Projected TWA"), QStringLiteral("Lavg"), tr("Shift dose %"), tr("Shift TWA")},
             this);
    right->addWidget(gridStandards_, 2);

    auto* settings = new QHBoxLayout;
    auto* standardsBox = new QGroupBox(tr("Standards shown"), this);
    auto* standardsLayout = new QVBoxLayout(standardsBox);
    lstStandards_ = new QListWidget(standardsBox);
    lstStandards_->setObjectName(QStringLiteral("LstStandards"));
    lstStandards_->setAccessibleName(tr("Standards shown"));
    addStandardItem(q(kFileStandard), true);
    for (const Standard& s : presetStandards())
        addStandardItem(q(s.name), true);
    connect(lstStandards_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_)
            return;
        // One standard at least stays chosen.
        if (item->checkState() == Qt::Unchecked && options().standards.empty()) {
            filling_ = true;
            item->setCheckState(Qt::Checked);
            filling_ = false;
            return;
        }
        recompute();
    });
    standardsLayout->addWidget(lstStandards_);
    auto* custom = new QHBoxLayout;
    txtCustom_ = new QLineEdit(standardsBox);
    txtCustom_->setObjectName(QStringLiteral("TxtCustom"));
    txtCustom_->setAccessibleName(tr("Custom standard"));
    txtCustom_->setPlaceholderText(tr("C/T/Q, e.g. 90/80/5"));
    auto* cmdAddStandard = new QPushButton(tr("Add &Standard"), standardsBox);
    cmdAddStandard->setObjectName(QStringLiteral("CmdAddStandard"));
    connect(cmdAddStandard, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdAddStandardClick);
    connect(txtCustom_, &QLineEdit::returnPressed, this, &ExposureSummaryWindow::onCmdAddStandardClick);
    custom->addWidget(txtCustom_, 1);
    custom->addWidget(cmdAddStandard);
    standardsLayout->addLayout(custom);
    settings->addWidget(standardsBox, 1);

    auto* column = new QVBoxLayout;
    auto* timeBox = new QGroupBox(tr("Shift"), this);
    auto* timeLayout = new QGridLayout(timeBox);
    chkExposureTime_ = new QCheckBox(tr("&Exposure time (hours)"), timeBox);
    chkExposureTime_->setObjectName(QStringLiteral("ChkExposureTime"));
    txtExposureHours_ = new QDoubleSpinBox(timeBox);
    txtExposureHours_->setObjectName(QStringLiteral("TxtExposureHours"));
    txtExposureHours_->setAccessibleName(tr("Exposure time in hours"));
    txtExposureHours_->setRange(0.01, 8760.0);
    txtExposureHours_->setDecimals(2);
    txtExposureHours_->setValue(8.0);
    txtExposureHours_->setEnabled(false);
    txtExposureHours_->setKeyboardTracking(false);
    auto* lblAbove = new QLabel(tr("Time at or above (dB)"), timeBox);
    txtAbove_ = new QDoubleSpinBox(timeBox);
    txtAbove_->setObjectName(QStringLiteral("TxtAbove"));
    txtAbove_->setAccessibleName(tr("Level for the time at or above"));
    txtAbove_->setRange(0.0, 200.0);
    txtAbove_->setDecimals(1);
    txtAbove_->setValue(85.0);
    txtAbove_->setKeyboardTracking(false);
    lblAbove->setBuddy(txtAbove_);
    timeLayout->addWidget(chkExposureTime_, 0, 0);
    timeLayout->addWidget(txtExposureHours_, 0, 1);
    timeLayout->addWidget(lblAbove, 1, 0);
    timeLayout->addWidget(txtAbove_, 1, 1);
    connect(chkExposureTime_, &QCheckBox::toggled, this, [this](bool on) {
        txtExposureHours_->setEnabled(on);
        if (!filling_)
            recompute();
    });
    connect(txtExposureHours_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!filling_ && chkExposureTime_->isChecked())
            recompute();
    });
    connect(txtAbove_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!filling_)
            recompute();
    });
    column->addWidget(timeBox);

    auto* exclusionsBox = new QGroupBox(tr("Left out"), this);
    auto* exclusionsLayout = new QGridLayout(exclusionsBox);
    gridExclusions_ = grid(QStringLiteral("GridExclusions"), tr("Spans left out"),
                           {tr("From"), tr("To"), tr("Readings"), tr("Reason")}, exclusionsBox);
    auto* lblFrom = new QLabel(tr("&From"), exclusionsBox);
    auto* lblTo = new QLabel(tr("&To"), exclusionsBox);
    txtFrom_ = new QDateTimeEdit(exclusionsBox);
    txtFrom_->setObjectName(QStringLiteral("TxtFrom"));
    txtFrom_->setDisplayFormat(QString::fromLatin1(kTimeFormat));
    txtTo_ = new QDateTimeEdit(exclusionsBox);
    txtTo_->setObjectName(QStringLiteral("TxtTo"));
    txtTo_->setDisplayFormat(QString::fromLatin1(kTimeFormat));
    auto* lblReason = new QLabel(tr("Reas&on"), exclusionsBox);
    txtReason_ = new QLineEdit(exclusionsBox);
    txtReason_->setObjectName(QStringLiteral("TxtReason"));
    txtReason_->setAccessibleName(tr("Why the span is left out"));
    txtReason_->setPlaceholderText(tr("optional, e.g. badge left on the bench"));
    txtReason_->setMaxLength(200);
    lblFrom->setBuddy(txtFrom_);
    lblTo->setBuddy(txtTo_);
    lblReason->setBuddy(txtReason_);
    auto* cmdAdd = new QPushButton(tr("&Add"), exclusionsBox);
    cmdAdd->setObjectName(QStringLiteral("CmdAdd"));
    auto* cmdRemove = new QPushButton(tr("&Remove"), exclusionsBox);
    cmdRemove->setObjectName(QStringLiteral("CmdRemove"));
    cmdFromPlot_ = new QPushButton(tr("From &Plot cursors"), exclusionsBox);
    cmdFromPlot_->setObjectName(QStringLiteral("CmdFromPlot"));
    cmdFromPlot_->setToolTip(tr("Takes From and To from the two cursors of a Plot of this file"));
    cmdFromPlot_->setEnabled(false);
    connect(cmdFromPlot_, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdFromPlotClick);
    connect(cmdAdd, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdAddClick);
    connect(cmdRemove, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdRemoveClick);
    exclusionsLayout->addWidget(gridExclusions_, 0, 0, 1, 3);
    exclusionsLayout->addWidget(lblFrom, 1, 0);
    exclusionsLayout->addWidget(txtFrom_, 1, 1);
    exclusionsLayout->addWidget(cmdAdd, 1, 2);
    exclusionsLayout->addWidget(lblTo, 2, 0);
    exclusionsLayout->addWidget(txtTo_, 2, 1);
    exclusionsLayout->addWidget(cmdRemove, 2, 2);
    exclusionsLayout->addWidget(lblReason, 3, 0);
    exclusionsLayout->addWidget(txtReason_, 3, 1, 1, 2);
    exclusionsLayout->addWidget(cmdFromPlot_, 4, 1);
    column->addWidget(exclusionsBox, 1);
    settings->addLayout(column, 1);
    right->addLayout(settings, 3);
    middle->addLayout(right, 1);
    outer->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    lblWorking_ = new QLabel(this);
    lblWorking_->setObjectName(QStringLiteral("LblWorking"));
    auto* cmdSave = new QPushButton(tr("Sa&ve Analysis"), this);
    cmdSave->setObjectName(QStringLiteral("CmdSave"));
    connect(cmdSave, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdSaveClick);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &ExposureSummaryWindow::onCmdSaveClick);
    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    cmdReport_ = new QPushButton(tr("Re&port..."), this);
    cmdReport_->setObjectName(QStringLiteral("CmdReport"));
    cmdReport_->setToolTip(tr("The exposure report of this analysis: preview, print, PDF"));
    cmdReport_->setEnabled(false);
    connect(cmdReport_, &QPushButton::clicked, this, &ExposureSummaryWindow::onCmdReportClick);
    bottom->addWidget(lblWorking_, 1);
    bottom->addWidget(cmdReport_);
    bottom->addWidget(cmdSave);
    outer->addLayout(bottom);
    resize(1180, 640);
}

void ExposureSummaryWindow::addStandardItem(const QString& name, bool checked)
{
    auto* item = new QListWidgetItem(name, lstStandards_);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QString ExposureSummaryWindow::analysisPath() const
{
    if (request_.dataPath.isEmpty())
        return {};
    return QFile::decodeName(analysisPathFor(fsPath(request_.dataPath)).string().c_str());
}

void ExposureSummaryWindow::loadAnalysis()
{
    if (request_.dataPath.isEmpty())
        return;
    auto saved = readAnalysisBeside(fsPath(request_.dataPath));
    if (!saved) {
        lblAnalysis_->setText(
            tr("The analysis file beside the data file was left aside: %1").arg(q(saved.error().message)));
        return;
    }
    if (!*saved)
        return;
    setOptions(**saved);
    lblAnalysis_->setText(tr("Analysis brought back from %1").arg(QFileInfo(analysisPath()).fileName()));
}

ExposureOptions ExposureSummaryWindow::options() const
{
    ExposureOptions o;
    for (int i = 0; i < lstStandards_->count(); ++i)
        if (lstStandards_->item(i)->checkState() == Qt::Checked)
            o.standards.push_back(lstStandards_->item(i)->text().toStdString());
    o.exclusions = exclusions_;
    for (const TimeSpan& span : exclusions_)
        if (const auto it = reasons_.find({span.from, span.to}); it != reasons_.end() && !it->second.empty())
            o.reasons[it->first] = it->second;
    if (chkExposureTime_->isChecked())
        o.exposureSeconds = txtExposureHours_->value() * 3600.0;
    o.aboveLevel = txtAbove_->value();
    return o;
}

void ExposureSummaryWindow::setOptions(const ExposureOptions& o)
{
    filling_ = true;
    const std::vector<std::string> names = o.standards.empty() ? defaultStandards() : o.standards;
    for (int i = 0; i < lstStandards_->count(); ++i)
        lstStandards_->item(i)->setCheckState(Qt::Unchecked);
    for (const std::string& name : names) {
        const auto found = lstStandards_->findItems(q(name), Qt::MatchFixedString);
        if (found.isEmpty())
            addStandardItem(q(name), true);
        else
            found.front()->setCheckState(Qt::Checked);
    }
    chkExposureTime_->setChecked(o.exposureSeconds.has_value());
    txtExposureHours_->setEnabled(o.exposureSeconds.has_value());
    if (o.exposureSeconds)
        txtExposureHours_->setValue(*o.exposureSeconds / 3600.0);
    txtAbove_->setValue(o.aboveLevel);
    auto spans = checkExclusions(o.exclusions);
    exclusions_ = spans ? *spans : std::vector<TimeSpan>{};
    reasons_ = o.reasons;
    showExclusions(exclusions_);
    filling_ = false;
    recompute();
}

void ExposureSummaryWindow::showExclusions(const std::vector<TimeSpan>& spans)
{
    gridExclusions_->setRowCount(static_cast<int>(spans.size()));
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const int row = static_cast<int>(i);
        setCell(gridExclusions_, row, 0, q(formatLocalTime(spans[i].from)), false);
        setCell(gridExclusions_, row, 1, q(formatLocalTime(spans[i].to)), false);
        QString readings;
        if (summary_)
            for (const ExclusionCount& e : summary_->exclusions)
                if (e.span == spans[i])
                    readings = QString::number(e.readings);
        setCell(gridExclusions_, row, 2, readings);
        const auto reason = reasons_.find({spans[i].from, spans[i].to});
        setCell(gridExclusions_, row, 3, reason == reasons_.end() ? QString() : q(reason->second), false);
    }
}

void ExposureSummaryWindow::recompute()
{
    if (filling_)
        return;
    // Only the newest change counts: older work stops where it is.
    task_.cancel();
    const std::uint64_t generation = ++generation_;
    working_ = true;
    lblWorking_->setText(tr("Working out the summary..."));

    const ExposureOptions options = this->options();
    const std::filesystem::path path =
        request_.dataPath.isEmpty() ? std::filesystem::path() : fsPath(request_.dataPath);
    const DataFileKind kind = request_.kind;
    const SettingsBlock settings = request_.settings;
    const auto records = request_.records;
    task_.start(
        this,
        [options, path, kind, settings, records](const BackgroundTask::Job& job) {
            if (!path.empty())
                return summarizeExposure(FileHistory(path, job.progress, job.cancel), options);
            const std::span<const LevelRecord> held =
                records ? std::span<const LevelRecord>(*records) : std::span<const LevelRecord>();
            return summarizeExposure(RecordHistory(kind, settings, held, job.cancel), options);
        },
        [generation](ExposureSummaryWindow& w, std::int64_t n) {
            if (generation == w.generation_)
                w.lblWorking_->setText(tr("Working out the summary... %1 records read").arg(n));
        },
        [generation](ExposureSummaryWindow& w, Result<ExposureSummary> result) {
            w.showSummary(generation, std::move(result));
        });
}

QString ExposureSummaryWindow::number(const std::optional<double>& v, int decimals) const
{
    return v ? q(formatFixed(*v, decimals, regional_)) : QString::fromLatin1(kNoValueText);
}

void ExposureSummaryWindow::showSummary(std::uint64_t generation, Result<ExposureSummary> result)
{
    if (generation != generation_)
        return; // a newer change is being worked out
    working_ = false;
    if (!result) {
        summary_.reset();
        lblWorking_->setText(q(result.error().message));
        for (int r = 0; r < gridValues_->rowCount(); ++r)
            setCell(gridValues_, r, 1, QString());
        gridStandards_->setRowCount(0);
        emit summaryShown();
        return;
    }
    summary_ = std::move(*result);
    const ExposureSummary& s = *summary_;
    const GridFill values(gridValues_);
    const GridFill standards(gridStandards_);
    const GridFill exclusions(gridExclusions_);
    lblWorking_->setText(s.used == 0 ? tr("No readings are left to sum up") : QString());

    setCell(gridValues_, rowReadings, 1, QString::number(s.readings));
    setCell(gridValues_, rowExcluded, 1, QString::number(s.excluded));
    setCell(gridValues_, rowUsed, 1, QString::number(s.used));
    setCell(gridValues_, rowMeasured, 1, duration(s.measuredSeconds));
    setCell(gridValues_, rowExposure, 1, duration(s.exposureSeconds));
    setCell(gridValues_, rowLaeq, 1, number(s.laeq, 1));
    setCell(gridValues_, rowLmax, 1, number(s.lmax, 1));
    setCell(gridValues_, rowLmin, 1, number(s.lmin, 1));
    setCell(gridValues_, rowSel, 1, number(s.sel, 1));
    setCell(gridValues_, rowPa2h, 1, number(s.pa2h, 4));
    setCell(gridValues_, rowLex, 1, number(s.lex8h, 1));
    setCell(gridValues_, rowPoints, 1, number(s.points, 0));
    setCell(gridValues_, rowAbove, 0, tr("Time at or above %1 dB").arg(number(s.aboveLevel, 1)), false);
    setCell(gridValues_, rowAbove, 1, duration(s.aboveSeconds));
    for (std::size_t i = 0; i < s.ln.size(); ++i)
        setCell(gridValues_, rowFirstLn + static_cast<int>(i), 1, number(s.ln[i], 1));

    gridStandards_->setRowCount(static_cast<int>(s.standards.size()));
    for (std::size_t i = 0; i < s.standards.size(); ++i) {
        const StandardExposure& e = s.standards[i];
        const int row = static_cast<int>(i);
        setCell(gridStandards_, row, 0, q(e.standard.name), false);
        setCell(gridStandards_, row, 1, q(standardRule(e.standard)), false);
        setCell(gridStandards_, row, 2, number(e.dose, 2));
        setCell(gridStandards_, row, 3, number(e.twa, 1));
        setCell(gridStandards_, row, 4, number(e.projectedDose, 2));
        setCell(gridStandards_, row, 5, number(e.projectedTwa, 1));
        setCell(gridStandards_, row, 6, number(e.lavg, 1));
        setCell(gridStandards_, row, 7, number(e.shiftDose, 2));
        setCell(gridStandards_, row, 8, number(e.shiftTwa, 1));
    }
    if (!chkExposureTime_->isChecked()) {
        filling_ = true;
        txtExposureHours_->setValue(std::max(0.01, s.measuredSeconds / 3600.0));
        filling_ = false;
    }
    // The span editors start at the recording's first hour.
    if (s.firstTime && exclusions_.empty() && gridExclusions_->rowCount() == 0 &&
        txtFrom_->dateTime() == txtTo_->dateTime()) {
        txtFrom_->setDateTime(dateTimeOf(*s.firstTime));
        txtTo_->setDateTime(dateTimeOf(std::min(*s.firstTime + 3600, *s.lastTime + 1)));
    }
    showExclusions(exclusions_);
    emit summaryShown();
}

void ExposureSummaryWindow::onCmdAddClick()
{
    const auto from = secondsOf(txtFrom_->dateTime());
    const auto to = secondsOf(txtTo_->dateTime());
    if (!from || !to)
        return;
    std::vector<TimeSpan> spans = exclusions_;
    spans.push_back({*from, *to});
    auto checked = checkExclusions(spans);
    QString problem = checked ? QString() : q(checked.error().message);
    if (checked && summary_ && summary_->firstTime) {
        const LocalSeconds end = *summary_->lastTime + static_cast<LocalSeconds>(summary_->intervalSeconds);
        if (*to <= *summary_->firstTime || *from >= end)
            problem = tr("The span lies outside the recording (%1 to %2)")
                          .arg(q(formatLocalTime(*summary_->firstTime)), q(formatLocalTime(end)));
    }
    if (!problem.isEmpty()) {
        if (dialogs_.message)
            dialogs_.message(this, problem, false);
        return;
    }
    if (const QString reason = txtReason_->text().simplified(); !reason.isEmpty())
        reasons_[{*from, *to}] = reason.toStdString();
    txtReason_->clear();
    changeExclusions(std::move(*checked));
}

void ExposureSummaryWindow::changeExclusions(std::vector<TimeSpan> spans)
{
    if (hub_) {
        ExposureOptions next = options();
        next.exclusions = std::move(spans);
        next.reasons.clear();
        for (const TimeSpan& span : next.exclusions)
            if (const auto it = reasons_.find({span.from, span.to}); it != reasons_.end() && !it->second.empty())
                next.reasons[it->first] = it->second;
        // The hub tells this window and the others, and saves the spans.
        const Status changed =
            hub_->changeExclusions(request_.dataPath, next, [w = QPointer(this)](const Status& saved) {
                if (!saved && w && w->dialogs_.message)
                    w->dialogs_.message(w,
                                        tr("The span holds until the program ends, but the analysis could not be saved "
                                           "beside the data file: %1\nSave it elsewhere with \"Save Analysis\".")
                                            .arg(q(saved.error().message)),
                                        true);
            });
        if (!changed && dialogs_.message)
            dialogs_.message(this, q(changed.error().message), false);
        return;
    }
    exclusions_ = std::move(spans);
    showExclusions(exclusions_);
    recompute();
}

void ExposureSummaryWindow::setAnalysisHub(AnalysisHub* hub)
{
    if (hub_)
        disconnect(hub_, nullptr, this, nullptr);
    hub_ = request_.dataPath.isEmpty() ? nullptr : hub;
    if (!hub_) {
        updateFromPlotKey();
        return;
    }
    connect(hub_, &AnalysisHub::exclusionsChanged, this, [this](const QString& changed) {
        if (changed == AnalysisHub::key(request_.dataPath))
            followHub();
    });
    connect(hub_, &AnalysisHub::cursorsChanged, this, &ExposureSummaryWindow::updateFromPlotKey);
    updateFromPlotKey();
    followHub();
}

void ExposureSummaryWindow::followHub()
{
    const ExposureOptions shared = hub_->exclusions(request_.dataPath);
    auto spans = checkExclusions(shared.exclusions);
    if (!spans || (*spans == exclusions_ && shared.reasons == reasons_))
        return;
    exclusions_ = std::move(*spans);
    reasons_ = shared.reasons;
    showExclusions(exclusions_);
    recompute();
}

void ExposureSummaryWindow::updateFromPlotKey()
{
    cmdFromPlot_->setEnabled(hub_ && hub_->hasCursors(request_.dataPath));
}

void ExposureSummaryWindow::onCmdFromPlotClick()
{
    const auto span = hub_ ? hub_->cursorSpan(request_.dataPath) : std::nullopt;
    if (!span) {
        if (dialogs_.message)
            dialogs_.message(this,
                             tr("Place both cursors of the Plot first (\"Place span cursors\"), on the first and "
                                "the last record of the span."),
                             false);
        return;
    }
    txtFrom_->setDateTime(dateTimeOf(span->from));
    txtTo_->setDateTime(dateTimeOf(span->to));
}

void ExposureSummaryWindow::onCmdRemoveClick()
{
    const int row = gridExclusions_->currentRow();
    if (row < 0 || row >= static_cast<int>(exclusions_.size()))
        return;
    std::vector<TimeSpan> spans = exclusions_;
    spans.erase(spans.begin() + row);
    changeExclusions(std::move(spans));
}

void ExposureSummaryWindow::onCmdAddStandardClick()
{
    const QString text = txtCustom_->text().trimmed();
    if (text.isEmpty())
        return;
    auto standard = standardNamed(text.toStdString(), DoseParameters{});
    if (!standard) {
        if (dialogs_.message)
            dialogs_.message(this, q(standard.error().message), false);
        return;
    }
    const QString name = q(standard->name == std::string(kFileStandard) ? std::string(kFileStandard) : standard->name);
    const auto found = lstStandards_->findItems(name, Qt::MatchFixedString);
    filling_ = true;
    if (found.isEmpty())
        addStandardItem(name, true);
    else
        found.front()->setCheckState(Qt::Checked);
    filling_ = false;
    txtCustom_->clear();
    recompute();
}

void ExposureSummaryWindow::onCmdSaveClick()
{
    const ExposureOptions o = options();
    if (hub_) {
        // In turn with the spans' saves, off the window thread.
        hub_->saveAnalysis(request_.dataPath, o, [w = QPointer(this), o](const Status& written) {
            if (w)
                w->analysisSaved(o, written);
        });
        return;
    }
    const QString target = analysisPath();
    analysisSaved(o, target.isEmpty() ? Status(failure(FailureKind::io, "the list has no data file to stand beside"))
                                      : writeAnalysis(fsPath(target), o, dataFileName().toStdString()));
}

QString ExposureSummaryWindow::dataFileName() const
{
    return request_.dataPath.isEmpty() ? request_.caption : QFileInfo(request_.dataPath).fileName();
}

void ExposureSummaryWindow::analysisSaved(const ExposureOptions& o, Status written)
{
    const QString name = dataFileName();
    QString target = analysisPath();
    if (!written) {
        if (!target.isEmpty() && dialogs_.message)
            dialogs_.message(this,
                             tr("The analysis could not be saved beside the data file: %1\nChoose another place.")
                                 .arg(q(written.error().message)),
                             true);
        const QString other = dialogs_.saveAs
                                  ? dialogs_.saveAs(this, target.isEmpty() ? name + QStringLiteral(".km740a") : target)
                                  : QString();
        if (other.isEmpty())
            return;
        target = other;
        written = writeAnalysis(fsPath(target), o, name.toStdString());
        if (!written) {
            if (dialogs_.message)
                dialogs_.message(this, tr("The analysis was not saved: %1").arg(q(written.error().message)), true);
            return;
        }
    }
    lblAnalysis_->setText(tr("Analysis saved in %1").arg(QFileInfo(target).fileName()));
}

void ExposureSummaryWindow::setReportSink(ReportSink sink)
{
    reportSink_ = std::move(sink);
    cmdReport_->setEnabled(reportSink_ && !request_.dataPath.isEmpty());
    if (request_.dataPath.isEmpty())
        cmdReport_->setToolTip(tr("A report is made of a data file: save the list as one first"));
}

void ExposureSummaryWindow::onCmdReportClick()
{
    if (!reportSink_ || request_.dataPath.isEmpty())
        return;
    // The report shows the analysis as it stands here, saved or not.
    ReportOrder order;
    order.from = this;
    order.dataPath = request_.dataPath;
    order.options = options();
    reportSink_(order);
}

} // namespace km740
