// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerListWindow.h"

#include "app/ui/KeyHints.h"

#include "core/files/DataFileWriter.h"
#include "core/lists/FileListTable.h"
#include "app/logger/LoggerRecordModel.h"
#include "app/ui/AppState.h"
#include "app/ui/QtText.h"
#include "app/ui/SaveDialog.h"
#include "app/ui/SettingsPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace km740 {

namespace {

void setUpGrid(QTableView* grid)
{
    grid->verticalHeader()->hide();
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid->font()).height() + 6);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int sampleWidth(const QTableView* grid, const QString& sample)
{
    return QFontMetrics(grid->font()).horizontalAdvance(sample) + 16;
}

} // namespace

LoggerListWindow::LoggerListWindow(const QString& form, const QString& caption, AppState& state, FileChooser chooser,
                                   QWidget* panel)
    : QWidget(nullptr), state_(state), chooser_(std::move(chooser)), panel_(panel), caption_(caption)
{
    setObjectName(form);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption_);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(tr("Data list keys"));
    SaveAction = addSaveAction(Toolbar1);
    connect(SaveAction, &QAction::triggered, this, &LoggerListWindow::onSaveClicked);
    PrintAction = Toolbar1->addAction(QStringLiteral("Print"));
    PrintAction->setObjectName(QStringLiteral("Print"));
    PrintAction->setToolTip(QStringLiteral("Print"));
    setActionKey(PrintAction, QKeySequence::Print);
    PrintAction->setEnabled(false);
    connect(PrintAction, &QAction::triggered, this, &LoggerListWindow::onPrintClicked);
    letTabReach(Toolbar1);
    addCloseKeys(this, false);

    settings_ = new SettingsPanel(this);

    PlPause = new QLabel(QStringLiteral("Pause Time"), this);
    PlPause->setObjectName(QStringLiteral("PlPause"));
    PlPause->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PlPause->setAlignment(Qt::AlignCenter);
    pauseModel_ = new QStandardItemModel(0, 4, this);
    pauseModel_->setHorizontalHeaderLabels(
        {QStringLiteral("Times"), QStringLiteral("Pause"), QStringLiteral("Release"), QStringLiteral("Period")});
    GridPause = new QTableView(this);
    GridPause->setObjectName(QStringLiteral("GridPause"));
    GridPause->setAccessibleName(tr("Pause list"));
    GridPause->setModel(pauseModel_);
    setUpGrid(GridPause);
    const QStringList pauseSamples{QStringLiteral("AAAAA"), QStringLiteral("AA:AA:AA"), QStringLiteral("AA:AA:AA"),
                                   QStringLiteral("AA:AA:AA")};
    int pauseWidth = 2 * GridPause->frameWidth() + 18;
    for (int c = 0; c < 4; ++c) {
        GridPause->setColumnWidth(c, sampleWidth(GridPause, pauseSamples[c]));
        pauseWidth += sampleWidth(GridPause, pauseSamples[c]);
    }
    GridPause->setFixedWidth(pauseWidth);
    // Room for eight pauses; more scroll.
    GridPause->setMaximumHeight(GridPause->horizontalHeader()->sizeHint().height() +
                                8 * GridPause->verticalHeader()->defaultSectionSize() + 2 * GridPause->frameWidth());
    PlPause->setVisible(false);
    GridPause->setVisible(false);

    GridN = new QTableView(this);
    GridN->setObjectName(QStringLiteral("GridN"));
    GridN->setAccessibleName(tr("Records"));
    setUpGrid(GridN);
    GridN->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setAccessibleDescription(tr("Message"));
    LblStatus->setWordWrap(true);
    LblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblStatus->setMinimumHeight(2 * LblStatus->fontMetrics().lineSpacing() + 2);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(4, 0, 4, 4);
    box->addWidget(Toolbar1);
    auto* row = new QHBoxLayout;
    box->addLayout(row, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(settings_);
    left->addWidget(PlPause);
    left->addWidget(GridPause);
    left->addStretch(1);
    row->addLayout(left);
    listColumn_ = new QVBoxLayout;
    listColumn_->addWidget(GridN, 1);
    row->addLayout(listColumn_, 1);
    box->addWidget(LblStatus);
    GridN->setMinimumHeight(22 * GridN->verticalHeader()->defaultSectionSize());
}

void LoggerListWindow::placeBelowPanel(int dx, int dy)
{
    if (!panel_)
        return;
    const QRect p = panel_->frameGeometry();
    move(p.left() + dx, p.bottom() + 8 + dy);
}

void LoggerListWindow::setRecordColumnWidths(const QList<QString>& samples)
{
    widthSamples_ = samples;
}

void LoggerListWindow::showSet(DataFile file, const QString& note)
{
    file_ = std::make_shared<const DataFile>(std::move(file));
    const SettingsBlock& s = settingsOf(*file_);
    const auto fields = s.fields();
    for (int f = 0; f < SettingsPanel::fieldCount; ++f)
        settings_->setValue(static_cast<SettingsPanel::Field>(f), q(*fields[static_cast<std::size_t>(f)]));

    const std::vector<PauseRow>* pauses = nullptr;
    if (const auto* d = std::get_if<DoseLoggerFile>(file_.get()))
        pauses = &d->pauses;
    else if (const auto* l = std::get_if<LevelLoggerFile>(file_.get()))
        pauses = &l->pauses;
    pauseModel_->removeRows(0, pauseModel_->rowCount());
    if (pauses) {
        for (const PauseRow& p : *pauses) {
            QList<QStandardItem*> cells;
            for (const std::string* c : {&p.times, &p.pause, &p.release, &p.period})
                cells << new QStandardItem(q(*c));
            pauseModel_->appendRow(cells);
        }
    }
    const bool anyPause = pauses && !pauses->empty();
    PlPause->setVisible(anyPause);
    GridPause->setVisible(anyPause);

    auto* old = recordModel_;
    recordModel_ = new LoggerRecordModel(file_, this);
    GridN->setModel(recordModel_);
    delete old;
    int width = 2 * GridN->frameWidth() + GridN->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < widthSamples_.size() && c < recordModel_->columnCount(); ++c) {
        GridN->setColumnWidth(c, sampleWidth(GridN, widthSamples_[c]));
        width += sampleWidth(GridN, widthSamples_[c]);
    }
    GridN->setFixedWidth(width);
    LblStatus->setMaximumWidth(width + settings_->sizeHint().width());
    showKindExtras(*file_);
    LblStatus->setText(note);
    PrintAction->setEnabled(true);
}

void LoggerListWindow::onSaveClicked()
{
    if (!file_)
        return;
    const std::optional<QString> path =
        chooser_ ? chooser_(this, QString::fromStdString(state_.recording.lastSaveFolder)) : std::nullopt;
    if (!path || path->isEmpty())
        return; // cancelled: nothing written
    state_.recording.lastSaveFolder = QFileInfo(*path).absolutePath().toStdString();
    SaveAction->setEnabled(false);
    setCursor(Qt::BusyCursor);
    const std::shared_ptr<const DataFile> file = file_;
    const QString target = *path;
    saver_.start(
        this,
        [file, target](const BackgroundTask::Job& job) {
            const Status s = writeDataFile(target.toStdString(), *file, [&job](std::int64_t row) {
                job.progress(row);
                return true;
            });
            return s ? QString() : QString::fromStdString(s.error().message);
        },
        [](LoggerListWindow& w, std::int64_t row) { w.showProgress(row); },
        [target](LoggerListWindow& w, const QString& reason) { w.saveDone(reason.isEmpty(), target, reason); });
}

void LoggerListWindow::onPrintClicked()
{
    if (!file_ || printing_)
        return;
    printing_ = true;
    PrintAction->setEnabled(false);
    // The set prints as its saved file does in the file list window. Its
    // cells are texts already; the regional only shapes the derived columns
    // of real-time files.
    printListTable(*this, printDialogs_, FileListTable::of(*file_), Regional::point());
    // A save that ended meanwhile has given the caption back already.
    if (saver_.running() == 0)
        setWindowTitle(caption_);
    PrintAction->setEnabled(true);
    printing_ = false;
}

void LoggerListWindow::showProgress(qint64 rows)
{
    setWindowTitle(QString::number(rows) + QStringLiteral(" Records Completed"));
}

void LoggerListWindow::saveDone(bool ok, const QString& path, const QString& reason)
{
    if (saver_.running() == 0) {
        unsetCursor();
        setWindowTitle(caption_);
        SaveAction->setEnabled(true);
    }
    LblStatus->setText(ok ? tr("Saved as %1").arg(QDir::toNativeSeparators(path))
                          : tr("The list was not saved: %1").arg(reason));
    emit saveFinished(ok, ok ? path : reason);
}

void LoggerListWindow::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}

} // namespace km740
