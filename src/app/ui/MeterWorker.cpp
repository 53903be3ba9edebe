// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/MeterWorker.h"

#include "core/link/Clock.h"
#include "core/link/MeterLink.h"
#include "core/link/Transport.h"

#include <QDeadlineTimer>
#include <QMetaObject>

#include <vector>

namespace km740 {

namespace {

// A missing, short or late reply and a failed port are a lost link; a reply
// that came whole but says something impossible (data) is the job's own
// failure, and a cancelled job was meant to stop.
bool startsLostLink(FailureKind kind)
{
    return kind == FailureKind::io || kind == FailureKind::timeout || kind == FailureKind::protocol;
}

} // namespace

MeterWorker::MeterWorker(std::unique_ptr<Transport> transport, Clock& clock, QObject* parent)
    : QObject(parent), transport_(std::move(transport)), clock_(clock)
{
}

MeterWorker::~MeterWorker()
{
    stop();
}

void MeterWorker::start()
{
    if (thread_)
        return;
    thread_.reset(QThread::create([this] { threadMain(); }));
    thread_->setObjectName(QStringLiteral("km740-meter"));
    thread_->start();
}

bool MeterWorker::stop(int boundMs)
{
    if (!thread_)
        return true;
    cancel_.store(true);
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    wake_.notify_all();
    bool ended = thread_->wait(QDeadlineTimer(boundMs));
    if (!ended) {
        // A wait that ignores the cancel flag; the program is ending anyway.
        thread_->terminate();
        thread_->wait(QDeadlineTimer(1000));
    }
    thread_.reset();
    return ended;
}

bool MeterWorker::idle() const
{
    std::lock_guard lock(mutex_);
    return queue_.empty() && !running_;
}

void MeterWorker::deliver(const QPointer<QObject>& context, std::function<void()> fn)
{
    // Posted to the worker object, which lives on the window thread and
    // outlives the thread: the window may be gone by the time it runs, and
    // only the window thread may look.
    QMetaObject::invokeMethod(
        this,
        [ctx = context, f = std::move(fn)]() {
            if (ctx)
                f();
        },
        Qt::QueuedConnection);
}

bool MeterWorker::enqueue(Job job, bool dropWhenBusy)
{
    {
        std::lock_guard lock(mutex_);
        const bool unusable = lost_.load() || gone_.load() || cancel_.load() || !thread_;
        if (dropWhenBusy && (unusable || running_ || !queue_.empty()))
            return false;
        if (!unusable) {
            queue_.push_back(std::move(job));
            wake_.notify_one();
            return true;
        }
    }
    // No link to run it on: the job's window hears so at once.
    job.abandon();
    return false;
}

void MeterWorker::threadMain()
{
    const Status opened = transport_->open();
    if (!opened) {
        gone_.store(true);
        transport_->close();
        emit deviceGone(QString::fromStdString(opened.error().message));
        return;
    }
    link_ = std::make_unique<MeterLink>(*transport_, clock_);
    link_->setStopFlag(&cancel_);
    emit portOpened();

    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return cancel_.load() || !queue_.empty(); });
            if (cancel_.load())
                break;
            job = std::move(queue_.front());
            queue_.pop_front();
            running_ = true;
        }
        const Status s = job.run(*link_);
        ++jobsRun_;
        {
            std::lock_guard lock(mutex_);
            running_ = false;
        }
        if (!s && startsLostLink(s.error().kind) && !cancel_.load())
            recover();
        if (gone_.load())
            break;
    }
    link_.reset();
    // The port object was made on this thread; it ends here too.
    transport_->close();
    transport_.reset();
}

void MeterWorker::recover()
{
    std::vector<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        lost_.store(true);
        dropped.assign(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.end()));
        queue_.clear();
    }
    for (Job& j : dropped)
        j.abandon();
    emit linkLost();

    // The signals are emitted here from the outcome, so the events are not needed.
    LinkEvents quiet;
    const Status s = link_->waitForMeter(quiet, &cancel_);
    if (s) {
        lost_.store(false);
        emit linkRestored();
        return;
    }
    if (s.error().kind == FailureKind::cancelled)
        return;
    gone_.store(true);
    emit deviceGone(QString::fromStdString(s.error().message));
}

} // namespace km740
