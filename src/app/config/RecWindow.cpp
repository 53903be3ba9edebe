// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/RecWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "app/ui/PickCombo.h"
#include "core/link/MeterLink.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"
#include "app/ui/QtText.h"
#include "app/ui/WriteProof.h"
#include "core/link/WriteCheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace km740 {

namespace {

constexpr std::array<const char*, scheduleFieldCount> fieldKeys{"StartDate", "StartHour", "StartMin",
                                                                "StopDate",  "StopHour",  "StopMin"};
constexpr std::array<const char*, scheduleFieldCount> fieldNames{"start date", "start hour", "start minute",
                                                                 "stop date",  "stop hour",  "stop minute"};

QPushButton* button(const QString& caption, const QString& name, const QString& accessible, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(accessible);
    return b;
}

} // namespace

void RecWindow::openFromMeter(WindowContext& context)
{
    MeterWorker* worker = context.worker();
    if (!worker)
        return;
    context.state().meterInUse = true;
    worker->post<RecordingRead>(
        &context, [](MeterLink& link) { return readRecordingSettings(link); },
        [&context](const Result<RecordingRead>& r) {
            if (!r) {
                // The lost-link handling takes over; the window does not open.
                context.state().meterInUse = false;
                return;
            }
            // Modal: it stands over the main window.
            auto* w = context.windows().adopt(new RecWindow(context, *r, context.mainWindow()));
            w->setWindowModality(Qt::ApplicationModal);
            w->show();
        });
}

RecWindow::RecWindow(WindowContext& context, const RecordingRead& read, QWidget* parent)
    : QDialog(parent), context_(context), state_(context.state()), read_(read)
{
    setObjectName(QStringLiteral("REC"));
    // Escape goes through close() so the window lets the meter go as its title bar button does.
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("Recording Option"));
    buildWindow();
    // Form load: the lists are filled; the values come with the first tick.
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setSingleShot(true);
    timer1_->setInterval(0);
    connect(timer1_, &QTimer::timeout, this, &RecWindow::onTimer1Timer);
    timer1_->start();
}

RecWindow::~RecWindow()
{
    state_.meterInUse = false;
}

void RecWindow::buildWindow()
{
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    auto* frameInterval = new QGroupBox(QStringLiteral("Interval"), this);
    frameInterval->setObjectName(QStringLiteral("FrameInterval"));
    auto* il = new QHBoxLayout(frameInterval);
    comboIntv_ = new PickCombo(QStringLiteral("ComboIntv"), frameInterval);
    nameComboBox(comboIntv_, QStringLiteral("Interval"));
    comboIntv_->setItems(intervalItems());
    comboIntv_->setText(QStringLiteral(" 1 Sec"));
    cmdStartRec_ =
        button(QStringLiteral("Start Rec"), QStringLiteral("CmdStartRec"), QStringLiteral("Start Rec"), frameInterval);
    il->addWidget(comboIntv_);
    il->addWidget(cmdStartRec_);
    top->addWidget(frameInterval);

    auto* frameLimited = new QGroupBox(QStringLiteral("Duration Limited"), this);
    frameLimited->setObjectName(QStringLiteral("FrameLimited"));
    auto* ll = new QHBoxLayout(frameLimited);
    ll->addWidget(new QLabel(QStringLiteral(" Period"), frameLimited));
    comboSingle_ = new PickCombo(QStringLiteral("ComboSingle"), frameLimited);
    nameComboBox(comboSingle_, QStringLiteral("Period"));
    comboSingle_->setItems(periodItems());
    comboSingle_->setText(QStringLiteral("Off"));
    cmdLimit_ = button(QStringLiteral("Start"), QStringLiteral("CmdLimit"), QStringLiteral("Start limited recording"),
                       frameLimited);
    ll->addWidget(comboSingle_);
    ll->addWidget(cmdLimit_);
    top->addWidget(frameLimited);

    frameSchedule_ = new QGroupBox(QStringLiteral(" Duration Time of Recording"), this);
    frameSchedule_->setObjectName(QStringLiteral("FrameSchedule"));
    auto* grid = new QGridLayout(frameSchedule_);
    grid->setVerticalSpacing(2);
    // The Start and Stop frames, drawn behind their columns.
    for (int part = 0; part < 2; ++part) {
        auto* frame = new QFrame(frameSchedule_);
        frame->setObjectName(part == 0 ? QStringLiteral("FrameStart") : QStringLiteral("FrameStop"));
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        grid->addWidget(frame, 0, 2 + 3 * part, rows + 2, 3);
        auto* title = new QLabel(part == 0 ? QStringLiteral("Start") : QStringLiteral("Stop"), frameSchedule_);
        title->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, 0, 2 + 3 * part, 1, 3);
        const char* heads[3] = {"Date", "Hour", "Minute"};
        for (int k = 0; k < 3; ++k) {
            auto* h = new QLabel(QString::fromLatin1(heads[k]), frameSchedule_);
            h->setAlignment(Qt::AlignCenter);
            grid->addWidget(h, 1, 2 + 3 * part + k);
        }
    }
    grid->addWidget(new QLabel(QStringLiteral("No"), frameSchedule_), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Enable"), frameSchedule_), 1, 1);
    for (int i = 0; i < rows; ++i) {
        const int line = i + 2;
        auto* no = new QLabel(QString::number(i + 1), frameSchedule_);
        no->setAlignment(Qt::AlignCenter);
        grid->addWidget(no, line, 0);
        auto* ck = new QCheckBox(frameSchedule_);
        ck->setObjectName(QStringLiteral("CkEnable%1").arg(i));
        ck->setAccessibleName(tr("Enable recording %1").arg(i + 1));
        ckEnable_[static_cast<std::size_t>(i)] = ck;
        grid->addWidget(ck, line, 1, Qt::AlignCenter);
        for (int f = 0; f < scheduleFieldCount; ++f) {
            const auto fi = static_cast<std::size_t>(f);
            auto* box =
                new PickCombo(QStringLiteral("Combo%1%2").arg(QLatin1String(fieldKeys[fi])).arg(i), frameSchedule_);
            nameComboBox(box, tr("Recording %1 %2").arg(i + 1).arg(QLatin1String(fieldNames[fi])));
            box->setItems(scheduleFieldItems(static_cast<ScheduleField>(f)));
            box->setText(f == 0 || f == 3 ? QStringLiteral("Any") : QStringLiteral("0"));
            fields_[static_cast<std::size_t>(i)][static_cast<std::size_t>(f)] = box;
            grid->addWidget(box, line, 2 + f);
        }
    }
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Repeat"), frameSchedule_));
    comboRepeat_ = new PickCombo(QStringLiteral("ComboRepeat"), frameSchedule_);
    nameComboBox(comboRepeat_, QStringLiteral("Repeat"));
    comboRepeat_->setItems(repeatItems());
    comboRepeat_->setText(QStringLiteral("Always"));
    side->addWidget(comboRepeat_);
    side->addStretch(1);
    cmd16_ = button(QStringLiteral("Start"), QStringLiteral("Cmd16"), QStringLiteral("Start scheduled recording"),
                    frameSchedule_);
    side->addWidget(cmd16_);
    grid->addLayout(side, 2, 8, rows, 1);
    outer->addWidget(frameSchedule_);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    cmdSetup_ = button(QStringLiteral("Setup"), QStringLiteral("CmdSetup"), QStringLiteral("Setup"), this);
    bottom->addWidget(cmdSetup_);
    outer->addLayout(bottom);

    connect(comboSingle_, &PickCombo::picked, this, &RecWindow::onComboSingleClick);
    connect(cmdSetup_, &QPushButton::clicked, this, &RecWindow::onCmdSetupClick);
    connect(cmd16_, &QPushButton::clicked, this, &RecWindow::onCmd16Click);
    connect(cmdLimit_, &QPushButton::clicked, this, &RecWindow::onCmdLimitClick);
    connect(cmdStartRec_, &QPushButton::clicked, this, &RecWindow::onCmdStartRecClick);
}

PickCombo* RecWindow::field(int row, ScheduleField f) const
{
    return fields_[static_cast<std::size_t>(row)][static_cast<std::size_t>(f)];
}

void RecWindow::onTimer1Timer()
{
    const RecordingTexts t = recordingTextsFrom(read_);
    comboRepeat_->setText(t.repeat);
    for (int i = 0; i < rows; ++i)
        ckEnable(i)->setChecked(t.rows[static_cast<std::size_t>(i)].enabled);
    comboIntv_->setText(t.interval);
    comboSingle_->setText(t.period);
    applyScheduleMode();
    for (int i = 0; i < rows; ++i)
        for (int f = 0; f < scheduleFieldCount; ++f)
            field(i, static_cast<ScheduleField>(f))
                ->setText(t.rows[static_cast<std::size_t>(i)].cells[static_cast<std::size_t>(f)]);
    timer1_->stop();
}

void RecWindow::applyScheduleMode()
{
    // "Off" uses the schedule; a period means a duration-limited recording.
    const bool schedule = comboSingle_->text() == QLatin1String("Off");
    frameSchedule_->setEnabled(schedule);
    cmdLimit_->setEnabled(!schedule);
}

void RecWindow::onComboSingleClick()
{
    applyScheduleMode();
}

RecordingTexts RecWindow::texts() const
{
    RecordingTexts t;
    t.interval = comboIntv_->stdText();
    t.period = comboSingle_->stdText();
    t.repeat = comboRepeat_->stdText();
    for (int i = 0; i < rows; ++i) {
        ScheduleRowTexts& row = t.rows[static_cast<std::size_t>(i)];
        row.enabled = ckEnable(i)->isChecked();
        for (int f = 0; f < scheduleFieldCount; ++f)
            row.cells[static_cast<std::size_t>(f)] = field(i, static_cast<ScheduleField>(f))->stdText();
    }
    return t;
}

void RecWindow::refuse(const Failure& why)
{
    if (context_.dialogs().message)
        context_.dialogs().message(
            this, tr("Not written: %1. Pick a value from its list, then try again.").arg(q(why.message)), false);
}

void RecWindow::write(std::function<Status(MeterLink&)> work, bool closeAfter)
{
    MeterWorker* worker = context_.worker();
    if (!worker || writing_)
        return;
    writing_ = true;
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto proven = [work = std::move(work)](MeterLink& link) { return writeProof(work(link)); };
    worker->post<WriteProof>(this, std::move(proven), [this, closeAfter](const Result<WriteProof>& s) {
        QApplication::restoreOverrideCursor();
        writing_ = false;
        setEnabled(true);
        if (!s || !s->empty()) {
            if (context_.dialogs().message)
                context_.dialogs().message(
                    this,
                    s ? q(proofSentence(*s))
                      : tr("The recording settings were not written: %1").arg(q(s.error().message)),
                    false);
            return;
        }
        if (closeAfter)
            close();
    });
}

void RecWindow::onCmdSetupClick()
{
    auto setup = recordingSetupFrom(texts());
    if (!setup)
        return refuse(setup.error());
    write([s = *setup](MeterLink& link) { return writeRecordingSetupChecked(link, s); }, false);
}

void RecWindow::onCmd16Click()
{
    auto setup = recordingSetupFrom(texts());
    if (!setup)
        return refuse(setup.error());
    write([s = *setup](MeterLink& link) { return startRecordingChecked(link, RecordingStart::schedule, s); }, true);
}

void RecWindow::onCmdLimitClick()
{
    auto interval = intervalCodeFrom(comboIntv_->stdText());
    if (!interval)
        return refuse(interval.error());
    auto period = periodCodeFrom(comboSingle_->stdText());
    if (!period)
        return refuse(period.error());
    RecordingSetup s;
    s.intervalCode = *interval;
    s.periodCode = *period;
    write([s](MeterLink& link) { return startRecordingChecked(link, RecordingStart::limited, s); }, true);
}

void RecWindow::onCmdStartRecClick()
{
    auto interval = intervalCodeFrom(comboIntv_->stdText());
    if (!interval)
        return refuse(interval.error());
    RecordingSetup s;
    s.intervalCode = *interval;
    write([s](MeterLink& link) { return startRecordingChecked(link, RecordingStart::plain, s); }, true);
}

void RecWindow::done(int result)
{
    timer1_->stop();
    state_.meterInUse = false;
    QDialog::done(result);
}

void RecWindow::closeEvent(QCloseEvent* event)
{
    timer1_->stop();
    state_.meterInUse = false;
    QDialog::closeEvent(event);
}

} // namespace km740
