// SPDX-License-Identifier: GPL-3.0-or-later
// "Open" of a four-day real-time recording (345 600 records) as the user
// sees it: read, derive, model ready and the first rows painted.
#include "core/files/DataFileWriter.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/ui/AppState.h"
#include "app/ui/WindowContext.h"

#include "support/SampleFiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace km740;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_filelist_open";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication a(argc, argv);
    return a;
}

void OpenFourDayRecording(benchmark::State& st)
{
    app();
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "km740-bench-open.sonx";
    if (!writeDataFile(path, test::sampleRealTime(345600, 997))) {
        st.SkipWithError("cannot write the sample file");
        return;
    }
    AppState state;
    AppDialogs dialogs;
    dialogs.message = [](QWidget*, const QString&, bool) {};
    WindowContext context(state, nullptr, dialogs); // no meter
    FileWindows windows(context);
    FileListDialogs quiet = FileListDialogs::desktop();
    quiet.message = [](QWidget*, const QString&, bool) {};
    windows.setDialogs(quiet);

    for (auto _ : st) {
        const auto start = std::chrono::steady_clock::now();
        if (!windows.open(QString::fromStdString(path.string()))) {
            st.SkipWithError("the file did not open");
            break;
        }
        FileListWindow* w = windows.window(FileListKind::realTime);
        QElapsedTimer limit;
        limit.start();
        while (w && !w->table() && limit.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!w || !w->table()) {
            st.SkipWithError("the window did not fill");
            break;
        }
        w->gridN()->viewport()->grab(); // the first rows painted
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        st.SetIterationTime(took.count());
        w->close();
        QApplication::processEvents();
    }
    std::filesystem::remove(path);
}
BENCHMARK(OpenFourDayRecording)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
