// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archive/MeasurementsWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/archive/LabelsDialog.h"
#include "app/archive/WeekWindow.h"
#include "app/ui/ArchiveFiling.h"
#include "app/ui/QtText.h"
#include "core/archive/MeasurementsCsv.h"
#include "core/common/AtomicFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <mutex>

namespace km740 {

namespace {

// How long typing in the search box may pause before the list follows.
constexpr int kTypingPauseMs = 200;

Day dayOf(const QDate& d)
{
    return Day{std::chrono::days{QDate(1970, 1, 1).daysTo(d)}};
}

} // namespace

struct MeasurementsWindow::ListReader {
    std::mutex lock;
    std::filesystem::path folder;
    std::optional<Archive> archive; // opened by the first listing
};

MeasurementsDialogs MeasurementsDialogs::desktop()
{
    MeasurementsDialogs d;
    d.confirm = [](QWidget* parent, const QString& question) {
        return QMessageBox::question(parent, QStringLiteral("Measurements"), question) == QMessageBox::Yes;
    };
    d.editLabels = [](QWidget* parent, const MeasurementLabels& labels) {
        return askLabels(parent, QStringLiteral("Edit measurement"), labels);
    };
    d.saveCsv = [](QWidget* parent, const QString& suggested) -> std::optional<QString> {
        const QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Export CSV"), suggested,
                                                          QStringLiteral("CSV Files (*.csv)"));
        return name.isEmpty() ? std::nullopt : std::optional(name);
    };
    d.tell = [](QWidget* parent, const QString& message) {
        QMessageBox::warning(parent, QStringLiteral("Measurements"), message);
    };
    return d;
}

MeasurementsWindow::MeasurementsWindow(Setup setup, QWidget* parent)
    : QWidget(parent, Qt::Window), setup_(std::move(setup))
{
    setWindowTitle(QStringLiteral("Measurements"));
    setAttribute(Qt::WA_DeleteOnClose);

    TxtSearch = new QLineEdit(this);
    TxtSearch->setPlaceholderText(QStringLiteral("Person, sector, company or notes"));
    TxtSearch->setClearButtonEnabled(false);
    ComboWhen = new QComboBox(this);
    ComboWhen->addItems({QStringLiteral("Any time"), QStringLiteral("This week"), QStringLiteral("Last week"),
                         QStringLiteral("This month"), QStringLiteral("Last month"), QStringLiteral("This year"),
                         QStringLiteral("Between")});
    DateFrom = new QDateEdit(this);
    DateTo = new QDateEdit(this);
    for (QDateEdit* d : {DateFrom, DateTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setDate(setup_.today());
        d->setEnabled(false);
    }
    ComboKind = new QComboBox(this);
    ComboKind->addItem(QStringLiteral("All kinds"));
    for (DataFileKind k :
         {DataFileKind::realTimeData, DataFileKind::realTimeList, DataFileKind::doseLogger, DataFileKind::levelLogger})
        ComboKind->addItem(q(dataFileTitle(k)), static_cast<int>(k));

    setObjectName(QStringLiteral("Measurements"));
    TxtSearch->setAccessibleName(QStringLiteral("Search"));
    nameComboBox(ComboWhen, QStringLiteral("When"));
    DateFrom->setAccessibleName(QStringLiteral("From"));
    DateTo->setAccessibleName(QStringLiteral("To"));
    nameComboBox(ComboKind, QStringLiteral("Kind"));

    model_ = new MeasurementsModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(MeasurementsModel::SortRole);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    GridMeasurements = new QTableView(this);
    GridMeasurements->setModel(sorted_);
    GridMeasurements->setSortingEnabled(true);
    GridMeasurements->sortByColumn(MeasurementsModel::Start, Qt::DescendingOrder);
    GridMeasurements->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridMeasurements->setSelectionMode(QAbstractItemView::SingleSelection);
    GridMeasurements->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridMeasurements->verticalHeader()->hide();
    GridMeasurements->horizontalHeader()->setStretchLastSection(true);
    GridMeasurements->setAccessibleName(QStringLiteral("Filed measurements"));

    CmdOpen = new QPushButton(QStringLiteral("Open"), this);
    CmdEdit = new QPushButton(QStringLiteral("Edit..."), this);
    CmdRemove = new QPushButton(QStringLiteral("Remove"), this);
    CmdWeek = new QPushButton(QStringLiteral("Week"), this);
    CmdWeek->setToolTip(QStringLiteral("The week of the selected measurement's person: daily LEX,8h, LEX,w, points"));
    CmdExport = new QPushButton(QStringLiteral("Export CSV..."), this);
    LblStatus = new QLabel(this);
    LblStatus->setWordWrap(true);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Search:"), this));
    filters->addWidget(TxtSearch, 2);
    filters->addWidget(ComboWhen);
    filters->addWidget(DateFrom);
    filters->addWidget(new QLabel(QStringLiteral("to"), this));
    filters->addWidget(DateTo);
    filters->addWidget(ComboKind);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {CmdOpen, CmdEdit, CmdRemove, CmdWeek, CmdExport})
        buttons->addWidget(b);
    buttons->addStretch();
    ChkFileEverySave = new QCheckBox(QStringLiteral("File every saved measurement"), this);
    ChkFileEverySave->setToolTip(
        QStringLiteral("Logger sets and real-time lists are filed when saved, recordings when they end"));
    if (ArchiveFiling* filing = setup_.filing) {
        ChkFileEverySave->setChecked(filing->automatic());
        connect(ChkFileEverySave, &QCheckBox::toggled, filing, &ArchiveFiling::setAutomatic);
        connect(filing, &ArchiveFiling::automaticChanged, ChkFileEverySave, &QCheckBox::setChecked);
        // A measurement filed while the window is open shows up in it.
        connect(filing, &ArchiveFiling::filed, this, [this](const FilingOutcome& outcome) {
            if (outcome.ok && outcome.added)
                refresh();
        });
    } else {
        ChkFileEverySave->hide();
    }
    buttons->addWidget(ChkFileEverySave);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(GridMeasurements, 1);
    layout->addLayout(buttons);
    layout->addWidget(LblStatus);
    resize(980, 520);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &MeasurementsWindow::refresh);
    connect(TxtSearch, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    connect(ComboWhen, &QComboBox::currentIndexChanged, this, &MeasurementsWindow::whenChanged);
    connect(DateFrom, &QDateEdit::dateChanged, this, &MeasurementsWindow::refresh);
    connect(DateTo, &QDateEdit::dateChanged, this, &MeasurementsWindow::refresh);
    connect(ComboKind, &QComboBox::currentIndexChanged, this, &MeasurementsWindow::refresh);
    connect(GridMeasurements, &QTableView::doubleClicked, this, &MeasurementsWindow::onOpenClick);
    connect(GridMeasurements->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MeasurementsWindow::selectionChanged);
    connect(CmdOpen, &QPushButton::clicked, this, &MeasurementsWindow::onOpenClick);
    connect(CmdEdit, &QPushButton::clicked, this, &MeasurementsWindow::onEditClick);
    connect(CmdRemove, &QPushButton::clicked, this, &MeasurementsWindow::onRemoveClick);
    connect(CmdWeek, &QPushButton::clicked, this, &MeasurementsWindow::onWeekClick);
    connect(CmdExport, &QPushButton::clicked, this, &MeasurementsWindow::onExportClick);

    auto opened = Archive::open(setup_.folder);
    if (!opened) {
        // The archive stays as it is; the window says why it cannot show it.
        LblStatus->setText(q(opened.error().message));
        for (QWidget* w : std::initializer_list<QWidget*>{TxtSearch, ComboWhen, ComboKind, GridMeasurements, CmdExport})
            w->setEnabled(false);
        selectionChanged();
        return;
    }
    archive_.emplace(std::move(*opened));
    reader_ = std::make_shared<ListReader>();
    reader_->folder = setup_.folder;
    refresh();
}

MeasurementsWindow::~MeasurementsWindow() = default;

WeekWindow* MeasurementsWindow::weekWindow() const
{
    return week_.data();
}

void MeasurementsWindow::closeEvent(QCloseEvent* event)
{
    emit closed();
    QWidget::closeEvent(event);
}

void MeasurementsWindow::whenChanged()
{
    const QDate today = setup_.today();
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    const QDate firstOfMonth(today.year(), today.month(), 1);
    QDate from, to;
    switch (ComboWhen->currentIndex()) {
    case ThisWeek:
        from = monday;
        to = monday.addDays(6);
        break;
    case LastWeek:
        from = monday.addDays(-7);
        to = monday.addDays(-1);
        break;
    case ThisMonth:
        from = firstOfMonth;
        to = firstOfMonth.addMonths(1).addDays(-1);
        break;
    case LastMonth:
        from = firstOfMonth.addMonths(-1);
        to = firstOfMonth.addDays(-1);
        break;
    case ThisYear:
        from = QDate(today.year(), 1, 1);
        to = QDate(today.year(), 12, 31);
        break;
    default: break;
    }
    const bool between = ComboWhen->currentIndex() == Between;
    {
        const QSignalBlocker a(DateFrom), b(DateTo);
        if (from.isValid()) {
            DateFrom->setDate(from);
            DateTo->setDate(to);
        }
        DateFrom->setEnabled(between);
        DateTo->setEnabled(between);
    }
    refresh();
}

MeasurementFilter MeasurementsWindow::filter() const
{
    MeasurementFilter f;
    f.text = TxtSearch->text().trimmed().toStdString();
    if (ComboWhen->currentIndex() != AnyTime) {
        f.from = dayOf(DateFrom->date());
        f.to = dayOf(DateTo->date());
    }
    if (ComboKind->currentIndex() > 0)
        f.kind = static_cast<DataFileKind>(ComboKind->currentData().toInt());
    return f;
}

void MeasurementsWindow::refresh()
{
    typing_->stop();
    if (!archive_)
        return;
    const std::uint64_t asked = ++asked_;
    lister_.start(
        this,
        [reader = reader_, wanted = filter()](const BackgroundTask::Job&) -> Result<std::vector<Measurement>> {
            const std::lock_guard<std::mutex> hold(reader->lock);
            if (!reader->archive) {
                auto opened = Archive::open(reader->folder);
                if (!opened)
                    return opened.error();
                reader->archive.emplace(std::move(*opened));
            }
            return reader->archive->list(wanted);
        },
        [](MeasurementsWindow&, std::int64_t) {},
        [asked](MeasurementsWindow& w, Result<std::vector<Measurement>> rows) {
            if (asked == w.asked_)
                w.showRows(std::move(rows));
        });
}

void MeasurementsWindow::showRows(Result<std::vector<Measurement>> rows)
{
    if (!rows) {
        LblStatus->setText(q(rows.error().message));
        return;
    }
    const std::int64_t keep = selected() ? selected()->id : 0;
    model_->setRows(std::move(*rows), setup_.regional);
    LblStatus->setText(QStringLiteral("%1 measurements").arg(model_->rowCount()));
    for (int r = 0; r < sorted_->rowCount(); ++r)
        if (model_->at(sorted_->mapToSource(sorted_->index(r, 0)).row()).id == keep)
            GridMeasurements->selectRow(r);
    selectionChanged();
}

const Measurement* MeasurementsWindow::selected() const
{
    const QModelIndex current = GridMeasurements->selectionModel()->currentIndex();
    if (!current.isValid() || !GridMeasurements->selectionModel()->isRowSelected(current.row(), {}))
        return nullptr;
    const QModelIndex source = sorted_->mapToSource(current);
    return source.isValid() ? &model_->at(source.row()) : nullptr;
}

std::vector<const Measurement*> MeasurementsWindow::shownRows() const
{
    std::vector<const Measurement*> rows;
    for (int r = 0; r < sorted_->rowCount(); ++r)
        rows.push_back(&model_->at(sorted_->mapToSource(sorted_->index(r, 0)).row()));
    return rows;
}

void MeasurementsWindow::selectionChanged()
{
    const bool one = archive_ && selected();
    for (QPushButton* b : {CmdOpen, CmdEdit, CmdRemove, CmdWeek})
        b->setEnabled(one);
}

void MeasurementsWindow::onOpenClick()
{
    const Measurement* m = selected();
    if (!m || !setup_.openFile)
        return;
    // The copy is checked before a window shows it as the measurement.
    auto copy = archive_->copyToOpen(*m);
    if (!copy) {
        setup_.dialogs.tell(this, q(copy.error().message));
        return;
    }
    setup_.openFile(*m, *copy);
}

void MeasurementsWindow::onEditClick()
{
    const Measurement* m = selected();
    if (!m)
        return;
    const auto labels = setup_.dialogs.editLabels(this, m->labels);
    if (!labels)
        return;
    auto done = archive_->relabel(m->id, *labels);
    if (!done)
        setup_.dialogs.tell(this, q(done.error().message));
    refresh();
}

void MeasurementsWindow::onRemoveClick()
{
    const Measurement* m = selected();
    if (!m)
        return;
    const QString question =
        QStringLiteral("Remove the measurement of %1 started %2 (%3) from the archive?\n"
                       "The archive's copy of its file goes with it.")
            .arg(m->labels.person.empty() ? QStringLiteral("nobody named") : q(m->labels.person),
                 m->facts.start ? q(formatLocalTime(*m->facts.start)).replace(QLatin1Char('T'), QLatin1Char(' '))
                                : QStringLiteral("at an unknown time"),
                 q(m->fileName));
    if (!setup_.dialogs.confirm(this, question))
        return;
    auto removed = archive_->remove(m->id);
    if (!removed)
        setup_.dialogs.tell(this, q(removed.error().message));
    refresh();
}

void MeasurementsWindow::onWeekClick()
{
    const Measurement* m = selected();
    if (!archive_)
        return;
    if (!week_) {
        week_ = new WeekWindow(*archive_, setup_.regional, this);
        week_->setReportSink(setup_.weekReport);
    }
    const Day day = m && m->facts.start ? km740::dayOf(*m->facts.start) : dayOf(setup_.today());
    week_->showWeek(m ? q(m->labels.person) : QString(), *parseIsoWeek(isoWeekOf(day)));
    week_->show();
    week_->raise();
}

void MeasurementsWindow::onExportClick()
{
    if (!archive_)
        return;
    const auto target = setup_.dialogs.saveCsv(this, QStringLiteral("measurements.csv"));
    if (!target)
        return;
    std::vector<Measurement> rows;
    for (const Measurement* m : shownRows())
        rows.push_back(*m);
    if (auto s = writeFileAtomically(target->toStdString(), measurementsCsv(rows)); !s)
        setup_.dialogs.tell(this, q(s.error().message));
    else
        LblStatus->setText(QStringLiteral("%1 measurements written to %2").arg(rows.size()).arg(*target));
}

} // namespace km740
