// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WaitFor.h"
#include "support/WorkerBench.h"

#include "core/link/MeterLink.h"
#include "app/ui/MeterWorker.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

using namespace km740;
using namespace km740::test;

namespace {

struct WorkerFixture : WorkerBench {
    QObject window; // stands for the window the results go to

    WorkerFixture() : WorkerBench(20.0) {}
    bool poll(std::function<void(const Result<LivePoll>&)> done)
    {
        return worker->tryPoll<LivePoll>(
            &window, [](MeterLink& link) { return link.livePoll(Regional::point()); }, std::move(done));
    }
};

} // namespace

TEST(MeterWorker, RunsOneJobAtATimeAndDropsPollsMeanwhile)
{
    WorkerFixture f;
    QSignalSpy opened(f.worker.get(), &MeterWorker::portOpened);
    f.worker->start();
    ASSERT_TRUE(waitFor([&] { return !opened.isEmpty(); }, 10000)); // the signal may come before any wait

    std::atomic<bool> inJob{false}, release{false};
    int done = 0;
    f.worker->post<Done>(
        &f.window,
        [&](MeterLink&) -> Status {
            inJob = true;
            while (!release)
                QThread::msleep(1);
            return success();
        },
        [&](const Status& s) {
            EXPECT_TRUE(s.ok());
            ++done;
        });
    ASSERT_TRUE(waitFor([&] { return inJob.load(); }, 10000));
    EXPECT_FALSE(f.worker->idle());
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) { ADD_FAILURE() << "a dropped poll ran"; }));
    release = true;
    ASSERT_TRUE(waitFor([&] { return done == 1; }, 10000));
    ASSERT_TRUE(waitFor([&] { return f.worker->idle(); }, 10000));

    // A poll on an idle worker runs, and its result arrives on this thread.
    bool got = false;
    ASSERT_TRUE(f.poll([&](const Result<LivePoll>& r) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ASSERT_TRUE(r.ok()) << r.error().message;
        EXPECT_FALSE(r->texts.level.empty());
        got = true;
    }));
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) {})) << "a second poll while one is queued";
    ASSERT_TRUE(waitFor([&] { return got; }, 10000));
    std::lock_guard lock(f.wire->mutex);
    ASSERT_GE(f.wire->sent.size(), 2u);
    EXPECT_EQ(f.wire->sent[0], 'F');
    EXPECT_EQ(f.wire->sent[1], 0x60);
}

TEST(MeterWorker, VanishedPortIsDeviceGone)
{
    WorkerFixture f;
    QSignalSpy gone(f.worker.get(), &MeterWorker::deviceGone);
    f.worker->start();
    ASSERT_TRUE(waitFor([&] { return f.worker->idle(); }, 10000));
    f.meter->with([](VirtualMeter& m) { m.setVanished(true); });
    EXPECT_TRUE(f.poll([](const Result<LivePoll>&) {}));
    ASSERT_TRUE(waitFor([&] { return !gone.isEmpty(); }, 10000)); // the signal may come before any wait
    EXPECT_TRUE(f.worker->deviceGoneNow());
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) {}));
}

TEST(MeterWorker, StopsEvenWhileWaitingForASilentMeter)
{
    WorkerFixture f;
    QSignalSpy lost(f.worker.get(), &MeterWorker::linkLost);
    f.worker->start();
    ASSERT_TRUE(waitFor([&] { return f.worker->idle(); }, 5000));
    f.meter->with([](VirtualMeter& vm) { vm.setSilentAfter(vm.commandsTaken()); });
    f.poll([](const Result<LivePoll>&) {});
    ASSERT_TRUE(waitFor([&] { return !lost.isEmpty(); }, 10000)); // the signal may come before any wait

    // While lost, an action is handed back at once as cancelled.
    bool abandoned = false;
    f.worker->post<int>(
        &f.window, [](MeterLink& link) { return link.readPresetIndex(); },
        [&](const Result<int>& r) { abandoned = !r.ok() && r.error().kind == FailureKind::cancelled; });
    ASSERT_TRUE(waitFor([&] { return abandoned; }, 5000));

    // The lost-link loop never ends by itself here: stop() must cancel it
    // (false would mean the thread had to be terminated).
    EXPECT_TRUE(f.worker->stop(10000));
}

TEST(MeterWorker, WholeButBadlyFramedStatusFramesLeaveTheLinkUp)
{
    WorkerFixture f;
    QSignalSpy lost(f.worker.get(), &MeterWorker::linkLost);
    f.worker->start();
    ASSERT_TRUE(waitFor([&] { return f.worker->idle(); }, 5000));
    f.meter->with([](VirtualMeter& vm) { vm.corruptNextStatusFrames(4); });
    Result<LivePoll> first = failure(FailureKind::io, "not run");
    bool done = false;
    ASSERT_TRUE(f.poll([&](const Result<LivePoll>& r) {
        first = r;
        done = true;
    }));
    ASSERT_TRUE(waitFor([&] { return done; }, 5000));
    ASSERT_FALSE(first.ok());
    EXPECT_EQ(first.error().kind, FailureKind::data);
    ASSERT_TRUE(waitFor([&] { return f.worker->idle(); }, 5000));
    EXPECT_FALSE(f.worker->linkLostNow());

    // The next tick polls again and gets a frame.
    done = false;
    ASSERT_TRUE(f.poll([&](const Result<LivePoll>& r) {
        EXPECT_TRUE(r.ok()) << r.error().message;
        done = true;
    }));
    ASSERT_TRUE(waitFor([&] { return done; }, 5000));
    EXPECT_EQ(lost.count(), 0);
}
