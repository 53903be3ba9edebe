// SPDX-License-Identifier: GPL-3.0-or-later
// The recorders inside the program: the panel on the virtual meter records to
// a file across a continuation boundary and keeps the real-time list, whose
// Save asks the meter for the preset while the recording runs on.
#include "support/PanelBench.h"

#include "app/ui/SettingsPanel.h"

#include "app/ui/AppState.h"
#include "core/link/MeterLink.h"
#include "app/panel/ListWindow.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/PanelWindow.h"
#include "core/recording/RealTimeRecorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

// Real time for the link: the sampling tick's 2 s level age is then the
// wall clock's too. Four samples a second: what counts here is what is
// written, not the pace.
PanelBenchOptions realTime(long long perPart)
{
    PanelBenchOptions options;
    options.speed = 1.0;
    options.recordsPerPart = perPart;
    options.sampleMs = 250;
    return options;
}

QStringList fileLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList records(const QStringList& lines)
{
    return lines.mid(14);
}

} // namespace

TEST(RecordingInTheProgram, ContinuesAcrossTheBoundaryAndWaitsForAHeldMeter)
{
    PanelBench b(realTime(2));
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("site.2024")));
    const QString path = dir.filePath(QStringLiteral("site.2024/rt.sonx"));
    ASSERT_TRUE(waitFor([&] { return b.state.live.valid; }, 10000));

    b.saveAnswer = path;
    b.panel->onToolbarButtonClick(ToolKey::Save);
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecording; }, 10000));
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecordCount >= 3; }, 10000));

    // Another job holds the meter for 5 s: the level goes stale after 2, the
    // seconds are recorded as not measured and the panel says it waits.
    b.worker->post<Done>(
        b.panel.get(), [](MeterLink& link) { return link.delay(5.0); }, [](const Status&) {});
    ASSERT_TRUE(waitFor([&] { return b.state.recording.recordingWaiting; }, 10000));
    EXPECT_EQ(b.panel->lblRecording()->text(), "Waiting for the meter");
    EXPECT_FALSE(b.panel->lblRecording()->isHidden());
    ASSERT_TRUE(waitFor([&] { return !b.state.recording.recordingWaiting; }, 10000));
    ASSERT_TRUE(waitFor([&] { return b.panel->lblRecording()->text() == "Recording"; }, 10000));

    // The criterion changes on the panel: the next continuation file's header
    // says so, the first file keeps what it began with.
    b.state.panelCriterion = 90;
    ASSERT_TRUE(waitFor([&] { return b.value(SettingsPanel::Field::Criterion) == "90"; }, 10000));
    const int partBefore = b.state.recording.filePart;
    ASSERT_TRUE(waitFor(
        [&] { return b.state.recording.filePart > partBefore && b.state.recording.fileRecordCount >= 5; }, 15000));
    const int lastPart = b.state.recording.filePart;
    b.panel->onToolbarButtonClick(ToolKey::Save);
    ASSERT_FALSE(b.state.recording.fileRecording);
    EXPECT_TRUE(b.messages.isEmpty()) << b.messages.join('\n').toStdString();
    EXPECT_EQ(fileLines(path).value(8), "Criterion Level:85");
    EXPECT_EQ(fileLines(dir.filePath(QStringLiteral("site.2024/rt-%1.sonx").arg(lastPart))).value(8),
              "Criterion Level:90");

    // rt.sonx holds 1, 2; rt-1.sonx 3, 4; rt-2.sonx 5, 6 ...; each a whole
    // header. The last part was begun at the boundary and may hold none yet.
    QList<QStringList> parts{fileLines(path)};
    for (int part = 1; part <= lastPart; ++part)
        parts << fileLines(dir.filePath(QStringLiteral("site.2024/rt-%1.sonx").arg(part)));
    long long expected = 1;
    QDateTime previous;
    int notMeasured = 0;
    for (const QStringList& lines : parts) {
        ASSERT_GE(lines.size(), &lines == &parts.back() ? 14 : 16) << lines.join('\n').toStdString();
        EXPECT_EQ(lines[0], "Real Time Data");
        EXPECT_EQ(lines[10], "Peak Type:" + QString::fromStdString(b.state.recording.peakTypeText));
        EXPECT_EQ(lines[13], "No.s\t      Date Time    \tdB");
        for (const QString& rec : records(lines)) {
            const QStringList cells = rec.split('\t');
            ASSERT_EQ(cells.size(), 4) << rec.toStdString();
            EXPECT_EQ(cells[0].toLongLong(), expected++);
            EXPECT_EQ(cells[3], "");
            const QDateTime t = QDateTime::fromString(cells[1], QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            EXPECT_TRUE(t.isValid()) << cells[1].toStdString();
            notMeasured += cells[2] == "-";
            previous = t;
        }
    }
    EXPECT_GE(notMeasured, 1); // the held meter shows as "-", not as invented readings
    for (int part = 0; part < lastPart; ++part)
        EXPECT_EQ(records(parts[part]).size(), 2) << "part " << part;
    EXPECT_FALSE(QFile::exists(dir.filePath("site.2024-1")));
}

TEST(RecordingInTheProgram, ListFillsFromTheMeterAndSavesDuringARecording)
{
    PanelBench b(realTime(RealTimeRecorder::kRecordsPerPart));
    QTemporaryDir dir;
    ASSERT_TRUE(waitFor([&] { return b.state.live.valid; }, 10000));
    b.saveAnswer = dir.filePath(QStringLiteral("rt.sonx"));
    b.panel->onToolbarButtonClick(ToolKey::Save);
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecording; }, 10000));

    b.panel->onToolbarButtonClick(ToolKey::List);
    ListWindow* list = b.panel->listWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(b.state.recording.listMode);
    ASSERT_TRUE(waitFor([&] { return list->grid()->model()->rowCount() >= 2; }, 10000));
    EXPECT_EQ(list->grid()->model()->data(list->grid()->model()->index(0, 0)).toString(), "1");

    const QString listPath = dir.filePath(QStringLiteral("list.sonx"));
    list->setFileChooser([&](QWidget*, const QString&) { return listPath; });
    QSignalSpy saved(list, &ListWindow::saveFinished);
    const std::size_t mark = b.sentCount();
    list->onSaveClicked();
    ASSERT_TRUE(waitFor([&] { return saved.count() == 1; }, 10000));
    EXPECT_TRUE(saved.at(0).at(0).toBool()) << saved.at(0).at(1).toString().toStdString();
    EXPECT_EQ(b.sentApartFromPolls(mark), (Bytes{'R', 'C'}));
    EXPECT_TRUE(b.state.recording.fileRecording);

    const QStringList lines = fileLines(listPath);
    ASSERT_GE(lines.size(), 16);
    EXPECT_EQ(lines[0], "Real Time List");
    EXPECT_EQ(lines[13], "No.s\t     Date Time    \tdB\t");
    EXPECT_TRUE(lines[14].startsWith("1\t"));
    EXPECT_TRUE(lines[14].endsWith("\t"));

    // The recording goes on after the list save.
    const long long count = b.state.recording.fileRecordCount;
    ASSERT_TRUE(waitFor([&] { return b.state.recording.fileRecordCount > count; }, 10000));
    list->close();
    EXPECT_FALSE(b.state.recording.listMode);
    b.panel->onToolbarButtonClick(ToolKey::Save);
}
