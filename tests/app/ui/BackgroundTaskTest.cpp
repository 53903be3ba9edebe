// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/BackgroundTask.h"

#include "support/WaitFor.h"

#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace km740;
using namespace km740::test;

namespace {

struct Receiver : QWidget {
    std::vector<std::int64_t> progress;
    std::vector<QThread*> threads; // where each call ran
    int result = -1;
};

} // namespace

TEST(BackgroundTask, ProgressAndResultComeBackOnTheWindowThreadAndTheLastCountIsShown)
{
    Receiver r;
    BackgroundTask task;
    std::atomic<QThread*> workThread{nullptr};
    task.start(
        &r,
        [&](const BackgroundTask::Job& job) {
            workThread = QThread::currentThread();
            for (std::int64_t n = 1; n <= 100000; ++n)
                job.progress(n);
            return 42;
        },
        [](Receiver& w, std::int64_t n) {
            w.progress.push_back(n);
            w.threads.push_back(QThread::currentThread());
        },
        [](Receiver& w, int result) {
            w.result = result;
            w.threads.push_back(QThread::currentThread());
        });
    EXPECT_EQ(task.running(), 1);
    ASSERT_TRUE(waitFor([&] { return r.result == 42; }, 10000));
    EXPECT_EQ(task.running(), 0);
    EXPECT_NE(workThread.load(), QThread::currentThread());
    for (QThread* t : r.threads)
        EXPECT_EQ(t, QThread::currentThread());
    // Coalesced, never out of order, and the last count is shown before the result.
    ASSERT_FALSE(r.progress.empty());
    EXPECT_LT(r.progress.size(), 100000u);
    EXPECT_TRUE(std::is_sorted(r.progress.begin(), r.progress.end()));
    EXPECT_EQ(r.progress.back(), 100000);
}

TEST(BackgroundTask, AWindowThatGoesFirstStopsTheJobAndGetsNothing)
{
    std::atomic<bool> started{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<bool> ended{false};
    int calls = 0;
    {
        Receiver r;
        auto task = std::make_unique<BackgroundTask>();
        task->start(
            &r,
            [&](const BackgroundTask::Job& job) {
                started = true;
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!job.cancelled() && std::chrono::steady_clock::now() < until) {
                    job.progress(1);
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                sawCancel = job.cancelled();
                ended = true;
                return 1;
            },
            [&](Receiver&, std::int64_t) { ++calls; }, [&](Receiver&, int) { ++calls; });
        ASSERT_TRUE(waitFor([&] { return started.load(); }, 10000));
        task.reset(); // the window's member goes before the window
    }
    ASSERT_TRUE(waitFor([&] { return ended.load(); }, 10000));
    EXPECT_TRUE(sawCancel);
    const int before = calls;
    waitFor([] { return false; }, 100); // what was queued is dropped
    EXPECT_EQ(calls, before);
}

// Qt draws large images on its global pool and waits for it on the window
// thread: jobs filling every thread of ours must leave it free.
TEST(BackgroundTask, LongJobsLeaveQtsOwnPoolFree)
{
    Receiver r;
    BackgroundTask task;
    // Shared with the jobs, which may outlive a failed test.
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto busy = std::make_shared<std::atomic<int>>(0);
    const int jobs = std::max(backgroundPool().maxThreadCount(), QThreadPool::globalInstance()->maxThreadCount());
    for (int i = 0; i < jobs; ++i)
        task.start(
            &r,
            [release, busy](const BackgroundTask::Job&) {
                ++*busy;
                const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!*release && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return 0;
            },
            [](Receiver&, std::int64_t) {}, [](Receiver&, int) {});
    ASSERT_TRUE(waitFor([&] { return busy->load() == std::min(jobs, backgroundPool().maxThreadCount()); }, 10000));
    auto drawn = std::make_shared<std::atomic<bool>>(false);
    QThreadPool::globalInstance()->start([drawn] { *drawn = true; });
    EXPECT_TRUE(waitFor([&] { return drawn->load(); }, 2000));
    *release = true;
    ASSERT_TRUE(waitFor([&] { return task.running() == 0; }, 10000));
}
