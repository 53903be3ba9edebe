// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/ListWindow.h"
#include "support/SampleHeader.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace km740;
using km740::test::readLines;
using km740::test::waitFor;
namespace fs = std::filesystem;

namespace {

struct ListFixture {
    test::TempFolder dir;
    AppState state;
    RealTimeRecorder recorder;
    double clock = 100.0;
    int second = 0;

    explicit ListFixture(long long perPart = RealTimeRecorder::kRecordsPerPart) : recorder(perPart)
    {
        state.recording.peakTypeText = "Lcpk";
        state.live.valid = true;
    }

    // The list's files take the peak type from the state, not the header.
    static RecordingHeader header()
    {
        RecordingHeader h = test::sampleHeader();
        h.peakType = "ignored";
        return h;
    }

    ListWindow* open()
    {
        auto* w = new ListWindow(state, recorder, {}, &ListFixture::header);
        w->setDocumentsFolder(QString::fromStdString(dir.path().string()));
        return w;
    }

    // One sampling tick with a level just polled.
    SampleOutcome tick(ListWindow* w, double level = 80.5)
    {
        clock += 1.0;
        state.live.polledAt = clock - 0.3;
        state.live.level.value = level;
        state.live.level.text = formatFixed(level, 1, Regional::point());
        LocalDateTime t{2024, 1, 5, 9, 3 + second / 60, second % 60};
        ++second;
        SampleOutcome out =
            recorder.sampleTick(state.recording, state.linkNow(), t, clock, Regional::point(), &ListFixture::header);
        w->showSample(out);
        return out;
    }
};

std::vector<fs::path> sonxFiles(const fs::path& dir)
{
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".sonx")
            out.push_back(e.path());
    return out;
}

} // namespace

TEST(ListWindow, ShowsColumnsAndScrollsFromThe22ndRecord)
{
    ListFixture f;
    ListWindow* w = f.open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->windowTitle(), "Real Time List");
    EXPECT_TRUE(f.state.recording.listMode);
    QAbstractItemModel* m = w->grid()->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "No.s");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "     Date Time    ");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "dB");

    for (int i = 1; i <= 21; ++i)
        f.tick(w, 70.0 + i);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->grid()->rowAt(0), 0);
    EXPECT_EQ(m->data(m->index(20, 0)).toString(), "21");
    EXPECT_EQ(m->data(m->index(20, 1)).toString(), "2024/01/05 09:03:20");
    EXPECT_EQ(m->data(m->index(20, 2)).toString(), "91.0");

    f.tick(w);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->grid()->rowAt(0), 1);
    f.tick(w);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->grid()->rowAt(0), 2);
    EXPECT_EQ(f.state.recording.maxLevelList, "91.0");

    // A stale level adds a "-" row and says why; the next reading clears it.
    f.clock += 5.0;
    SampleOutcome stale = f.recorder.sampleTick(f.state.recording, f.state.linkNow(), LocalDateTime{}, f.clock,
                                                Regional::point(), &ListFixture::header);
    w->showSample(stale);
    EXPECT_EQ(m->rowCount(), 24);
    EXPECT_NE(w->statusText().indexOf("Waiting for the meter"), -1);
    f.tick(w);
    EXPECT_EQ(m->rowCount(), 25);
    EXPECT_EQ(w->statusText().indexOf("Waiting"), -1);

    // Another action takes the meter: the list ends and the window closes.
    QSignalSpy closed(w, &ListWindow::closed);
    f.state.meterInUse = true;
    f.tick(w);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(f.state.recording.listMode);
    EXPECT_EQ(f.state.recording.listRecordCount, 0);
}

TEST(ListWindow, SavesAFullPartAutomaticallyIntoTheDocumentsFolder)
{
    ListFixture f(5);
    ListWindow* w = f.open();
    EXPECT_NE(w->statusText().indexOf(QString::fromStdString(f.dir.path().string())), -1);
    QSignalSpy saved(w, &ListWindow::saveFinished);
    for (int i = 0; i < 5; ++i)
        f.tick(w, 60.0 + i);
    EXPECT_EQ(w->grid()->model()->rowCount(), 0);
    EXPECT_EQ(f.state.recording.listSavePart, 1);
    f.tick(w, 99.9); // record 6 goes into the new list
    ASSERT_TRUE(waitFor([&] { return saved.count() == 1; }, 10000));
    EXPECT_TRUE(saved.at(0).at(0).toBool());
    EXPECT_EQ(w->windowTitle(), "Real Time List");

    auto files = sonxFiles(f.dir.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().size(), 15u); // mmddhhnnss.sonx
    auto got = readLines(files[0]);
    ASSERT_EQ(got.size(), 19u);
    EXPECT_EQ(got[0], "Real Time List");
    EXPECT_EQ(got[5], "Time Weight:Slow");
    EXPECT_EQ(got[10], "Peak Type:Lcpk");
    EXPECT_EQ(got[11], "Range:70-140");
    EXPECT_EQ(got[13], "No.s\t     Date Time    \tdB\t");
    EXPECT_EQ(got[14], "1\t2024/01/05 09:03:00\t60.0\t");
    EXPECT_EQ(got[18], "5\t2024/01/05 09:03:04\t64.0\t");
    ASSERT_EQ(w->grid()->model()->rowCount(), 1);
    EXPECT_EQ(w->grid()->model()->data(w->grid()->model()->index(0, 0)).toString(), "6");

    // The last recording or list save folder wins over the documents folder.
    fs::create_directories(f.dir / "site.2024");
    f.state.recording.lastSaveFolder = (f.dir / "site.2024").string();
    EXPECT_EQ(w->autoSaveFolder(), QString::fromStdString((f.dir / "site.2024").string()));
    w->close();
}

TEST(ListWindow, FailedAutomaticSaveKeepsTheRowsAndCancelChangesNothing)
{
    ListFixture f(3);
    ListWindow* w = f.open();
    {
        std::ofstream(f.dir / "not-a-folder") << "x";
    }
    w->setDocumentsFolder(QString::fromStdString((f.dir / "not-a-folder").string()));
    QSignalSpy saved(w, &ListWindow::saveFinished);
    for (int i = 0; i < 3; ++i)
        f.tick(w);
    f.tick(w);
    ASSERT_TRUE(waitFor([&] { return saved.count() == 1; }, 10000));
    EXPECT_FALSE(saved.at(0).at(0).toBool());
    QAbstractItemModel* m = w->grid()->model();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->data(m->index(0, 0)).toString(), "1");
    EXPECT_EQ(m->data(m->index(3, 0)).toString(), "4");
    EXPECT_NE(w->statusText().indexOf("kept"), -1);

    // A cancelled save dialog: no file, no caption change, nothing asked of the meter.
    bool asked = false;
    w->setFileChooser([&](QWidget*, const QString&) {
        asked = true;
        return QString();
    });
    f.state.recording.fileRecording = true;
    w->onSaveClicked();
    EXPECT_TRUE(asked);
    EXPECT_EQ(w->windowTitle(), "Real Time List");
    EXPECT_TRUE(f.state.recording.fileRecording);
    EXPECT_TRUE(sonxFiles(f.dir.path()).empty());
    w->close();
}

TEST(ListWindow, SaveTakesThePeakTypeFromThePresetAndLeavesTheRecordingRunning)
{
    ListFixture f;
    const fs::path target = f.dir / "list.sonx";
    int asked = 0;
    int preset = 3;
    PresetReply reply;
    // User2 (preset 9): settings byte with the C-peak bit set.
    std::vector<std::uint8_t> bytes(36, 0);
    bytes[4] = 0x10;
    reply.table = *decodeUserPresetTable(bytes);
    auto* w = new ListWindow(
        f.state, f.recorder,
        [&](QObject*, std::function<void(const Result<PresetReply>&)> done) {
            ++asked;
            PresetReply r = reply;
            r.presetIndex = preset;
            done(r);
        },
        &ListFixture::header);
    w->setFileChooser([&](QWidget*, const QString&) { return QString::fromStdString(target.string()); });
    for (int i = 0; i < 3; ++i)
        f.tick(w, 70.0 + i);
    f.state.recording.fileRecording = true; // a recording runs meanwhile
    QSignalSpy saved(w, &ListWindow::saveFinished);

    w->onSaveClicked();
    ASSERT_TRUE(waitFor([&] { return saved.count() == 1; }, 10000));
    EXPECT_TRUE(saved.at(0).at(0).toBool());
    EXPECT_TRUE(f.state.recording.fileRecording);
    EXPECT_EQ(f.state.recording.lastSaveFolder, f.dir.path().string());
    auto got = readLines(target);
    ASSERT_EQ(got.size(), 17u);
    EXPECT_EQ(got[10], "Peak Type:Llpk");
    EXPECT_EQ(got[16], "3\t2024/01/05 09:03:02\t72.0\t");

    preset = 9;
    w->onSaveClicked();
    ASSERT_TRUE(waitFor([&] { return saved.count() == 2; }, 10000));
    EXPECT_EQ(readLines(target)[10], "Peak Type:Lcpk");
    EXPECT_EQ(asked, 2);

    // No answer from the meter: no file.
    auto silent = new ListWindow(
        f.state, f.recorder,
        [](QObject*, std::function<void(const Result<PresetReply>&)> done) {
            done(failure(FailureKind::timeout, "no reply to C"));
        },
        &ListFixture::header);
    silent->setFileChooser(
        [&](QWidget*, const QString&) { return QString::fromStdString((f.dir / "other.sonx").string()); });
    silent->onSaveClicked();
    EXPECT_FALSE(fs::exists(f.dir / "other.sonx"));
    silent->close();
    w->close();
}
