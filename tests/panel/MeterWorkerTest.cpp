// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TappedMeter.h"

#include "link/MeterLink.h"
#include "panel/MeterWorker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

using namespace km740;
using namespace km740::test;

namespace {

struct WorkerFixture {
    FastClock clock{20.0};
    std::shared_ptr<Wire> wire = std::make_shared<Wire>();
    TappedMeter* meter = nullptr;
    std::unique_ptr<MeterWorker> worker;
    QObject window; // stands for the window the results go to

    WorkerFixture()
    {
        auto m = std::make_unique<TappedMeter>(clock, wire);
        meter = m.get();
        worker = std::make_unique<MeterWorker>(std::move(m), clock);
    }
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
    ASSERT_TRUE(opened.wait(2000));

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
    QTRY_VERIFY_WITH_TIMEOUT(inJob.load(), 2000);
    EXPECT_FALSE(f.worker->idle());
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) { ADD_FAILURE() << "a dropped poll ran"; }));
    release = true;
    QTRY_COMPARE_WITH_TIMEOUT(done, 1, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(f.worker->idle(), 2000);

    // A poll on an idle worker runs, and its result arrives on this thread.
    bool got = false;
    ASSERT_TRUE(f.poll([&](const Result<LivePoll>& r) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ASSERT_TRUE(r.ok()) << r.error().message;
        EXPECT_FALSE(r->texts.level.empty());
        got = true;
    }));
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) {})) << "a second poll while one is queued";
    QTRY_VERIFY_WITH_TIMEOUT(got, 3000);
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
    QTRY_VERIFY_WITH_TIMEOUT(f.worker->idle(), 1000);
    f.meter->with([](VirtualMeter& m) { m.setVanished(true); });
    EXPECT_TRUE(f.poll([](const Result<LivePoll>&) {}));
    ASSERT_TRUE(gone.wait(5000));
    EXPECT_TRUE(f.worker->deviceGoneNow());
    EXPECT_FALSE(f.poll([](const Result<LivePoll>&) {}));
}

TEST(MeterWorker, StopsPromptlyEvenWhileWaitingForASilentMeter)
{
    FastClock clock(1.0); // real time: the lost-link loop really waits
    auto wire = std::make_shared<Wire>();
    auto m = std::make_unique<TappedMeter>(clock, wire);
    TappedMeter* meter = m.get();
    MeterWorker worker(std::move(m), clock);
    QObject window;
    QSignalSpy lost(&worker, &MeterWorker::linkLost);
    worker.start();
    QTRY_VERIFY_WITH_TIMEOUT(worker.idle(), 1000);
    meter->with([](VirtualMeter& vm) { vm.setSilentAfter(vm.commandsTaken()); });
    worker.tryPoll<LivePoll>(
        &window, [](MeterLink& link) { return link.livePoll(Regional::point()); },
        [](const Result<LivePoll>&) {});
    ASSERT_TRUE(lost.wait(5000));

    // While lost, an action is handed back at once as cancelled.
    bool abandoned = false;
    worker.post<int>(
        &window, [](MeterLink& link) { return link.readPresetIndex(); },
        [&](const Result<int>& r) { abandoned = !r.ok() && r.error().kind == FailureKind::cancelled; });
    QTRY_VERIFY_WITH_TIMEOUT(abandoned, 1000);

    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(worker.stop(3000));
    EXPECT_LT(t.elapsed(), 1000);
}
