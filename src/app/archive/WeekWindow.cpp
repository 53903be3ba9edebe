// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archive/WeekWindow.h"

#include "app/ui/QtText.h"
#include "core/archive/Archive.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace km740 {

WeekWindow::WeekWindow(Archive& archive, const Regional& regional, QWidget* parent)
    : QWidget(parent, Qt::Window), archive_(archive), regional_(regional)
{
    setWindowTitle(QStringLiteral("Week"));
    setAttribute(Qt::WA_DeleteOnClose);
    TxtPerson = new QLineEdit(this);
    TxtWeek = new QLineEdit(this);
    TxtWeek->setPlaceholderText(QStringLiteral("YYYY-Www"));
    TxtWeek->setMaxLength(8);
    CmdPrevious = new QPushButton(QStringLiteral("<"), this);
    CmdNext = new QPushButton(QStringLiteral(">"), this);
    // "<" and ">" say nothing to a screen reader: they are heard by what they do.
    CmdPrevious->setAccessibleName(QStringLiteral("Week before"));
    CmdNext->setAccessibleName(QStringLiteral("Week after"));
    CmdPrevious->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    CmdNext->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    CmdPrevious->setToolTip(QStringLiteral("Week before (Alt+Left)"));
    CmdNext->setToolTip(QStringLiteral("Week after (Alt+Right)"));
    GridDays = new QTableWidget(0, 4, this);
    GridDays->setHorizontalHeaderLabels(
        {QStringLiteral("Date"), QStringLiteral("LEX,8h"), QStringLiteral("Points"), QStringLiteral("Measurements")});
    GridDays->horizontalHeader()->setStretchLastSection(true);
    GridDays->verticalHeader()->hide();
    GridDays->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LblSummary = new QLabel(this);
    CmdReport = new QPushButton(QStringLiteral("Report"), this);
    CmdReport->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
    CmdReport->setToolTip(QStringLiteral("The week on a report page: preview, print, save as PDF (Alt+R)"));
    CmdReport->setEnabled(false);
    setObjectName(QStringLiteral("Week"));
    TxtPerson->setAccessibleName(QStringLiteral("Person"));
    TxtWeek->setAccessibleName(QStringLiteral("Week"));
    GridDays->setAccessibleName(QStringLiteral("Days"));
    LblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Person:"), this), 0, 0);
    top->addWidget(TxtPerson, 0, 1, 1, 3);
    top->addWidget(new QLabel(QStringLiteral("Week:"), this), 1, 0);
    top->addWidget(CmdPrevious, 1, 1);
    top->addWidget(TxtWeek, 1, 2);
    top->addWidget(CmdNext, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(GridDays);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LblSummary, 1);
    bottom->addWidget(CmdReport);
    layout->addLayout(bottom);
    resize(460, 320);

    connect(TxtPerson, &QLineEdit::editingFinished, this, &WeekWindow::recompute);
    connect(TxtWeek, &QLineEdit::editingFinished, this, &WeekWindow::recompute);
    connect(CmdPrevious, &QPushButton::clicked, this, [this] { step(-1); });
    connect(CmdNext, &QPushButton::clicked, this, [this] { step(1); });
    connect(CmdReport, &QPushButton::clicked, this, &WeekWindow::onReportClick);
}

// A box that has the focus finishes its editing as it is destroyed, after
// this window is gone: it must not reach recompute() then.
WeekWindow::~WeekWindow()
{
    TxtPerson->disconnect(this);
    TxtWeek->disconnect(this);
}

void WeekWindow::showWeek(const QString& person, Day monday)
{
    TxtPerson->setText(person);
    TxtWeek->setText(q(isoWeekOf(monday)));
    recompute();
}

void WeekWindow::step(int weeks)
{
    const auto monday = parseIsoWeek(TxtWeek->text().trimmed().toStdString());
    if (!monday)
        return;
    TxtWeek->setText(q(isoWeekOf(*monday + std::chrono::weeks{weeks})));
    recompute();
}

void WeekWindow::setReportSink(WeekReportSink sink)
{
    reportSink_ = std::move(sink);
    CmdReport->setEnabled(reportSink_ && monday_ && !person_.empty());
}

void WeekWindow::onReportClick()
{
    if (reportSink_ && monday_ && !person_.empty())
        reportSink_({this, person_, *monday_, measurements_});
}

void WeekWindow::recompute()
{
    GridDays->setRowCount(0);
    week_ = {};
    measurements_.clear();
    monday_.reset();
    CmdReport->setEnabled(false);
    const auto monday = parseIsoWeek(TxtWeek->text().trimmed().toStdString());
    if (!monday) {
        LblSummary->setText(QStringLiteral("Type the week as YYYY-Www, e.g. 2026-W09."));
        return;
    }
    const QString person = TxtPerson->text().trimmed();
    setWindowTitle(QStringLiteral("Week %1 - %2").arg(q(isoWeekOf(*monday)), person));
    auto rows = archive_.ofPerson(person.toStdString(), *monday, *monday + std::chrono::days{6});
    if (!rows) {
        LblSummary->setText(q(rows.error().message));
        return;
    }
    week_ = weekExposure(*rows);
    // A week with nothing measured can be reported too: the page says so.
    person_ = person.toStdString();
    monday_ = *monday;
    measurements_ = std::move(*rows);
    CmdReport->setEnabled(reportSink_ && !person_.empty());
    for (const WeekDay& d : week_.days) {
        const int r = GridDays->rowCount();
        GridDays->insertRow(r);
        QStringList ids;
        for (auto id : d.ids)
            ids << QString::number(id);
        const QString cells[] = {q(isoDate(d.day)), q(formatFixed(d.lex8h, 1, regional_)),
                                 q(formatFixed(d.points, 0, regional_)), ids.join(QStringLiteral(", "))};
        for (int c = 0; c < 4; ++c)
            GridDays->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    if (!week_.lexW) {
        LblSummary->setText(
            QStringLiteral("No measurement of %1 with a LEX,8h in %2 (%3 to %4).")
                .arg(person, q(isoWeekOf(*monday)), q(isoDate(*monday)), q(isoDate(*monday + std::chrono::days{6}))));
        return;
    }
    LblSummary->setText(QStringLiteral("LEX,w %1 dB over 5 nominal days (%2 worked); %3 points")
                            .arg(q(formatFixed(*week_.lexW, 1, regional_)))
                            .arg(week_.days.size())
                            .arg(q(formatFixed(week_.points, 0, regional_))));
}

} // namespace km740
