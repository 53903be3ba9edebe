// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/ListWindow.h"

#include "app/ui/KeyHints.h"

#include "core/files/DataFileWriter.h"
#include "app/panel/RealTimeListModel.h"
#include "app/ui/SaveDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

namespace km740 {

ListWindow::ListWindow(AppState& state, RealTimeRecorder& recorder, PresetReader readPresets, HeaderSource header,
                       QWidget* panel)
    : QWidget(nullptr), state_(state), recorder_(recorder), readPresets_(std::move(readPresets)),
      header_(std::move(header)), chooser_(chooseDataFileToSave), panel_(panel)
{
    setObjectName(QStringLiteral("List"));
    setAttribute(Qt::WA_DeleteOnClose);
    caption_ = QStringLiteral("Real Time List");
    setWindowTitle(caption_);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(tr("List keys"));
    SaveAction = addSaveAction(Toolbar1);
    connect(SaveAction, &QAction::triggered, this, &ListWindow::onSaveClicked);
    letTabReach(Toolbar1);
    addCloseKeys(this, false);

    recorder_.openList(state_.recording, state_.live);
    model_ = new RealTimeListModel(recorder_.list(), this);
    GridN = new QTableView(this);
    GridN->setObjectName(QStringLiteral("GridN"));
    GridN->setAccessibleName(tr("Records"));
    GridN->setModel(model_);
    GridN->verticalHeader()->hide();
    GridN->setSelectionMode(QAbstractItemView::NoSelection);
    GridN->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridN->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    GridN->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    GridN->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    GridN->setWordWrap(false);
    GridN->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    GridN->verticalHeader()->setDefaultSectionSize(QFontMetrics(GridN->font()).height() + 6);
    // Column widths after the texts the list was laid out with.
    const QFontMetrics fm(GridN->font());
    const int pad = 2 * GridN->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    const int narrow = fm.horizontalAdvance(QStringLiteral("ABCADE")) + pad;
    const int wide = fm.horizontalAdvance(QStringLiteral("AAAA/AA/AAHH:NN:SS")) + pad;
    GridN->setColumnWidth(0, narrow);
    GridN->setColumnWidth(1, wide);
    GridN->setColumnWidth(2, narrow);
    GridN->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblFolder = new QLabel(this);
    LblFolder->setObjectName(QStringLiteral("LblFolder"));
    // Room for two lines each, so a message never pushes the list around.
    for (QLabel* l : {LblStatus, LblFolder}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setMinimumHeight(2 * l->fontMetrics().lineSpacing() + 2);
    }

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(Toolbar1);
    box->addWidget(GridN, 1);
    box->addWidget(LblStatus);
    box->addWidget(LblFolder);
    box->setSizeConstraint(QLayout::SetFixedSize);

    // Room for the heading and 21 rows: the 22nd is the first to scroll.
    const int rowsHeight =
        GridN->horizontalHeader()->sizeHint().height() +
        static_cast<int>(RealTimeList::kVisibleRows) * GridN->verticalHeader()->defaultSectionSize() +
        2 * GridN->frameWidth();
    GridN->setMinimumHeight(rowsHeight);
    GridN->setMaximumHeight(rowsHeight);
    const int width = narrow * 2 + wide + GridN->verticalScrollBar()->sizeHint().width() + 2 * GridN->frameWidth();
    GridN->setFixedWidth(width);
    LblStatus->setFixedWidth(width);
    LblFolder->setFixedWidth(width);
    showFolder();
    placeBesidePanel();
}

ListWindow::~ListWindow() = default;

void ListWindow::placeBesidePanel()
{
    if (!panel_)
        return;
    const QRect p = panel_->frameGeometry();
    move(p.left() + p.width(), p.top());
}

QString ListWindow::autoSaveFolder() const
{
    if (!state_.recording.lastSaveFolder.empty()) {
        const QString last = QString::fromStdString(state_.recording.lastSaveFolder);
        if (QFileInfo(last).isDir())
            return last;
    }
    QString docs = documents_;
    if (docs.isEmpty())
        docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    return docs;
}

void ListWindow::setDocumentsFolder(const QString& folder)
{
    documents_ = folder;
    showFolder();
}

QString ListWindow::statusText() const
{
    return LblStatus->text().isEmpty() ? LblFolder->text() : LblStatus->text() + '\n' + LblFolder->text();
}

void ListWindow::showFolder()
{
    const QString text = tr("Automatic saves go to %1").arg(QDir::toNativeSeparators(autoSaveFolder()));
    if (LblFolder->text() != text)
        LblFolder->setText(text);
}

void ListWindow::showMessage(const QString& text)
{
    LblStatus->setText(text);
}

void ListWindow::showSample(const SampleOutcome& out)
{
    if (out.listClosed) {
        close();
        return;
    }
    if (out.waitingForMeter && !waiting_) {
        waiting_ = true;
        showMessage(tr("Waiting for the meter: its level is recorded as \"-\" while another action holds it."));
    }
    if (!out.listRowAdded)
        return;
    if (waiting_ && !out.waitingForMeter) {
        waiting_ = false;
        showMessage(QString());
    }
    showFolder(); // a recording started meanwhile may have moved it
    model_->sync();
    if (out.listScroll) {
        // The top row moves down one, as the rows come in. The view learns
        // of the new row's room first, so the move is not a tick late.
        GridN->doItemsLayout();
        const int top = GridN->rowAt(0) < 0 ? 0 : GridN->rowAt(0);
        GridN->scrollTo(model_->index(std::min(top + 1, model_->rowCount() - 1), 0), QAbstractItemView::PositionAtTop);
    }
    if (out.listAutoSaveDue)
        autoSave();
}

void ListWindow::autoSave()
{
    const QString folder = autoSaveFolder();
    QDir().mkpath(folder);
    const QDateTime now = QDateTime::currentDateTime();
    const LocalDateTime t{now.date().year(), now.date().month(),  now.date().day(),
                          now.time().hour(), now.time().minute(), now.time().second()};
    // The name repeats every year: never replace an earlier save.
    const std::string name = QDir(folder).filePath(QString::fromStdString(autoSaveFileName(t))).toStdString();
    std::string free = name;
    for (int k = 1; QFileInfo::exists(QString::fromStdString(free)) && k < 1000; ++k)
        free = continuationFileName(name, k);
    const QString path = QString::fromStdString(free);
    RecordingHeader header = header_ ? header_() : RecordingHeader{};
    header.peakType = state_.recording.peakTypeText;
    ++state_.recording.listSavePart;
    std::vector<RealTimeList::Row> rows = recorder_.list().take();
    model_->sync();
    writeInBackground(path, std::move(header), std::move(rows), true);
}

void ListWindow::onSaveClicked()
{
    const QString path = chooser_ ? chooser_(this, autoSaveFolder()) : QString();
    if (path.isEmpty())
        return; // cancelled: the window stays as it was
    if (!readPresets_) {
        showMessage(tr("The meter is not connected: the list was not saved."));
        return;
    }
    SaveAction->setEnabled(false);
    // The peak type comes from the meter's current preset ("R", then "C").
    readPresets_(this, [this, path](const Result<PresetReply>& r) {
        SaveAction->setEnabled(true);
        if (!r) {
            showMessage(tr("The meter did not answer: the list was not saved."));
            emit saveFinished(false, QString::fromStdString(r.error().message));
            return;
        }
        state_.presetIndex = r->presetIndex;
        state_.userPresetTable = encodeUserPresetTable(r->table);
        state_.recording.peakTypeText = state_.peakTypeForPreset();
        RecordingHeader header = header_ ? header_() : RecordingHeader{};
        header.peakType = state_.recording.peakTypeText;
        const QString folder = QFileInfo(path).absolutePath();
        state_.recording.lastSaveFolder = folder.toStdString();
        writeInBackground(path, std::move(header), recorder_.list().copy(), false);
    });
}

void ListWindow::writeInBackground(QString path, RecordingHeader header, std::vector<RealTimeList::Row> rows,
                                   bool automatic)
{
    setCursor(Qt::BusyCursor);
    struct Written {
        QString reason; // empty when written
        std::vector<RealTimeList::Row> rows;
    };
    auto taken = std::make_shared<std::vector<RealTimeList::Row>>(std::move(rows));
    saver_.start(
        this,
        [taken, path, header](const BackgroundTask::Job& job) {
            RealTimeFile list;
            list.kind = DataFileKind::realTimeList;
            list.settings = header.settingsBlock();
            list.records = std::move(*taken);
            const Status s = writeDataFile(path.toStdString(), list, [&job](std::int64_t row) {
                job.progress(row);
                return true;
            });
            // Handed back so that rows of a failed automatic save are not lost.
            return Written{s ? QString() : QString::fromStdString(s.error().message), std::move(list.records)};
        },
        [](ListWindow& w, std::int64_t row) { w.showProgress(row); },
        [path, automatic](ListWindow& w, Written written) {
            w.saveDone(written.reason.isEmpty(), path, written.reason, automatic, &written.rows);
        });
}

void ListWindow::showProgress(qint64 rows)
{
    setWindowTitle(QString::number(rows) + QStringLiteral(" Records Completed"));
}

void ListWindow::saveDone(bool ok, const QString& path, const QString& reason, bool automatic,
                          std::vector<RealTimeList::Row>* unsaved)
{
    if (saver_.running() == 0) {
        unsetCursor();
        setWindowTitle(caption_);
    }
    if (ok) {
        showMessage(
            (automatic ? tr("Saved automatically as %1") : tr("Saved as %1")).arg(QDir::toNativeSeparators(path)));
    } else if (automatic && unsaved) {
        // Nothing is lost: the rows go back in front and the next save takes them.
        recorder_.list().putBack(std::move(*unsaved));
        model_->resetAll();
        showMessage(tr("Automatic save failed, the rows are kept: %1").arg(reason));
    } else {
        showMessage(reason);
    }
    emit saveFinished(ok, ok ? path : reason);
}

void ListWindow::closeEvent(QCloseEvent* event)
{
    recorder_.closeList(state_.recording);
    emit closed();
    QWidget::closeEvent(event);
}

} // namespace km740
