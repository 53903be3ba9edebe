// SPDX-License-Identifier: GPL-3.0-or-later
// Measurements going into the archive from the windows: "File in archive"
// in the file list windows, and the automatic filing of every save.
#include "app/archive/FileInArchive.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/LoggerWindows.h"
#include "app/panel/PanelToolbar.h"
#include "core/archive/Archive.h"
#include "core/files/DataFileWriter.h"

#include "support/PanelBench.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QLabel>

#include <gtest/gtest.h>

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
    bool idle() { return test::waitFor([&] { return filing().pending() == 0; }, 10000); }

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
    { std::ofstream(blocked) << "x"; }
    f.bench.context->setArchiveFolder(blocked);
    f.answer = MeasurementLabels{"Rui", "", "", ""};
    const QString told = f.fileIn(w);
    EXPECT_TRUE(told.startsWith("Not filed in the archive: ")) << told.toStdString();
    EXPECT_EQ(test::readBytes(f.dir / "walk.sonx"), before);
}

} // namespace
} // namespace km740
