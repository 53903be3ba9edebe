// SPDX-License-Identifier: GPL-3.0-or-later
// Measurements going into the archive from the windows: "File in archive"
// in the file list windows, and the automatic filing of every save.
#include "app/archive/FileInArchive.h"
#include "app/archive/MeasurementsWindow.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/DataListWindow.h"
#include "app/logger/LoggerWindows.h"
#include "app/logger/MemoryWindow.h"
#include "app/panel/ListWindow.h"
#include "app/panel/PanelToolbar.h"
#include "core/archive/Archive.h"
#include "core/files/DataFileWriter.h"

#include "support/ImageBuilder.h"
#include "support/PanelBench.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace km740 {
namespace {

std::vector<Measurement> filed(const std::filesystem::path& folder)
{
    auto archive = Archive::open(folder);
    EXPECT_TRUE(archive) << (archive ? "" : archive.error().message);
    if (!archive)
        return {};
    auto rows = archive->list();
    return rows ? *rows : std::vector<Measurement>{};
}

struct FilingBench {
    test::PanelBench bench{{.failOpen = true}};
    test::TempFolder dir;
    std::vector<MeasurementLabels> asked; // the labels the dialog was opened with
    std::optional<MeasurementLabels> answer;

    FilingBench()
    {
        bench.keys->fileInArchive().setAskLabels([this](QWidget*, const MeasurementLabels& labels) {
            asked.push_back(labels);
            return answer;
        });
    }

    ArchiveFiling& filing() { return bench.context->filing(); }
    bool idle()
    {
        return test::waitFor([&] { return filing().pending() == 0; }, 10000);
    }

    FileListWindow* open(const std::string& name, const DataFile& file, FileListKind kind)
    {
        EXPECT_TRUE(writeDataFile(dir / name, file));
        FileWindows& files = bench.keys->files();
        EXPECT_TRUE(files.open(QString::fromStdString((dir / name).string())));
        EXPECT_TRUE(test::waitFor([&] { return files.window(kind) && files.window(kind)->table(); }, 10000));
        return files.window(kind);
    }

    // "File in archive" pressed; the list window's message once filing ended.
    QString fileIn(FileListWindow* w)
    {
        QAction* key = w->action(QStringLiteral("FileInArchive"));
        EXPECT_TRUE(key && key->isEnabled());
        key->trigger();
        EXPECT_TRUE(idle());
        return w->lblMessage()->text();
    }
};

// The labels start from the header text loaded in "Name, Setor, Company",
// the user's edits are what is filed, and the same file twice is one
// measurement, told as such.
TEST(FileInArchive, FilesOnceWithTheEditedHeaderText)
{
    FilingBench f;
    f.bench.keys->logger().onAddTextKey();
    ASSERT_TRUE(f.bench.keys->logger().addText());
    f.bench.keys->logger().addText()->setText({"Ana Lima", "Press shop", "Acme"});

    FileListWindow* w = f.open("shift.sonx", test::sampleLevelLogger(40), FileListKind::level);
    ASSERT_TRUE(w);
    f.answer = MeasurementLabels{"Ana Lima", "Press shop 2", "Acme", "left ear"};
    EXPECT_EQ(f.fileIn(w), "Filed as measurement 1");
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], (MeasurementLabels{"Ana Lima", "Press shop", "Acme", ""}));

    EXPECT_EQ(f.fileIn(w), "Already in the archive as measurement 1");
    const auto rows = filed(f.bench.archive.path());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].labels, *f.answer);
    EXPECT_EQ(rows[0].fileName, "shift.sonx");
    EXPECT_EQ(rows[0].facts.kind, DataFileKind::levelLogger);
    EXPECT_TRUE(rows[0].facts.laeq.has_value());
}

// Cancelling files nothing; an archive that cannot be opened is told in the
// window, and the data file is left as it was.
TEST(FileInArchive, CancelAndFailureFileNothing)
{
    FilingBench f;
    FileListWindow* w = f.open("walk.sonx", test::sampleRealTime(120), FileListKind::realTime);
    ASSERT_TRUE(w);
    const std::string before = test::readBytes(f.dir / "walk.sonx");

    f.answer.reset();
    w->action(QStringLiteral("FileInArchive"))->trigger();
    ASSERT_TRUE(f.idle());
    ASSERT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(f.asked[0], MeasurementLabels{}); // no header text loaded
    EXPECT_TRUE(filed(f.bench.archive.path()).empty());

    // The archive's folder is taken by a plain file.
    const std::filesystem::path blocked = f.dir / "not-a-folder";
    {
        std::ofstream(blocked) << "x";
    }
    f.bench.context->setArchiveFolder(blocked);
    f.answer = MeasurementLabels{"Rui", "", "", ""};
    const QString told = f.fileIn(w);
    EXPECT_TRUE(told.startsWith("Not filed in the archive: ")) << told.toStdString();
    EXPECT_EQ(test::readBytes(f.dir / "walk.sonx"), before);
}

int countOf(const std::vector<Measurement>& rows, DataFileKind kind)
{
    return static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [&](const Measurement& m) { return m.facts.kind == kind; }));
}

// A logger set saved, a recording closed (each part of it) and a real-time
// list saved each file one measurement, under the loaded header text; with
// filing turned off in the Measurements window none is filed.
TEST(AutomaticFiling, EverySaveIsFiledAndNoneWhenTurnedOff)
{
    // Real time for the link, so the level is fresh; four samples a second,
    // two records a recording part.
    test::PanelBench b({.speed = 1.0, .recordsPerPart = 2, .sampleMs = 250});
    test::TempFolder dir;
    ArchiveFiling& filing = b.context->filing();
    QSignalSpy filings(&filing, &ArchiveFiling::filed);
    auto idle = [&] { return test::waitFor([&] { return filing.pending() == 0; }, 10000); };
    auto at = [&](const std::string& name) { return QString::fromStdString((dir / name).string()); };
    ASSERT_TRUE(test::waitFor([&] { return b.state.live.valid; }, 10000));
    b.keys->logger().onAddTextKey();
    b.keys->logger().addText()->setText({"Ana Lima", "Press shop", "Acme"});

    // A logger set from a saved image, saved from its list.
    test::ImageBuilder img;
    img.set().dose("1").dose("9").dose("12");
    const std::vector<std::uint8_t> image = img.bytes();
    {
        std::ofstream(dir / "logger.km740img", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }
    ASSERT_TRUE(b.keys->logger().openImageFile(at("logger.km740img")));
    MemoryWindow* memory = b.keys->logger().memory();
    ASSERT_TRUE(memory);
    QTableView* sets = memory->gridSet();
    QTest::mouseClick(sets->viewport(), Qt::LeftButton, {}, sets->visualRect(sets->model()->index(0, 0)).center());
    DataListWindow* dl = b.keys->logger().dataList();
    ASSERT_TRUE(dl);
    auto saveSet = [&](const std::string& name) {
        b.saveAnswer = at(name);
        QSignalSpy saved(dl, &LoggerListWindow::saveFinished);
        dl->onSaveClicked();
        ASSERT_TRUE(saved.wait(10000));
        ASSERT_TRUE(idle());
    };
    saveSet("set.sonx");
    ASSERT_EQ(filings.count(), 1);
    EXPECT_TRUE(dl->messageLine()->text().endsWith("Filed as measurement 1"))
        << dl->messageLine()->text().toStdString();

    // A recording over three parts of two records at most.
    auto record = [&](const std::string& name) {
        b.saveAnswer = at(name);
        b.panel->onToolbarButtonClick(ToolKey::Save);
        EXPECT_TRUE(test::waitFor([&] { return b.state.recording.fileRecordCount >= 5; }, 15000));
        const long long records = b.state.recording.fileRecordCount;
        b.panel->onToolbarButtonClick(ToolKey::Save);
        EXPECT_FALSE(b.state.recording.fileRecording);
        EXPECT_TRUE(idle());
        return records;
    };
    const long long records = record("rt.sonx");
    const int parts = static_cast<int>((records + 1) / 2); // a part begun at the end holds none
    ASSERT_EQ(filings.count(), 1 + parts);

    // The real-time list, saved on its own every two records here.
    auto listSaves = [&] {
        b.panel->onToolbarButtonClick(ToolKey::List);
        ListWindow* list = b.panel->listWindow();
        EXPECT_TRUE(list);
        if (!list)
            return QString();
        EXPECT_TRUE(
            test::waitFor([&] { return b.state.recording.listSavePart >= 2 && list->savesRunning() == 0; }, 10000));
        EXPECT_TRUE(idle());
        const QString text = list->messageLine()->text();
        list->close();
        EXPECT_TRUE(idle());
        return text;
    };
    const QString told = listSaves();
    EXPECT_TRUE(told.contains("Filed as measurement")) << told.toStdString();
    const int lists = static_cast<int>(filings.count()) - 1 - parts;
    ASSERT_GE(lists, 2);

    const auto rows = filed(b.archive.path());
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(1 + parts + lists));
    EXPECT_EQ(countOf(rows, DataFileKind::doseLogger), 1);
    EXPECT_EQ(countOf(rows, DataFileKind::realTimeData), parts);
    EXPECT_EQ(countOf(rows, DataFileKind::realTimeList), lists);
    for (const Measurement& m : rows)
        EXPECT_EQ(m.labels, (MeasurementLabels{"Ana Lima", "Press shop", "Acme", ""})) << m.fileName;
    EXPECT_EQ(rows[1].fileName, "rt.sonx");
    EXPECT_EQ(rows[2].fileName, "rt-1.sonx");
    EXPECT_TRUE(b.messages.isEmpty()) << b.messages.join('\n').toStdString();

    // Turned off: the saves go on, nothing is filed.
    MeasurementsWindow* window = b.keys->openMeasurements();
    ASSERT_TRUE(window && window->fileEverySave()->isChecked());
    window->fileEverySave()->setChecked(false);
    EXPECT_FALSE(filing.automatic());
    const int before = static_cast<int>(filings.count());
    saveSet("set2.sonx");
    record("rt2.sonx");
    EXPECT_TRUE(listSaves().startsWith("Saved automatically as"));
    EXPECT_TRUE(std::filesystem::exists(dir / "rt2.sonx"));
    EXPECT_TRUE(std::filesystem::exists(dir / "set2.sonx"));
    EXPECT_EQ(filings.count(), before);
    EXPECT_EQ(filed(b.archive.path()).size(), rows.size());
    window->close();
}

} // namespace
} // namespace km740
