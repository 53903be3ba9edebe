// SPDX-License-Identifier: GPL-3.0-or-later
// The "Logger" key end to end: km740-sim with a full 192 KB logger on a pty,
// the panel and its meter worker on SerialTransport, the download into the
// Memory window. Reports the download rate against 19200 baud and the
// longest time the window thread went without serving its events.
#include "core/link/Clock.h"
#include "core/link/Line.h"
#include "platform/SerialTransport.h"
#include "app/logger/LoggerWindows.h"
#include "app/logger/MemoryWindow.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/Keys.h"
#include "app/panel/PanelWindow.h"
#include "app/ui/WindowContext.h"
#include "core/recording/RealTimeRecorder.h"

#include "support/SimProcess.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace km740;

namespace {

// Times every event the window thread handles, outermost only: the longest
// is the longest the thread was kept from its other events.
class TimedApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0 || !timing) {
            const bool r = QApplication::notify(receiver, event);
            --depth_;
            return r;
        }
        QElapsedTimer t;
        t.start();
        const bool r = QApplication::notify(receiver, event);
        longestMs = std::max(longestMs, t.nsecsElapsed() / 1e6);
        --depth_;
        return r;
    }

    bool timing = false;
    double longestMs = 0;

private:
    int depth_ = 0;
};

TimedApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_logger_window";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: it would outlive the globals Qt tears down at exit.
    static TimedApplication* a = new TimedApplication(argc, argv);
    return *a;
}

#ifdef KM740_SIM_PATH
void BM_LoggerKeyDownloadFromSim(benchmark::State& state)
{
    TimedApplication& a = app();
    for (auto _ : state) {
        test::SimProcess sim(KM740_SIM_PATH, {"--fill-kb", "192"});
        if (sim.device().empty()) {
            state.SkipWithError("km740-sim did not start");
            return;
        }
        SteadyClock clock;
        AppState appState;
        appState.portNumber = 1;
        RealTimeRecorder recorder;
        QStringList messages;
        AppDialogs dialogs;
        dialogs.message = [&](QWidget*, const QString& text, bool) { messages << text; };
        dialogs.locale = [] { return QLocale::c(); };
        MeterWorker worker(std::make_unique<SerialTransport>(sim.device()), clock);
        WindowContext context(appState, &worker, dialogs);
        Keys keys(context);
        PanelWindow panel(context, recorder, keys.handlers());
        worker.start();
        panel.show();

        // The window thread's pulse: the longest gap between 5 ms ticks (its
        // own work plus the waits a loaded machine adds); the application
        // times each event it handles (its own work only).
        QElapsedTimer pulse;
        qint64 longestGap = 0;
        bool probing = false;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (probing)
                longestGap = std::max(longestGap, pulse.restart());
        });
        probe.start();
        // Let the live poll settle, then press "Logger".
        QElapsedTimer wait;
        wait.start();
        while (!appState.live.valid && wait.elapsed() < 5000)
            a.processEvents(QEventLoop::WaitForMoreEvents);
        LoggerWindows* logger = &keys.logger();
        panel.onToolbarButtonClick(ToolKey::Logger);
        while (!logger->memory() && wait.elapsed() < 10000)
            a.processEvents(QEventLoop::WaitForMoreEvents);
        MemoryWindow* memory = logger->memory();
        if (!memory) {
            state.SkipWithError("Memory did not open");
            return;
        }
        QElapsedTimer download;
        download.start();
        pulse.start();
        probing = true;
        a.timing = true;
        a.longestMs = 0;
        while (memory->downloading() && download.elapsed() < 300000)
            a.processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = download.elapsed() / 1000.0;
        // The split and the directory come right after the last byte.
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < 300)
            a.processEvents(QEventLoop::WaitForMoreEvents);
        probing = false;
        a.timing = false;
        if (memory->downloading() || memory->image().downloadedSize() == 0) {
            state.SkipWithError(messages.isEmpty() ? "the download did not end"
                                                   : messages.front().toUtf8().constData());
            return;
        }
        const std::size_t bytes = memory->image().downloadedSize();
        state.SetIterationTime(seconds);
        state.counters["bytes"] = static_cast<double>(bytes);
        state.counters["sets"] = memory->gridSet()->model()->rowCount();
        state.counters["line_rate_percent"] = bytes / seconds / kLineBytesPerSecond * 100.0;
        state.counters["longest_tick_gap_ms"] = static_cast<double>(longestGap);
        state.counters["longest_window_event_ms"] = a.longestMs;
        memory->close();
        panel.close();
    }
}
BENCHMARK(BM_LoggerKeyDownloadFromSim)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
#endif

} // namespace
