// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/RtcWindow.h"

#include "app/ui/KeyHints.h"

#include "core/link/MeterLink.h"
#include "core/link/WriteCheck.h"
#include "app/ui/QtText.h"
#include "app/ui/WriteProof.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace km740 {

namespace {

const QString meterCaption = QStringLiteral("Meter Time");
const QString pcCaption = QStringLiteral("PC System Time");

DateTime desktopNow()
{
    const QDateTime t = QDateTime::currentDateTime();
    return DateTime{t.date().year(), t.date().month(),  t.date().day(),
                    t.time().hour(), t.time().minute(), t.time().second()};
}

// A label the user clicks to switch its display: a flat button, so the
// keyboard and screen readers reach it too.
QPushButton* clickLabel(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    b->setFlat(true);
    QFont f = b->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    b->setFont(f);
    b->setMinimumWidth(260);
    return b;
}

} // namespace

void RtcWindow::open(WindowContext& context)
{
    if (!context.worker())
        return;
    context.state().meterInUse = true;
    // Modal: it stands over the main window.
    auto* w = context.windows().adopt(new RtcWindow(context, {}, context.mainWindow()));
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
}

RtcWindow::RtcWindow(WindowContext& context, Now now, QWidget* parent)
    : QDialog(parent), context_(context), state_(context.state()), now_(now ? std::move(now) : Now(desktopNow))
{
    setObjectName(QStringLiteral("RTC"));
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("Form1"));

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Time"), this);
    frame->setObjectName(QStringLiteral("FrameTime"));
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    lblMeterTime_ = clickLabel(meterCaption, QStringLiteral("LblMeterTime"), frame);
    lblPCTime_ = clickLabel(pcCaption, QStringLiteral("LblPCTime"), frame);
    lblNote_ = new QLabel(frame);
    lblNote_->setObjectName(QStringLiteral("LblNote"));
    lblNote_->setAccessibleDescription(tr("Note"));
    lblNote_->setWordWrap(true);
    lblNote_->setVisible(false);
    cmdSetTime_ = new QPushButton(QStringLiteral("Set Meter Time To System Time"), frame);
    cmdSetTime_->setObjectName(QStringLiteral("CmdSetTime"));
    cmdSetTime_->setAccessibleName(cmdSetTime_->text());
    cmdExit_ = new QPushButton(QStringLiteral("Exit"), frame);
    cmdExit_->setObjectName(QStringLiteral("CmdExit"));
    cmdExit_->setAccessibleName(QStringLiteral("Exit"));
    layout->addWidget(lblMeterTime_);
    layout->addWidget(lblPCTime_);
    layout->addWidget(lblNote_);
    layout->addWidget(cmdSetTime_);
    layout->addWidget(cmdExit_);

    connect(lblMeterTime_, &QPushButton::clicked, this, &RtcWindow::onLblMeterTimeClick);
    connect(lblPCTime_, &QPushButton::clicked, this, &RtcWindow::onLblPCTimeClick);
    connect(cmdSetTime_, &QPushButton::clicked, this, &RtcWindow::onCmdSetTimeClick);
    connect(cmdExit_, &QPushButton::clicked, this, &RtcWindow::onCmdExitClick);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(timer1Interval);
    connect(timer1_, &QTimer::timeout, this, &RtcWindow::onTimer1Timer);
    timer1_->start();
}

RtcWindow::~RtcWindow()
{
    state_.meterInUse = false;
}

void RtcWindow::onTimer1Timer()
{
    if (pcShown_)
        lblPCTime_->setText(QString::fromStdString(meterClockText(clockRecordFor(now_()))));
    else
        lblPCTime_->setText(pcCaption);

    if (!meterShown_) {
        lblMeterTime_->setText(meterCaption);
        return;
    }
    MeterWorker* worker = context_.worker();
    if (reading_ || !worker)
        return;
    reading_ = true;
    worker->post<ClockRecord>(
        this, [](MeterLink& link) { return link.readClock(); },
        [this](const Result<ClockRecord>& r) {
            reading_ = false;
            if (!meterShown_)
                return;
            if (r) {
                lblMeterTime_->setText(QString::fromStdString(meterClockText(*r)));
                return;
            }
            // Ten tries went unanswered: stop asking. The lost-link handling
            // runs on its own; a click asks again.
            meterShown_ = false;
            lblMeterTime_->setText(meterCaption);
            lblNote_->setText(
                tr("The meter did not answer; its time is not shown. Click \"Meter Time\" to try again."));
            lblNote_->setVisible(true);
        });
}

void RtcWindow::onLblMeterTimeClick()
{
    meterShown_ = !meterShown_;
    lblNote_->setVisible(false);
    if (!meterShown_)
        lblMeterTime_->setText(meterCaption);
}

void RtcWindow::onLblPCTimeClick()
{
    pcShown_ = !pcShown_;
    if (!pcShown_)
        lblPCTime_->setText(pcCaption);
}

void RtcWindow::onCmdSetTimeClick()
{
    MeterWorker* worker = context_.worker();
    if (!worker)
        return;
    timer1_->stop();
    cmdSetTime_->setEnabled(false);
    const DateTime when = now_();
    // "L", then "D" read back: the meter's clock must be the time set.
    worker->post<WriteProof>(
        this, [when](MeterLink& link) { return writeProof(setClockChecked(link, when)); },
        [this](const Result<WriteProof>& r) {
            cmdSetTime_->setEnabled(true);
            timer1_->start();
            if (r && r->empty())
                return;
            if (context_.dialogs().message)
                context_.dialogs().message(
                    this, r ? q(proofSentence(*r)) : tr("The meter clock was not set: %1").arg(q(r.error().message)),
                    false);
        });
}

void RtcWindow::done(int result)
{
    timer1_->stop();
    state_.meterInUse = false;
    QDialog::done(result);
}

void RtcWindow::closeEvent(QCloseEvent* event)
{
    timer1_->stop();
    state_.meterInUse = false;
    QDialog::closeEvent(event);
}

void RtcWindow::onCmdExitClick()
{
    timer1_->stop();
    close();
}

} // namespace km740
