// SPDX-License-Identifier: GPL-3.0-or-later
// What the window thread spends on the one-second sampling tick: the record
// written and flushed to the recording file, the row added to a full list and
// kept in view, and the copy a list Save takes before writing elsewhere.
#include "app/panel/ListWindow.h"
#include "app/ui/AppState.h"
#include "core/recording/RealTimeRecorder.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace km740;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_recording";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication a(argc, argv);
    return a;
}

void freshLevel(LiveReading& live, double now)
{
    live.valid = true;
    live.polledAt = now - 0.2;
    live.level.value = 81.3;
    live.level.text = "81.3";
}

void BM_SampleTickWithFileRecording(benchmark::State& st)
{
    const auto file = std::filesystem::temp_directory_path() / ("km740-bench-" + std::to_string(::getpid()) + ".sonx");
    AppState s;
    RealTimeRecorder rec;
    freshLevel(s.live, 1.0);
    if (!rec.startFileRecording(s.recording, s.live, file.string(), RecordingHeader{}, Regional::point())) {
        st.SkipWithError("cannot create the recording file");
        return;
    }
    const HeaderSource panel = [] { return RecordingHeader{}; };
    double now = 1.0;
    for (auto _ : st) {
        now += 1.0;
        freshLevel(s.live, now);
        benchmark::DoNotOptimize(
            rec.sampleTick(s.recording, s.linkNow(), LocalDateTime{}, now, Regional::point(), panel));
    }
    rec.stopFileRecording(s.recording);
    std::filesystem::remove(file);
}
BENCHMARK(BM_SampleTickWithFileRecording)->Unit(benchmark::kMicrosecond);

void BM_ListWindowRowAtFullList(benchmark::State& st)
{
    app();
    AppState s;
    RealTimeRecorder rec;
    auto* w = new ListWindow(s, rec, {}, {});
    w->show();
    QCoreApplication::processEvents();
    const long long full = RealTimeRecorder::kRecordsPerPart - 2;
    for (long long i = 1; i <= full - 1000; ++i)
        rec.list().append(i, "2026/12/06 22:30:00", "80.0");
    s.recording.listRecordCount = full - 1000;
    const HeaderSource panel = [] { return RecordingHeader{}; };
    double now = 1.0;
    for (auto _ : st) {
        // Stay below the automatic save.
        if (s.recording.listRecordCount >= full) {
            st.PauseTiming();
            rec.list().clear();
            for (long long i = 1; i <= full - 1000; ++i)
                rec.list().append(i, "2026/12/06 22:30:00", "80.0");
            s.recording.listRecordCount = full - 1000;
            w->showSample(SampleOutcome{});
            st.ResumeTiming();
        }
        now += 1.0;
        freshLevel(s.live, now);
        w->showSample(rec.sampleTick(s.recording, s.linkNow(), LocalDateTime{}, now, Regional::point(), panel));
        QCoreApplication::processEvents();
    }
    delete w;
}
BENCHMARK(BM_ListWindowRowAtFullList)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_ListSnapshotForSave(benchmark::State& st)
{
    RealTimeList list;
    for (long long i = 1; i <= RealTimeRecorder::kRecordsPerPart; ++i)
        list.append(i, "2026/12/06 22:30:00", "80.0");
    for (auto _ : st)
        benchmark::DoNotOptimize(list.copy());
}
BENCHMARK(BM_ListSnapshotForSave)->Unit(benchmark::kMillisecond);

} // namespace
