// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace km740 {

// Calls from any thread to a receiver on its own thread, by queued call. A
// call that arrives after the receiver is gone is dropped. Made on the
// receiver's thread; copies share one relay object, which is deleted behind
// the last call once the last copy is gone.
template <typename Receiver>
class QueuedCalls {
public:
    explicit QueuedCalls(Receiver* receiver)
        : relay_(new QObject, deleteBehindCalls), receiver_(std::make_shared<const QPointer<Receiver>>(receiver))
    {
    }

    // fn(receiver) runs on the receiver's thread, if the receiver still exists.
    template <typename Fn>
    void post(Fn fn) const
    {
        QMetaObject::invokeMethod(
            relay_.get(),
            [receiver = receiver_, fn = std::move(fn)]() mutable {
                if (*receiver)
                    fn(**receiver);
            },
            Qt::QueuedConnection);
    }

    // A progress report callable from any thread: show(receiver, n) gets the
    // latest n, with at most one call on its way, so a fast loop cannot flood
    // the receiver's thread.
    template <typename Show>
    std::function<void(std::int64_t)> progress(Show show) const
    {
        struct Latest {
            std::atomic<std::int64_t> value{0};
            std::atomic<bool> onItsWay{false};
        };
        auto latest = std::make_shared<Latest>();
        return [calls = *this, latest, show](std::int64_t n) {
            latest->value.store(n);
            if (latest->onItsWay.exchange(true))
                return;
            calls.post([latest, show](Receiver& r) {
                // Cleared before reading, so a later value is either read
                // here or sent in a call of its own.
                latest->onItsWay.store(false);
                show(r, latest->value.load());
            });
        };
    }

private:
    static void deleteBehindCalls(QObject* relay)
    {
        QMetaObject::invokeMethod(
            relay, [relay] { delete relay; }, Qt::QueuedConnection);
    }

    std::shared_ptr<QObject> relay_;
    std::shared_ptr<const QPointer<Receiver>> receiver_;
};

// The threads the program's background jobs run on. Not Qt's global pool:
// Qt draws large images with that one and waits for it on the window
// thread, which must never queue behind a summary of a four-day file. Jobs
// still running when the program ends are finished before it exits.
QThreadPool& backgroundPool();

// Work off the window thread: each start() runs a job on a pool thread and
// hands its progress and its result back to the receiver by queued call,
// never after the receiver is gone. A window keeps one as a member: when the
// window goes, the task raises the jobs' cancel flag and nothing more comes.
class BackgroundTask {
public:
    // What a job sees: where to report progress and whether to stop.
    struct Job {
        std::function<void(std::int64_t)> progress;
        const std::atomic<bool>* cancel = nullptr;
        bool cancelled() const { return cancel->load(); }
    };

    BackgroundTask() = default;
    ~BackgroundTask() { cancel(); }
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // work(const Job&) runs on a pool thread and returns the result;
    // showProgress(receiver, n) and done(receiver, result) run on the
    // receiver's thread.
    template <typename Receiver, typename Work, typename ShowProgress, typename Done>
    void start(Receiver* receiver, Work work, ShowProgress showProgress, Done done)
    {
        const QueuedCalls<Receiver> calls(receiver);
        Job job{calls.progress(std::move(showProgress)), cancel_.get()};
        auto running = running_;
        ++*running;
        backgroundPool().start([calls, job = std::move(job), cancel = cancel_, running, work = std::move(work),
                                done = std::move(done)]() mutable {
            auto result = std::make_shared<decltype(work(job))>(work(job));
            calls.post([running, result, done = std::move(done)](Receiver& r) mutable {
                --*running;
                done(r, std::move(*result));
            });
        });
    }

    // Asks every job started so far to stop; their results still come.
    // Jobs started later run.
    void cancel()
    {
        cancel_->store(true);
        cancel_ = std::make_shared<std::atomic<bool>>(false);
    }
    // Jobs started whose result has not been handed back yet.
    int running() const { return *running_; }

private:
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<int> running_ = std::make_shared<int>(0); // touched on the window thread only
};

} // namespace km740
