// SPDX-License-Identifier: GPL-3.0-or-later
// The "Measurements" window over a real archive on disk: what a user finds
// in a few actions, what the buttons do to the archive, and what it says
// when the archive cannot be read.
#include "app/Keys.h"
#include "app/archive/MeasurementsWindow.h"
#include "app/archive/WeekWindow.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "app/report/ReportWindows.h"
#include "app/ui/WindowContext.h"
#include "app/ui/AppState.h"
#include "core/files/DataFileWriter.h"

#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"
#include "support/WaitFor.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cstdio>

namespace km740 {
namespace {

using test::TempFolder;

std::string shift(const std::string& day, const std::string& level)
{
    LevelLoggerFile f{test::sampleSettings(false), {}, {"50.0", "85.0"}, {}};
    for (int i = 0; i < 480; ++i) {
        char time[40];
        std::snprintf(time, sizeof time, "%s %02d:%02d:00", day.c_str(), 7 + i / 60, i % 60);
        f.records.push_back({i + 1, time, level});
    }
    return dataFileBytes(f);
}

struct WindowBench {
    TempFolder dir;
    std::vector<std::filesystem::path> opened;
    QStringList told;
    bool answer = true;
    std::optional<MeasurementLabels> edited;
    QString csv;

    WindowBench()
    {
        auto archive = Archive::open(dir / "archive");
        // Today is Wednesday 2026-03-11; last week is 2026-W10, 2 to 8 March.
        const struct {
            const char* day;
            const char* level;
            MeasurementLabels labels;
        } rows[] = {
            {"2026/02/24", "90.0", {"Ana Silva", "Press shop", "ACME", ""}},
            {"2026/03/02", "85.0", {"Ana Silva", "Press shop", "ACME", ""}},
            {"2026/03/03", "91.0", {"Ana Silva", "Paint", "ACME", ""}},
            {"2026/03/04", "80.0", {"Bob", "Press shop", "ACME", "covering for Ana"}},
            {"2026/03/10", "88.0", {"Ana Silva", "Press shop", "ACME", ""}},
        };
        for (const auto& r : rows)
            EXPECT_TRUE(archive->fileBytes(shift(r.day, r.level), std::string(r.day).substr(5, 2) + ".sonx", "/m",
                                           r.labels, "2026-03-11T09:00:00"));
    }

    MeasurementsWindow::Setup setup()
    {
        MeasurementsWindow::Setup s;
        s.folder = dir / "archive";
        s.today = [] { return QDate(2026, 3, 11); };
        s.dialogs.confirm = [this](QWidget*, const QString&) { return answer; };
        s.dialogs.editLabels = [this](QWidget*, const MeasurementLabels&) { return edited; };
        s.dialogs.saveCsv = [this](QWidget*, const QString&) { return std::optional(csv); };
        s.dialogs.tell = [this](QWidget*, const QString& m) { told << m; };
        s.openFile = [this](const Measurement&, const std::filesystem::path& copy) { opened.push_back(copy); };
        return s;
    }
};

// The rows come from a background listing: wait for the last one asked.
void listed(const MeasurementsWindow& w)
{
    ASSERT_TRUE(test::waitFor([&] { return !w.listing(); }, 10000));
}

QStringList column(const MeasurementsWindow& w, int c)
{
    QStringList out;
    const auto* model = w.table()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, c).data().toString();
    return out;
}

TEST(MeasurementsWindow, FindsAPersonsLastWeekAndAddsItUp)
{
    WindowBench b;
    MeasurementsWindow w(b.setup());
    listed(w);
    EXPECT_EQ(w.table()->model()->rowCount(), 5);

    // Type the name, pick "Last week": Ana's two days of 2026-W10. The
    // window thread does not wait for the list: the old rows stay until the
    // new ones are there.
    w.search()->setText(QStringLiteral("ana silva"));
    w.refresh(); // what the pause after typing does
    EXPECT_TRUE(w.listing());
    EXPECT_EQ(w.table()->model()->rowCount(), 5);
    listed(w);
    EXPECT_EQ(w.table()->model()->rowCount(), 4);
    w.when()->setCurrentIndex(MeasurementsWindow::LastWeek);
    listed(w);
    EXPECT_EQ(column(w, MeasurementsModel::Start),
              (QStringList{"2026-03-03 07:00:00", "2026-03-02 07:00:00"})); // newest first
    EXPECT_EQ(column(w, MeasurementsModel::Lex8h), (QStringList{"91.0", "85.0"}));

    // Select one of them, "Week": the week of that person.
    w.table()->selectRow(0);
    w.onWeekClick();
    ASSERT_TRUE(w.weekWindow());
    const WeekExposure& week = w.weekWindow()->week();
    ASSERT_EQ(week.days.size(), 2u);
    EXPECT_NEAR(*week.lexW, 10 * std::log10((std::pow(10, 8.5) + std::pow(10, 9.1)) / 5), 1e-9);
    EXPECT_EQ(w.weekWindow()->weekText()->text(), "2026-W10");
    EXPECT_EQ(w.weekWindow()->days()->item(1, 0)->text(), "2026-03-03");
    EXPECT_TRUE(
        w.weekWindow()->summary()->text().startsWith("LEX,w 85.0 dB over 5 nominal days (2 worked); 498 points"))
        << w.weekWindow()->summary()->text().toStdString();

    // Sorting by LEX,8h puts the loudest first; kind filters.
    w.when()->setCurrentIndex(MeasurementsWindow::AnyTime);
    w.search()->clear();
    w.refresh();
    listed(w);
    w.table()->sortByColumn(MeasurementsModel::Lex8h, Qt::DescendingOrder);
    EXPECT_EQ(column(w, MeasurementsModel::Lex8h), (QStringList{"91.0", "90.0", "88.0", "85.0", "80.0"}));
    w.kind()->setCurrentIndex(1); // "Real Time Data": none
    listed(w);
    EXPECT_EQ(w.table()->model()->rowCount(), 0);
}

TEST(MeasurementsWindow, OpenEditRemoveAndExportReachTheArchive)
{
    WindowBench b;
    MeasurementsWindow w(b.setup());
    listed(w);
    w.table()->sortByColumn(MeasurementsModel::Start, Qt::AscendingOrder);
    w.table()->selectRow(0);
    ASSERT_TRUE(w.selected());
    const Measurement first = *w.selected();

    w.onOpenClick();
    ASSERT_EQ(b.opened.size(), 1u);
    EXPECT_EQ(test::readBytes(b.opened[0]), shift("2026/02/24", "90.0"));

    b.edited = MeasurementLabels{"Ana Silva-Costa", "Press shop", "ACME", "new badge"};
    w.onEditClick();
    listed(w);
    EXPECT_EQ(column(w, MeasurementsModel::Person)[0], "Ana Silva-Costa");
    EXPECT_EQ(w.selected()->labels.notes, "new badge");

    b.answer = false;
    w.onRemoveClick();
    EXPECT_EQ(w.table()->model()->rowCount(), 5);
    b.answer = true;
    w.onRemoveClick();
    listed(w);
    EXPECT_EQ(w.table()->model()->rowCount(), 4);
    EXPECT_FALSE(std::filesystem::exists(b.opened[0]));

    w.search()->setText(QStringLiteral("press"));
    w.refresh();
    listed(w);
    b.csv = QString::fromStdString((b.dir / "shown.csv").string());
    w.onExportClick();
    const auto lines = test::readLines(b.dir / "shown.csv");
    ASSERT_EQ(lines.size(), 4u); // header and Ana's 2 March, Bob's 4 March, Ana's 10 March
    EXPECT_EQ(lines[1].substr(0, 2), "2,");
    EXPECT_NE(lines[2].find("covering for Ana"), std::string::npos);

    // A copy changed behind the archive's back is not shown as the measurement.
    w.table()->selectRow(0);
    test::writeBytes(Archive::open(b.dir / "archive")->copyPath(*w.selected()), "changed");
    w.onOpenClick();
    EXPECT_EQ(b.opened.size(), 1u);
    ASSERT_EQ(b.told.size(), 1);
    EXPECT_TRUE(b.told[0].contains("has changed on disk"));
}

TEST(MeasurementsWindow, TheToolbarKeyOpensOneWindowWhoseRowsOpenInTheFileLists)
{
    WindowBench b;
    AppState state;
    WindowContext context(state, nullptr, AppDialogs{});
    context.setArchiveFolder(b.dir / "archive");
    Keys keys(context);
    const ToolKeyHandlers handlers = keys.handlers();
    ASSERT_TRUE(handlers[ToolKey::Measurements]);
    EXPECT_FALSE(toolKeyInfo(ToolKey::Measurements).needsMeter);
    handlers[ToolKey::Measurements]();
    auto* window = context.windows().shown<MeasurementsWindow>();
    ASSERT_NE(window, nullptr);
    listed(*window);
    handlers[ToolKey::Measurements]();
    EXPECT_EQ(context.windows().shown<MeasurementsWindow>(), window); // raised, not a second one
    EXPECT_EQ(window->table()->model()->rowCount(), 5);

    // The newest row, filed as "03.sonx": its window says so, not the
    // copy's hash name.
    window->table()->selectRow(0);
    window->onOpenClick();
    FileListWindow* list = keys.files().window(FileListKind::level);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(test::waitFor([&] { return list->table() != nullptr; }, 10000));
    EXPECT_EQ(list->windowTitle(), "03.sonx");
    context.windows().deleteAll();
}

TEST(MeasurementsWindow, TheWeeksReportButtonOpensThePreviewOfThatWeek)
{
    WindowBench b;
    AppState state;
    WindowContext context(state, nullptr, AppDialogs{});
    context.setArchiveFolder(b.dir / "archive");
    Keys keys(context);
    const auto pdf = b.dir / "week.pdf";
    ReportDialogs dialogs;
    dialogs.saveFile = [&](QWidget*, const QString&, const QString&) { return QString::fromStdString(pdf.string()); };
    keys.report().setDialogs(dialogs);

    // Ana's measurement of 2026-03-03 (newest first: 03-10, 03-03, ...),
    // then "Week", then "Report".
    keys.handlers()[ToolKey::Measurements]();
    auto* window = context.windows().shown<MeasurementsWindow>();
    ASSERT_NE(window, nullptr);
    window->search()->setText(QStringLiteral("ana silva"));
    window->refresh();
    listed(*window);
    window->table()->selectRow(1);
    window->onWeekClick();
    WeekWindow* week = window->weekWindow();
    ASSERT_NE(week, nullptr);
    QPushButton* report = week->reportButton();
    EXPECT_EQ(report->text(), "Report"); // heard by its text
    EXPECT_TRUE(report->accessibleName().isEmpty());
    ASSERT_TRUE(report->isEnabled());
    report->click();

    ReportPreview* preview = keys.report().last();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Report - Week 2026-W10 - Ana Silva");
    preview->findChild<QComboBox*>(QStringLiteral("ComboLanguage"))->setCurrentIndex(0); // English
    ASSERT_TRUE(preview->weekContent());
    const WeekReportContent& page = *preview->weekContent();
    ASSERT_EQ(page.days.size(), 2u);
    EXPECT_EQ(page.days[0].cells[0], "2026-03-02");
    EXPECT_EQ(page.days[0].cells[1], "85.0 dB");
    EXPECT_EQ(page.days[1].cells[0], "2026-03-03");
    EXPECT_EQ(page.days[1].cells[1], "91.0 dB");
    // 10 lg((10^8.5 + 10^9.1) / 5) = 84.98 dB; 100 + 398 points.
    EXPECT_EQ(page.weekCells, (std::array<std::string, 3>{"85.0 dB", "2", "498"}));
    EXPECT_EQ(page.who[1].value, "Press shop, Paint"); // the week's sectors, each once

    if (test::runProgram("/usr/bin/pdftotext", {"-v"}).exitCode == 0) {
        preview->savePdf();
        const std::string text = test::runProgram("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
        EXPECT_NE(text.find("Weekly noise exposure report"), std::string::npos) << text;
        EXPECT_NE(text.find("2026-W10"), std::string::npos) << text;
        EXPECT_NE(text.find("498"), std::string::npos) << text;
    }
    context.windows().deleteAll();
}

TEST(MeasurementsWindow, SaysWhyADamagedArchiveIsNotShownAndLeavesIt)
{
    TempFolder dir;
    std::filesystem::create_directories(dir / "archive");
    const std::string garbage(4096, 'Z');
    test::writeBytes(dir / "archive" / "archive.db", garbage);
    MeasurementsWindow::Setup s;
    s.folder = dir / "archive";
    MeasurementsWindow w(s);
    EXPECT_FALSE(w.archiveOpen());
    EXPECT_TRUE(w.status()->text().contains("is damaged")) << w.status()->text().toStdString();
    EXPECT_FALSE(w.openButton()->isEnabled());
    EXPECT_EQ(test::readBytes(dir / "archive" / "archive.db"), garbage);
}

} // namespace
} // namespace km740
