// SPDX-License-Identifier: GPL-3.0-or-later
// The "Exposure Summary" window over a full live recording part (345 600
// one-second records): the time from adding an exclusion to the new summary
// on show, and the longest single event the window thread handled
// meanwhile (the "longest_event_ms" counter, the event named in the label):
// the window must never freeze while the summary is worked out again. Once
// alone, once as a user has it: the file list, its Plot and the summary open
// on the file, sharing the spans left out, each added with a click.
#include "app/exposure/ExposureSummaryWindow.h"

#include "app/Keys.h"
#include "app/charts/PlotWindow.h"
#include "app/exposure/ExposureWindows.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/AppState.h"
#include "app/ui/WindowContext.h"
#include "core/common/Regional.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaEnum>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

using namespace km740;

namespace {

constexpr int kRecords = 345600;

// Times every event the application hands out; nested events count within
// the outer one, which is what the window thread is busy with.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        QElapsedTimer t;
        t.start();
        const QEvent::Type type = event->type();
        const QString name = receiver->metaObject()->className() + QStringLiteral(" ") + receiver->objectName();
        const bool handled = QApplication::notify(receiver, event);
        if (const qint64 took = t.nsecsElapsed(); took > longestNs) {
            longestNs = took;
            longest = name + QStringLiteral(" ") + QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
        }
        --depth_;
        return handled;
    }
    void restart()
    {
        longestNs = 0;
        longest.clear();
    }
    qint64 longestNs = 0;
    QString longest; // receiver and event type

private:
    int depth_ = 0;
};

TimingApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_exposure_window";
    static char* argv[] = {name, nullptr};
    static TimingApplication* a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new TimingApplication(argc, argv);
    }();
    return *a;
}

std::string benchFile()
{
    const auto path = std::filesystem::temp_directory_path() / "km740-exposure-window-345600.sonx";
    if (std::filesystem::exists(path))
        return path.string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "Real Time Data\r\n\r\n\r\n\r\nCalibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\n"
           "Threshold Level:80\r\nCriterion Level:90\r\nExchange Rate:5\r\nPeak Type:Lcpk\r\n"
           "Range:70-140\r\nCalibrated Time:2026/12/01 07:55:00\r\nNo.s\t      Date Time    \tdB\r\n";
    std::mt19937 rng(740);
    std::normal_distribution<double> step(0.0, 0.8);
    double level = 82.0;
    char line[96];
    for (int i = 0; i < kRecords; ++i) {
        level = std::clamp(level + step(rng), 55.0, 115.0);
        const int t = 8 * 3600 + i;
        std::snprintf(line, sizeof line, "%d\t2026/12/%02d %02d:%02d:%02d\t%.1f\t\r\n", i + 1, 1 + t / 86400,
                      t % 86400 / 3600, t / 60 % 60, t % 60, level);
        out << line;
    }
    return path.string();
}

bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

bool waitShown(ExposureSummaryWindow& w)
{
    QEventLoop loop;
    QObject::connect(&w, &ExposureSummaryWindow::summaryShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (w.isWorking())
        loop.exec();
    return !w.isWorking() && w.summary().has_value();
}

void BM_RecomputeAfterExclusion(benchmark::State& state)
{
    TimingApplication& a = app();
    ExposureRequest request;
    request.dataPath = QString::fromStdString(benchFile());
    ExposureDialogs dialogs;
    dialogs.message = [](QWidget*, const QString&, bool) {};
    std::filesystem::remove(request.dataPath.toStdString() + ".km740a");
    ExposureSummaryWindow w(request, dialogs, Regional::point());
    w.show();
    if (!waitShown(w)) {
        state.SkipWithError("no first summary");
        return;
    }
    double longestMs = 0.0;
    QString longest;
    int day = 1;
    for (auto _ : state) {
        // A lunch break of another day each time: the window works it out anew.
        w.txtFrom()->setDateTime(QDateTime(QDate(2026, 12, day), QTime(12, 0)));
        w.txtTo()->setDateTime(QDateTime(QDate(2026, 12, day), QTime(12, 45)));
        day = day % 4 + 1;
        a.restart();
        QElapsedTimer took;
        took.start();
        w.onCmdAddClick();
        const bool shown = waitShown(w);
        state.SetIterationTime(static_cast<double>(took.nsecsElapsed()) / 1e9);
        if (!shown) {
            state.SkipWithError("no summary after the exclusion");
            break;
        }
        if (const double ms = static_cast<double>(a.longestNs) / 1e6; ms > longestMs) {
            longestMs = ms;
            longest = a.longest;
        }
        w.gridExclusions()->setCurrentCell(0, 0);
        w.onCmdRemoveClick();
        waitShown(w);
    }
    state.counters["longest_event_ms"] = longestMs;
    state.SetLabel(longest.toStdString());
}
BENCHMARK(BM_RecomputeAfterExclusion)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_ExclusionWithTheListAndPlotOpen(benchmark::State& state)
{
    TimingApplication& a = app();
    const QString path = QString::fromStdString(benchFile());
    std::filesystem::remove(path.toStdString() + ".km740a");
    AppState appState;
    AppDialogs quiet;
    quiet.message = [](QWidget*, const QString&, bool) {};
    WindowContext context(appState, nullptr, quiet);
    Keys keys(context);
    ExposureDialogs dialogs;
    dialogs.message = [](QWidget*, const QString&, bool) {};
    keys.exposure().setDialogs(dialogs);
    if (!keys.files().open(path)) {
        state.SkipWithError("the file list did not open");
        return;
    }
    FileListWindow* list = keys.files().window(FileListKind::realTime);
    if (!list || !waitUntil([&] { return list->table() != nullptr; })) {
        state.SkipWithError("the file list read nothing");
        return;
    }
    list->onGridNClick(2);
    list->action(QStringLiteral("Exposure"))->trigger();
    ExposureSummaryWindow* w = keys.exposure().window(path);
    if (!w || !waitShown(*w)) {
        state.SkipWithError("no first summary");
        return;
    }
    auto* add = w->findChild<QPushButton*>(QStringLiteral("CmdAdd"));
    auto* remove = w->findChild<QPushButton*>(QStringLiteral("CmdRemove"));
    auto settled = [&] { return !w->isWorking() && !list->isApplyingAnalysis() && !keys.analyses().isSaving(); };
    // A click on a button, as the window thread gets it: in an event of its own.
    auto click = [](QPushButton* b) { QMetaObject::invokeMethod(b, &QPushButton::click, Qt::QueuedConnection); };
    double longestMs = 0.0;
    QString longest;
    int day = 1;
    for (auto _ : state) {
        w->txtFrom()->setDateTime(QDateTime(QDate(2026, 12, day), QTime(12, 0)));
        w->txtTo()->setDateTime(QDateTime(QDate(2026, 12, day), QTime(12, 45)));
        day = day % 4 + 1;
        a.restart();
        QElapsedTimer took;
        took.start();
        click(add);
        const bool done = waitUntil([&] { return w->gridExclusions()->rowCount() == 1 && settled(); });
        state.SetIterationTime(static_cast<double>(took.nsecsElapsed()) / 1e9);
        if (!done || !w->summary() || w->summary()->excluded != 2700) {
            state.SkipWithError("no summary after the exclusion");
            break;
        }
        if (const double ms = static_cast<double>(a.longestNs) / 1e6; ms > longestMs) {
            longestMs = ms;
            longest = a.longest;
        }
        w->gridExclusions()->setCurrentCell(0, 0);
        click(remove);
        waitUntil([&] { return w->gridExclusions()->rowCount() == 0 && settled(); });
    }
    state.counters["longest_event_ms"] = longestMs;
    state.SetLabel(longest.toStdString());
}
BENCHMARK(BM_ExclusionWithTheListAndPlotOpen)->Iterations(4)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
