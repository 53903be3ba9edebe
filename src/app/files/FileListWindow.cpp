// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/FileListWindow.h"

#include "app/ui/KeyHints.h"

#include "core/exposure/LnTable.h"
#include "core/common/SameFile.h"
#include "core/lists/CsvFile.h"
#include "app/files/FileListModel.h"
#include "app/files/FileWindows.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/ListPrint.h"
#include "app/ui/WindowContext.h"
#include "app/ui/QtText.h"
#include "app/ui/SettingsPanel.h"
#include "app/ui/SmallGrid.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <array>

namespace km740 {

namespace {

using Field = SettingsPanel::Field;

const char* const kPlotMessage = "Move mouse pointer to the list data then click to plot.";

// Column width samples of the record grids.
QString widthSample(FileListKind kind, int column)
{
    if (column == 1)
        return QStringLiteral("AAAA/AA/AAHH:NN:SS");
    switch (kind) {
    case FileListKind::dose:
        return column == 0   ? QStringLiteral("ABCADE")
               : column == 2 ? QStringLiteral("AAAAAAA")
                             : QStringLiteral("AAAAAA");
    case FileListKind::level: return column == 0 ? QStringLiteral("ABCADE") : QStringLiteral("AAAAA");
    case FileListKind::realTime:
        return column == 4 || column == 6 ? QStringLiteral("ABC.DEAA") : QStringLiteral("ABCADE");
    }
    return QStringLiteral("ABCADE");
}

QString notesText(const ReadCounts& counts)
{
    QStringList lines;
    for (const ReadNote& n : counts.notes)
        lines << q(n.text());
    if (counts.moreNotes > 0)
        lines << QObject::tr("and %1 more").arg(counts.moreNotes);
    return lines.join(QLatin1Char('\n'));
}

void addRow(QTableWidget* grid, const std::vector<std::string>& cells)
{
    const int row = grid->rowCount();
    grid->insertRow(row);
    for (int c = 0; c < grid->columnCount() && c < static_cast<int>(cells.size()); ++c)
        grid->setItem(row, c, new QTableWidgetItem(q(cells[static_cast<std::size_t>(c)])));
}

// Print is the desktop's; the others take Ctrl and their first letter.
QKeySequence keyOf(const QString& key)
{
    if (key == QLatin1String("Print"))
        return QKeySequence::Print;
    if (key == QLatin1String("Plot"))
        return QKeySequence(Qt::CTRL | Qt::Key_G);
    if (key == QLatin1String("Ln"))
        return QKeySequence(Qt::CTRL | Qt::Key_H);
    return QKeySequence(Qt::CTRL | Qt::Key_E);
}

} // namespace

QString FileListWindow::formName(FileListKind kind)
{
    switch (kind) {
    case FileListKind::dose: return QStringLiteral("FileList");
    case FileListKind::level: return QStringLiteral("FileListdB");
    case FileListKind::realTime: return QStringLiteral("FileListReal");
    }
    return QStringLiteral("FileList");
}

FileListWindow::FileListWindow(FileWindows& windows, FileListKind kind, const QString& path, const Regional& regional,
                               const QString& caption)
    : QMainWindow(nullptr), windows_(windows), kind_(kind), path_(path),
      title_(caption.isEmpty() ? QFileInfo(path).fileName() : caption), regional_(regional)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(formName(kind));
    setWindowTitle(kind == FileListKind::dose ? QStringLiteral("Saved File") : QStringLiteral("File List"));
    buildWindow();
    connect(&windows_, &FileWindows::chartsChanged, this, &FileListWindow::updateChartKeys);
    updateChartKeys();
}

// A read still running is told to stop by reader_ and hands nothing back.
FileListWindow::~FileListWindow() = default;

void FileListWindow::buildWindow()
{
    toolbar1_ = addToolBar(tr("Data file keys"));
    toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar1_->setAccessibleName(tr("Data file keys"));
    toolbar1_->setWindowTitle(toolbar1_->accessibleName());
    toolbar1_->setMovable(false);
    toolbar1_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::array<std::pair<const char*, QString>, 4> keys{{{"Plot", QStringLiteral("Graphic Plot")},
                                                               {"Ln", QStringLiteral("Histogram")},
                                                               {"Print", QStringLiteral("Print")},
                                                               {"ExportCsv", tr("Export CSV")}}};
    for (const auto& [key, tip] : keys) {
        const QString k = QString::fromLatin1(key);
        QAction* a = toolbar1_->addAction(k == QLatin1String("ExportCsv") ? tr("Export CSV") : k);
        a->setObjectName(k);
        a->setToolTip(tip);
        setActionKey(a, keyOf(k));
        connect(a, &QAction::triggered, this, [this, k] { onToolbar1Click(k); });
    }
    // Lists of levels can be judged as an exposure and reported on; dose
    // sets hold no levels.
    if (kind_ != FileListKind::dose) {
        const std::array<std::pair<const char*, QString>, 2> levelKeys{
            {{"Exposure", tr("Exposure Summary")}, {"Report", tr("Exposure report: preview, print, PDF")}}};
        for (const auto& [key, tip] : levelKeys) {
            const QString k = QString::fromLatin1(key);
            QAction* a = toolbar1_->addAction(k == QLatin1String("Report") ? tr("Report") : tr("Exposure"));
            a->setObjectName(k);
            a->setToolTip(tip);
            connect(a, &QAction::triggered, this, [this, k] { onToolbar1Click(k); });
        }
    }
    {
        QAction* a = toolbar1_->addAction(tr("File in archive"));
        a->setObjectName(QStringLiteral("FileInArchive"));
        a->setToolTip(tr("File in the measurement archive"));
        connect(a, &QAction::triggered, this, [this] { onToolbar1Click(QStringLiteral("FileInArchive")); });
    }
    letTabReach(toolbar1_);
    addCloseKeys(this, false);

    // The settings, pause list, summary and resolution keys in a column
    // beside the records, which take the rest of the window.
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    auto* middle = new QHBoxLayout;
    auto* sideBox = new QWidget(central);
    sideBox->setMaximumWidth(380);
    auto* side = new QVBoxLayout(sideBox);
    side->setContentsMargins(0, 0, 0, 0);
    settings_ = new SettingsPanel(central);
    side->addWidget(settings_);
    if (kind_ != FileListKind::realTime) {
        plPause_ = new QLabel(QStringLiteral("Pause Time"), central);
        plPause_->setObjectName(QStringLiteral("PlPause"));
        gridPause_ =
            smallGrid(QStringLiteral("GridPause"), tr("Pauses"), {"Times", "Pause", "Release", "Period"}, central);
        side->addWidget(plPause_);
        side->addWidget(gridPause_);
        plPause_->hide();
        gridPause_->hide();
    }
    if (kind_ == FileListKind::level) {
        gridSummary_ = smallGrid(QStringLiteral("GridSummary"), tr("Dose and TWA"), {"Dose", "TWA"}, central);
        gridSummary_->setMaximumHeight(gridSummary_->horizontalHeader()->sizeHint().height() +
                                       gridSummary_->verticalHeader()->defaultSectionSize() + 6);
        side->addWidget(gridSummary_);
    }
    picResolution_ = new QGroupBox(QStringLiteral("Resolution"), central);
    picResolution_->setObjectName(QStringLiteral("PicResolution"));
    auto* res = new QHBoxLayout(picResolution_);
    auto* cmd1 = new QPushButton(QStringLiteral("1 dB"), picResolution_);
    cmd1->setObjectName(QStringLiteral("Cmd1dB"));
    cmd1->setAccessibleName(QStringLiteral("1 dB"));
    auto* cmd01 = new QPushButton(QStringLiteral("0.1 dB"), picResolution_);
    cmd01->setObjectName(QStringLiteral("Cmd01dB"));
    cmd01->setAccessibleName(QStringLiteral("0.1 dB"));
    res->addWidget(cmd1);
    res->addWidget(cmd01);
    connect(cmd1, &QPushButton::clicked, this, &FileListWindow::onCmd1dBClick);
    connect(cmd01, &QPushButton::clicked, this, &FileListWindow::onCmd01dBClick);
    picResolution_->hide();
    side->addWidget(picResolution_);
    side->addStretch(1);

    model_ = new FileListModel(kind_, this);
    gridN_ = new QTableView(central);
    gridN_->setObjectName(QStringLiteral("GridN"));
    gridN_->setAccessibleName(tr("Records"));
    gridN_->setModel(model_);
    gridN_->verticalHeader()->hide();
    gridN_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gridN_->verticalHeader()->setDefaultSectionSize(gridN_->fontMetrics().height() + 4);
    gridN_->setSelectionBehavior(QAbstractItemView::SelectItems);
    gridN_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridN_->setWordWrap(false);
    for (int c = 0; c < model_->columnCount(); ++c)
        gridN_->setColumnWidth(c, gridN_->fontMetrics().horizontalAdvance(widthSample(kind_, c)) + 12);
    connect(gridN_, &QTableView::clicked, this, [this](const QModelIndex& i) { onGridNClick(i.column()); });
    connect(gridN_->horizontalHeader(), &QHeaderView::sectionClicked, this, &FileListWindow::onGridNClick);

    middle->addWidget(sideBox);
    middle->addWidget(gridN_, 1);
    outer->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    lblMessage_ = new QLabel(central);
    lblMessage_->setObjectName(QStringLiteral("LblMessage"));
    lblMessage_->setAccessibleDescription(tr("Message"));
    lblMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdCancel_ = new QPushButton(tr("Cancel"), central);
    cmdCancel_->setObjectName(QStringLiteral("CmdCancel"));
    cmdCancel_->setAccessibleName(tr("Cancel"));
    cmdCancel_->hide();
    connect(cmdCancel_, &QPushButton::clicked, this, &FileListWindow::onCmdCancelClick);
    bottom->addWidget(lblMessage_, 1);
    bottom->addWidget(cmdCancel_);
    outer->addLayout(bottom);
    setCentralWidget(central);

    resize(kind_ == FileListKind::realTime ? 1240 : 820, 640);
}

QAction* FileListWindow::action(const QString& key) const
{
    return toolbar1_->findChild<QAction*>(key);
}

void FileListWindow::setBusyCaption(const QString& text)
{
    setWindowTitle(text);
}

void FileListWindow::updateChartKeys()
{
    const bool ready = table_ && !printing_;
    const ChartSink& sink = windows_.chartSink();
    action(QStringLiteral("Plot"))->setEnabled(ready && bool(sink.showPlot));
    action(QStringLiteral("Ln"))->setEnabled(ready && bool(sink.showHistogram));
    action(QStringLiteral("Print"))->setEnabled(ready);
    action(QStringLiteral("ExportCsv"))->setEnabled(ready);
    if (QAction* exposure = action(QStringLiteral("Exposure")))
        exposure->setEnabled(ready && bool(windows_.exposureSink()));
    action(QStringLiteral("FileInArchive"))->setEnabled(ready && bool(windows_.archiveSink()));
    if (QAction* report = action(QStringLiteral("Report")))
        report->setEnabled(ready && bool(windows_.reportSink()));
}

// ---- reading

void FileListWindow::startReading()
{
    if (reader_.running() > 0)
        return;
    cmdCancel_->show();
    setBusyCaption(QStringLiteral("0 Completed"));
    const std::filesystem::path path(fsPath(path_));
    reader_.start(
        this, [path](const BackgroundTask::Job& job) { return loadFileListTable(path, job.progress, job.cancel); },
        [](FileListWindow& w, std::int64_t n) { w.setBusyCaption(QString::number(n) + QStringLiteral(" Completed")); },
        [](FileListWindow& w, Result<LoadedTable> result) { w.onReadDone(std::move(result)); });
}

void FileListWindow::onCmdCancelClick()
{
    reader_.cancel();
}

void FileListWindow::onReadDone(Result<LoadedTable> result)
{
    cmdCancel_->hide();
    if (!result) {
        const QString text = q(result.error().message);
        if (windows_.dialogs().message)
            windows_.dialogs().message(windows_.context().mainWindow(), text, true);
        emit readFinished();
        close();
        return;
    }
    counts_ = std::move(result->counts);
    const bool cancelled = result->cancelled;
    auto table = std::make_shared<FileListTable>(std::move(result->table));
    table_ = table;
    showHeader();
    model_->setTable(table_, regional_);

    QString caption = title_;
    if (!table_->captionNotes().empty())
        caption += QStringLiteral("----") + q(table_->captionNotes().back());
    setWindowTitle(caption);

    QStringList message;
    if (cancelled)
        message << tr("Reading cancelled: %1 records shown").arg(table_->rowCount());
    if (table_->skippedLevels() > 0)
        message << tr("%1 level cells without a reading left out of the sums").arg(table_->skippedLevels());
    if (!table_->derivedProblem().empty())
        message << tr("Derived columns left empty: %1").arg(q(table_->derivedProblem()));
    const QString notes = notesText(counts_);
    if (!notes.isEmpty()) {
        message << tr("%n line(s) of the file were odd and passed over (see the tooltip)", nullptr,
                      static_cast<int>(counts_.notes.size() + static_cast<std::size_t>(counts_.moreNotes)));
        lblMessage_->setToolTip(notes);
        if (windows_.dialogs().message)
            windows_.dialogs().message(this, title_ + QStringLiteral(":\n") + notes, false);
    }
    readMessage_ = message.join(QStringLiteral("; "));
    lblMessage_->setText(readMessage_);
    updateChartKeys();
    if (AnalysisHub* hub = windows_.analysisHub(); hub && kind_ != FileListKind::dose) {
        connect(hub, &AnalysisHub::exclusionsChanged, this, [this](const QString& changed) {
            if (changed == AnalysisHub::key(path_))
                applyAnalysis();
        });
        applyAnalysis();
    }
    emit readFinished();
}

// ---- the exposure analysis

void FileListWindow::applyAnalysis()
{
    AnalysisHub* hub = windows_.analysisHub();
    if (!hub || !table_)
        return;
    auto spans = checkExclusions(hub->exclusions(path_).exclusions);
    std::vector<TimeSpan> sorted = spans ? std::move(*spans) : std::vector<TimeSpan>{};
    if (sorted.empty() && table_->leftOut().empty())
        return; // the list as the meter gave it
    // Only the newest change counts.
    analysis_.cancel();
    const std::uint64_t generation = ++analysisGeneration_;
    std::shared_ptr<const FileListTable> table = table_;
    analysis_.start(
        this,
        [table, sorted](const BackgroundTask::Job& job)
            -> std::optional<std::pair<ExcludedRows, std::vector<FileListTable::RunningRow>>> {
            ExcludedRows rows = ExcludedRows::of(table->recordTimes(), sorted);
            auto running = table->runningWithout(rows, job.cancel);
            if (!running)
                return std::nullopt;
            return std::make_pair(std::move(rows), std::move(*running));
        },
        [](FileListWindow&, std::int64_t) {},
        [generation](FileListWindow& w, auto result) { w.showLeftOut(generation, std::move(result)); });
}

void FileListWindow::showLeftOut(std::uint64_t generation,
                                 std::optional<std::pair<ExcludedRows, std::vector<FileListTable::RunningRow>>> result)
{
    if (generation != analysisGeneration_ || !result || !table_)
        return;
    table_->leaveOut(std::move(result->first), std::move(result->second));
    model_->refresh();
    QStringList message;
    if (!readMessage_.isEmpty())
        message << readMessage_;
    if (const std::size_t n = table_->leftOut().count(); n > 0)
        message
            << (kind_ == FileListKind::realTime
                    ? tr("%n reading(s) left out of the exposure analysis (grey); the running columns pass over them",
                         nullptr, static_cast<int>(n))
                    : tr("%n reading(s) left out of the exposure analysis (grey)", nullptr, static_cast<int>(n)));
    lblMessage_->setText(message.join(QStringLiteral("; ")));
    const ChartSink& sink = windows_.chartSink();
    if (histogram_ && sink.updateHistogram)
        sink.updateHistogram(histogramRequest(*histogram_));
    emit leftOutShown();
}

void FileListWindow::showHeader()
{
    const DataFileHeader& h = table_->header();
    const auto values = h.settings.fields();
    for (int i = 0; i < SettingsPanel::fieldCount; ++i)
        settings_->setValue(static_cast<Field>(i), q(*values[static_cast<std::size_t>(i)]));
    if (gridPause_) {
        const bool shown = !h.pauses.empty();
        plPause_->setVisible(shown);
        gridPause_->setVisible(shown);
        gridPause_->setRowCount(0);
        for (const PauseRow& p : h.pauses)
            addRow(gridPause_, {p.times, p.pause, p.release, p.period});
    }
    if (gridSummary_) {
        gridSummary_->setRowCount(0);
        addRow(gridSummary_, {h.summary.dose, h.summary.twa});
    }
}

// ---- toolbar

void FileListWindow::onToolbar1Click(const QString& key)
{
    if (!table_ || printing_)
        return;
    if (key == QLatin1String("Plot")) {
        if (kind_ == FileListKind::level)
            onGridNClick(2);
        else if (windows_.dialogs().message)
            windows_.dialogs().message(this, QString::fromLatin1(kPlotMessage), false);
    } else if (key == QLatin1String("Ln")) {
        picResolution_->setVisible(picResolution_->isHidden());
    } else if (key == QLatin1String("Print")) {
        printList();
    } else if (key == QLatin1String("Exposure")) {
        showExposure();
    } else if (key == QLatin1String("Report")) {
        showReport();
    } else if (key == QLatin1String("ExportCsv")) {
        exportCsv();
    } else if (key == QLatin1String("FileInArchive")) {
        fileInArchive();
    }
}

void FileListWindow::onGridNClick(int column)
{
    const ChartSink& sink = windows_.chartSink();
    if (!table_ || column < 2 || !sink.showPlot)
        return;
    auto plot = table_->plot(column);
    if (!plot)
        return;
    PlotRequest request;
    request.from = this;
    request.caption = title_;
    request.inputs = std::move(plot->inputs);
    request.series = std::move(plot->series);
    if (kind_ != FileListKind::dose) {
        request.dataPath = path_;
        // The times stay with the table, which the request keeps alive.
        request.times = std::shared_ptr<const RecordTimes>(table_, &table_->recordTimes());
    }
    sink.showPlot(request);
}

void FileListWindow::onCmd01dBClick()
{
    showDistribution(Resolution::tenth);
}

void FileListWindow::onCmd1dBClick()
{
    showDistribution(Resolution::whole);
}

void FileListWindow::showDistribution(Resolution resolution)
{
    const ChartSink& sink = windows_.chartSink();
    if (!table_ || !sink.showHistogram)
        return;
    histogram_ = resolution;
    picResolution_->hide();
    sink.showHistogram(histogramRequest(resolution));
}

HistogramRequest FileListWindow::histogramRequest(Resolution resolution)
{
    HistogramRequest request;
    request.from = this;
    request.caption = title_;
    request.resolution = resolution;
    request.distribution = table_->distribution();
    request.gridLnRows = gridLnRows(computeLnTable(request.distribution, resolution, regional_));
    request.message = q(leftOutNote(request.distribution));
    return request;
}

void FileListWindow::showExposure()
{
    const ExposureSink& sink = windows_.exposureSink();
    if (!table_ || kind_ == FileListKind::dose || !sink)
        return;
    ExposureRequest request;
    request.from = this;
    request.caption = title_;
    request.dataPath = path_;
    sink(request);
}

void FileListWindow::fileInArchive()
{
    const ArchiveSink& sink = windows_.archiveSink();
    if (!table_ || !sink)
        return;
    ArchiveRequest request;
    request.from = this;
    request.dataPath = path_;
    request.tell = [window = QPointer<FileListWindow>(this)](const QString& outcome) {
        if (window)
            window->lblMessage_->setText(outcome);
    };
    sink(request);
}

void FileListWindow::showReport()
{
    const ReportSink& sink = windows_.reportSink();
    if (!table_ || kind_ == FileListKind::dose || !sink)
        return;
    ReportOrder order;
    order.from = this;
    order.dataPath = path_;
    sink(order);
}

// ---- printing and export

void FileListWindow::printList()
{
    printing_ = true;
    updateChartKeys();
    printListTable(*this, windows_.dialogs(), *table_, regional_);
    printing_ = false;
    updateChartKeys();
}

void FileListWindow::exportCsv()
{
    const FileListDialogs& dialogs = windows_.dialogs();
    if (!dialogs.saveCsv)
        return;
    const QFileInfo info(path_);
    const std::optional<QString> target =
        dialogs.saveCsv(this, info.dir().filePath(QFileInfo(title_).completeBaseName() + QStringLiteral(".csv")));
    if (!target || target->isEmpty())
        return;
    const std::filesystem::path input = fsPath(path_);
    const std::filesystem::path output = fsPath(*target);
    Status written = checkOutputIsNoInput(output, {&input, 1});
    if (written)
        written = writeCsv(*table_, output);
    if (!written && dialogs.message)
        dialogs.message(this, tr("The CSV file was not written: %1").arg(q(written.error().message)), true);
    else if (written)
        lblMessage_->setText(tr("Exported to %1").arg(QFileInfo(*target).fileName()));
}

} // namespace km740
