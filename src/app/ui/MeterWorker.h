// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>

namespace km740 {

class Clock;
class MeterLink;
class Transport;

// Owns the port and the MeterLink on a thread of its own and runs one job at a
// time, so no window ever waits on the meter. Windows post jobs (a function
// over MeterLink&) and get the result back on their own thread by a queued
// call. A job whose result is a failure of the link (missing, short or late
// reply: timeout, protocol; port error: io) puts the worker into the
// lost-link state: it emits linkLost(), polls the meter until it answers
// (linkRestored()) or the port vanishes (deviceGone()). Jobs queued at that
// moment are abandoned with a cancelled failure, so their windows restore
// themselves. A data failure (a whole reply with impossible content) is the
// job's own and leaves the link as it is.
class MeterWorker : public QObject {
    Q_OBJECT
public:
    // The transport is opened on the worker thread by start(). The clock must
    // outlive the worker.
    MeterWorker(std::unique_ptr<Transport> transport, Clock& clock, QObject* parent = nullptr);
    // Stops the thread: cancels the running job or recovery, bounded join.
    ~MeterWorker() override;

    // Starts the thread and opens the port there. Emits portOpened() or
    // deviceGone(reason).
    void start();
    // Cancels whatever runs and joins the thread within boundMs. Every wait
    // of the link checks the cancel flag, so it ends well inside the bound;
    // returns false if it did not.
    bool stop(int boundMs = 3000);

    // Queues an action. work runs on the worker thread; done runs on the
    // thread of context, unless context was destroyed meanwhile. A failure
    // of the link (io, timeout, protocol) starts the lost-link recovery after
    // done was queued.
    template <typename T, typename Work, typename Done>
    void post(QObject* context, Work&& work, Done&& done)
    {
        enqueue(makeJob<T>(context, std::forward<Work>(work), std::forward<Done>(done)), false);
    }

    // Like post, for the live poll: dropped (returns false) when a job is
    // queued or running, the link is lost or the device gone. That is the
    // poll timer being off while another exchange owns the meter.
    template <typename T, typename Work, typename Done>
    bool tryPoll(QObject* context, Work&& work, Done&& done)
    {
        return enqueue(makeJob<T>(context, std::forward<Work>(work), std::forward<Done>(done)), true);
    }

    // True when nothing is queued or running (window thread view).
    bool idle() const;
    bool linkLostNow() const { return lost_.load(); }
    bool deviceGoneNow() const { return gone_.load(); }
    // Jobs run so far (tests wait on it).
    long long jobsRun() const { return jobsRun_.load(); }

    Clock& clock() const { return clock_; }
    // Set when the program ends; long jobs (downloads) check it.
    const std::atomic<bool>& cancelFlag() const { return cancel_; }

signals:
    void portOpened();
    void linkLost();
    void linkRestored();
    void deviceGone(const QString& reason);

private:
    struct Job {
        std::function<Status(MeterLink&)> run;
        std::function<void()> abandon; // the job will not run: tell its window
    };

    template <typename T, typename Work, typename Done>
    Job makeJob(QObject* context, Work&& work, Done&& done)
    {
        QPointer<QObject> ctx(context);
        auto doneFn = std::make_shared<std::decay_t<Done>>(std::forward<Done>(done));
        Job job;
        job.run = [this, ctx, doneFn, w = std::forward<Work>(work)](MeterLink& link) mutable -> Status {
            Result<T> r = w(link);
            Status s = r.ok() ? success() : Status(r.error());
            deliver(ctx, [doneFn, r = std::move(r)]() { (*doneFn)(r); });
            return s;
        };
        job.abandon = [this, ctx, doneFn]() {
            deliver(ctx, [doneFn]() {
                (*doneFn)(Result<T>(failure(FailureKind::cancelled, "the link to the meter was lost")));
            });
        };
        return job;
    }

    // Queues fn to the window thread; it runs there if context still lives.
    void deliver(const QPointer<QObject>& context, std::function<void()> fn);

    bool enqueue(Job job, bool dropWhenBusy);
    void threadMain();
    void recover();

    std::unique_ptr<Transport> transport_;
    Clock& clock_;
    std::unique_ptr<MeterLink> link_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool running_ = false; // a job runs (under mutex_)
    std::unique_ptr<QThread> thread_;

    std::atomic<bool> cancel_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> gone_{false};
    std::atomic<long long> jobsRun_{0};
};

} // namespace km740
