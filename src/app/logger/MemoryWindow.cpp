// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/MemoryWindow.h"

#include "app/ui/KeyHints.h"

#include "core/common/NoValue.h"
#include "core/link/MeterLink.h"
#include "app/logger/LoggerDialogs.h"
#include "core/logger/LoggerImageFile.h"
#include "app/ui/AppState.h"
#include "app/ui/BackgroundTask.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/QtText.h"

#include <QCloseEvent>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace km740 {

namespace {

const QString kTitle = QStringLiteral("Recorded Data Set(s)");

QLabel* titlePanel(const QString& text, const QString& name, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFrameStyle(QFrame::Panel | QFrame::Raised);
    l->setAlignment(Qt::AlignCenter);
    l->setContentsMargins(6, 2, 6, 2);
    return l;
}

QLabel* valuePanel(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* l = new QLabel(QStringLiteral("192 K"), parent);
    l->setObjectName(name);
    l->setAccessibleDescription(accessible);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(QFont(QStringLiteral("Arial")));
    l->setContentsMargins(6, 2, 6, 2);
    l->setMinimumWidth(QFontMetrics(l->font()).horizontalAdvance(QStringLiteral("00000 bytes")) + 16);
    return l;
}

} // namespace

MemoryWindow::MemoryWindow(AppState& state, const LoggerDialogs& dialogs, QWidget* panel)
    : QWidget(nullptr), state_(state), dialogs_(dialogs), panel_(panel)
{
    setObjectName(QStringLiteral("Memory"));
    addCloseKeys(this, false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Data Logger"));

    SSMessage = new QProgressBar(this);
    SSMessage->setObjectName(QStringLiteral("SSMessage"));
    SSMessage->setAccessibleName(kTitle);
    SSMessage->setRange(0, 100);
    SSMessage->setValue(0);
    SSMessage->setFormat(kTitle);
    SSMessage->setAlignment(Qt::AlignCenter);
    SSMessage->setFont(QFont(QStringLiteral("Times New Roman"), 11));

    CmdCancel = new QPushButton(tr("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setAccessibleName(tr("Cancel"));
    CmdCancel->setVisible(false);
    connect(CmdCancel, &QPushButton::clicked, this, &MemoryWindow::onCmdCancelClick);

    setModel_ = new QStandardItemModel(0, 4, this);
    setModel_->setHorizontalHeaderLabels(
        {QStringLiteral("Set"), QStringLiteral("Date Time"), QStringLiteral("Sampling"), QStringLiteral("Records")});
    GridSet = new QTableView(this);
    GridSet->setObjectName(QStringLiteral("GridSet"));
    GridSet->setAccessibleName(tr("Recorded data sets"));
    GridSet->setModel(setModel_);
    GridSet->verticalHeader()->hide();
    GridSet->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridSet->setSelectionMode(QAbstractItemView::SingleSelection);
    GridSet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSet->setWordWrap(false);
    GridSet->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    GridSet->verticalHeader()->setDefaultSectionSize(QFontMetrics(GridSet->font()).height() + 6);
    // Widths after the texts the directory was laid out with.
    const QFontMetrics fm(GridSet->font());
    const int pad = 14;
    const int widths[4] = {
        fm.horizontalAdvance(QStringLiteral(" No.S ")), fm.horizontalAdvance(QStringLiteral("AAAA/AA/AA AA:AA:AA ")),
        fm.horizontalAdvance(QStringLiteral(" Sampling ")), fm.horizontalAdvance(QStringLiteral(" Records cut short"))};
    int total = 0;
    for (int c = 0; c < 4; ++c) {
        GridSet->setColumnWidth(c, widths[c] + pad);
        total += widths[c] + pad;
    }
    GridSet->horizontalHeader()->setStretchLastSection(true);
    GridSet->setMinimumSize(total + 24, 12 * (fm.height() + 8));
    connect(GridSet, &QTableView::clicked, this, [this](const QModelIndex& i) { onGridSetClick(i.row()); });
    connect(GridSet, &QTableView::activated, this, [this](const QModelIndex& i) { onGridSetClick(i.row()); });

    SSPanel1 = titlePanel(QStringLiteral("Size"), QStringLiteral("SSPanel1"), this);
    LblSize = valuePanel(QStringLiteral("LblSize"), QStringLiteral("Size"), this);
    SSPanel2 = titlePanel(QStringLiteral("Remained"), QStringLiteral("SSPanel2"), this);
    LblRemain = valuePanel(QStringLiteral("LblRemain"), QStringLiteral("Remained"), this);
    LblRemain->setAccessibleDescription(tr("Click to erase the logger memory"));
    LblRemain->installEventFilter(this);

    CmdSaveImage = new QPushButton(tr("Save Image"), this);
    CmdSaveImage->setObjectName(QStringLiteral("CmdSaveImage"));
    CmdSaveImage->setAccessibleName(tr("Save Image"));
    CmdSaveImage->setToolTip(tr("Keep the downloaded logger memory as a raw image (.km740img)"));
    CmdSaveImage->setEnabled(false);
    connect(CmdSaveImage, &QPushButton::clicked, this, &MemoryWindow::onCmdSaveImageClick);

    CmdOpenImage = new QPushButton(tr("Open Image"), this);
    CmdOpenImage->setObjectName(QStringLiteral("CmdOpenImage"));
    CmdOpenImage->setAccessibleName(tr("Open Image"));
    CmdOpenImage->setToolTip(tr("List the sets of a saved logger image (.km740img)"));
    connect(CmdOpenImage, &QPushButton::clicked, this, &MemoryWindow::onCmdOpenImageClick);

    LblMessage = new QLabel(this);
    LblMessage->setObjectName(QStringLiteral("LblMessage"));
    LblMessage->setAccessibleDescription(tr("Message"));
    LblMessage->setWordWrap(true);
    LblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblMessage->setMinimumHeight(2 * LblMessage->fontMetrics().lineSpacing() + 2);

    auto* box = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(SSMessage, 1);
    top->addWidget(CmdCancel);
    box->addLayout(top);
    box->addWidget(GridSet, 1);
    auto* sizes = new QGridLayout;
    sizes->addWidget(SSPanel1, 0, 0);
    sizes->addWidget(LblSize, 1, 0);
    sizes->addWidget(SSPanel2, 0, 1);
    sizes->addWidget(LblRemain, 1, 1);
    sizes->addWidget(CmdSaveImage, 1, 2);
    sizes->addWidget(CmdOpenImage, 1, 3);
    sizes->setColumnStretch(4, 1);
    box->addLayout(sizes);
    box->addWidget(LblMessage);

    if (panel_) {
        const QRect p = panel_->frameGeometry();
        move(p.right() + 8, p.top());
    }
    state_.memoryOpen = true;
}

MemoryWindow::~MemoryWindow()
{
    if (cancel_)
        cancel_->store(true);
}

void MemoryWindow::download(MeterWorker& worker, const MemoryStatus& status, const Regional& regional)
{
    state_.meterInUse = true;
    holdsMeter_ = true;
    fromMeter_ = true;
    downloading_ = true;
    LblSize->setText(q(memorySizeText(status)));
    LblRemain->setText(q(memoryRemainText(status, regional)));
    LblRemain->setEnabled(false);
    LblMessage->setText(tr("Downloading %1 bytes from the meter.").arg(status.downloadSize()));
    SSMessage->setFormat(QStringLiteral("%p%"));
    SSMessage->setValue(0);
    CmdCancel->setVisible(true);
    CmdOpenImage->setEnabled(false);

    cancel_ = std::make_shared<std::atomic<bool>>(false);
    // Progress comes from the worker thread, by queued call while this window exists.
    const std::size_t total = status.downloadSize();
    auto report = QueuedCalls<MemoryWindow>(this).progress(
        [](MemoryWindow& w, std::int64_t percent) { w.showProgress(static_cast<int>(percent)); });
    auto shown = std::make_shared<int>(-1);
    DumpProgress progress = [report, shown](std::size_t received, std::size_t all) {
        const int percent = all ? static_cast<int>(received * 100 / all) : 100;
        if (percent == *shown)
            return;
        *shown = percent;
        report(percent);
    };
    worker.post<Bytes>(
        this,
        [total, progress, cancel = cancel_](MeterLink& link) {
            Result<Bytes> r = link.dumpLogger(total, progress, cancel.get());
            if (!r && r.error().kind == FailureKind::cancelled && cancel->load()) {
                if (Status s = link.drainAfterDump(total); !s)
                    return Result<Bytes>(s.error());
            }
            return r;
        },
        [this](const Result<Bytes>& r) { downloadDone(r); });
}

void MemoryWindow::showProgress(int percent)
{
    if (downloading_)
        SSMessage->setValue(percent);
}

void MemoryWindow::downloadDone(const Result<Bytes>& r)
{
    downloading_ = false;
    CmdCancel->setVisible(false);
    SSMessage->setValue(0);
    SSMessage->setFormat(kTitle);
    CmdOpenImage->setEnabled(true);
    releaseMeter();
    if (!r) {
        const bool cancelled = r.error().kind == FailureKind::cancelled;
        const QString message = cancelled
                                    ? tr("The logger download was cancelled; nothing was kept.")
                                    : tr("The logger download failed: %1. Nothing was kept.").arg(q(r.error().message));
        emit downloadFailed(message, cancelled);
        close();
        return;
    }
    LblRemain->setEnabled(true);
    image_ = LoggerImage(*r);
    table_ = splitSets(image_);
    CmdSaveImage->setEnabled(true);
    fillDirectory();
}

void MemoryWindow::showImage(LoggerImage image, const QString& source)
{
    fromMeter_ = false;
    image_ = std::move(image);
    table_ = splitSets(image_);
    LblSize->setText(tr("%1 bytes").arg(image_.downloadedSize()));
    LblRemain->setText(QString::fromLatin1(kNoValueText));
    LblRemain->setEnabled(false);
    LblRemain->setAccessibleDescription(QString());
    CmdSaveImage->setEnabled(true);
    setWindowTitle(QStringLiteral("Data Logger") + QStringLiteral(" - ") + QDir::toNativeSeparators(source));
    fillDirectory();
}

void MemoryWindow::fillDirectory()
{
    setModel_->removeRows(0, setModel_->rowCount());
    QStringList notes;
    for (const LoggerSet& set : table_.sets) {
        const auto cells = directoryCells(set);
        QList<QStandardItem*> row;
        for (const std::string& c : cells)
            row << new QStandardItem(q(c));
        if (set.incomplete) {
            row[3]->setText(row[3]->text() + tr(" cut short"));
            for (QStandardItem* item : row)
                item->setToolTip(tr("This set is cut short: it holds its whole records up to where it ends."));
        }
        for (QStandardItem* item : row)
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setModel_->appendRow(row);
        if (set.incomplete)
            notes << (set.summaryMissing ? tr("Set %1 is cut short; its summary is missing.").arg(set.number)
                                         : tr("Set %1 is cut short.").arg(set.number));
    }
    if (table_.sets.empty())
        notes << tr("No logger set was found in the downloaded memory.");
    if (table_.setLimitReached)
        notes << tr("The memory holds more than %1 sets; the rest are not listed.").arg(LoggerSetTable::maxSets);
    LblMessage->setText(notes.join(QLatin1Char(' ')));
}

void MemoryWindow::onCmdCancelClick()
{
    // Nothing was kept: the window goes, and the meter with it.
    close();
}

void MemoryWindow::onGridSetClick(int row)
{
    if (downloading_ || row < 0 || row >= setModel_->rowCount())
        return;
    bool ok = false;
    const int number = setModel_->item(row, 0)->text().toInt(&ok);
    if (ok)
        emit setChosen(number);
}

void MemoryWindow::onLblRemainClick()
{
    if (downloading_ || !fromMeter_)
        return;
    emit eraseRequested();
}

void MemoryWindow::onCmdSaveImageClick()
{
    const QString path = dialogs_.saveImage ? dialogs_.saveImage(this) : QString();
    if (path.isEmpty())
        return;
    const Status s = writeLoggerImageFile(path.toStdString(), image_.downloaded());
    LblMessage->setText(s ? tr("Image saved as %1").arg(QDir::toNativeSeparators(path))
                          : tr("The image was not saved: %1").arg(q(s.error().message)));
}

void MemoryWindow::onCmdOpenImageClick()
{
    if (downloading_)
        return;
    const QString path = dialogs_.openImage ? dialogs_.openImage(this) : QString();
    if (path.isEmpty())
        return;
    Result<LoggerImage> image = readLoggerImageFile(path.toStdString());
    if (!image) {
        LblMessage->setText(tr("The image was not opened: %1").arg(q(image.error().message)));
        return;
    }
    showImage(std::move(image).value(), path);
}

void MemoryWindow::releaseMeter()
{
    if (holdsMeter_) {
        holdsMeter_ = false;
        state_.meterInUse = false;
    }
}

void MemoryWindow::closeEvent(QCloseEvent* event)
{
    // A download still running stops; the meter and the poll are let go now.
    if (cancel_)
        cancel_->store(true);
    releaseMeter();
    state_.memoryOpen = false;
    emit closed();
    QWidget::closeEvent(event);
}

bool MemoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LblRemain && event->type() == QEvent::MouseButtonRelease) {
        onLblRemainClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace km740
