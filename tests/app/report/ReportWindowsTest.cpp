// SPDX-License-Identifier: GPL-3.0-or-later
// The "Report" keys of the file lists and the exposure summary: the preview
// opens on the right file, with the analysis the window had, reasons and
// all, down to the text of the saved PDF.
#include "app/report/ReportWindows.h"

#include "app/exposure/ExposureSummaryWindow.h"
#include "app/exposure/ExposureWindows.h"
#include "app/files/FileListWindow.h"
#include "app/files/FileWindows.h"
#include "core/exposure/ExposureAnalysis.h"
#include "core/files/DataFileWriter.h"
#include "support/PanelBench.h"
#include "support/SampleShift.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"
#include "support/WaitFor.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace km740 {
namespace {

struct Bench {
    test::PanelBench panel{{.failOpen = true}};
    test::TempFolder dir;
    QString savePdfAs;

    Bench()
    {
        ReportDialogs d;
        d.saveFile = [this](QWidget*, const QString&, const QString&) { return savePdfAs; };
        panel.keys->report().setDialogs(d);
        ExposureDialogs e;
        e.message = [this](QWidget*, const QString& text, bool) { panel.messages << text; };
        panel.keys->exposure().setDialogs(e);
    }

    QString shift(const std::string& name)
    {
        const auto path = dir / name;
        EXPECT_TRUE(writeDataFile(path, test::sampleSurveyShift()));
        return QString::fromStdString(path.string());
    }

    FileListWindow* list(const QString& path, FileListKind kind = FileListKind::realTime)
    {
        if (!panel.keys->files().open(path))
            return nullptr;
        FileListWindow* w = panel.keys->files().window(kind);
        return w && test::waitFor([&] { return w->table() != nullptr; }, 20000) ? w : nullptr;
    }

    // The preview the last key opened, once it has read its recording.
    ReportPreview* preview()
    {
        ReportPreview* w = panel.keys->report().last();
        return w && test::waitFor([&] { return w->content().has_value(); }, 20000) ? w : nullptr;
    }

    std::string savedPdfText(ReportPreview& w)
    {
        savePdfAs = QString::fromStdString((dir / "report.pdf").string());
        w.savePdf();
        return test::runProgram("/usr/bin/pdftotext", {"-layout", (dir / "report.pdf").string(), "-"}).out;
    }
};

std::string field(const std::vector<ReportField>& fields, const std::string& label)
{
    for (const ReportField& f : fields)
        if (f.label == label)
            return f.value;
    return {};
}

} // namespace

TEST(ReportKeys, AListsReportKeyOpensThePreviewOfItsFileWithTheAnalysisBesideIt)
{
    Bench b;
    const QString first = b.shift("first.sonx");
    const QString second = b.shift("second.sonx");
    // The second file's analysis leaves out the compressor, and says why.
    ExposureOptions saved;
    saved.exclusions = {{*parseLocalTime("2026-12-01T10:00:00"), *parseLocalTime("2026-12-01T10:30:00")}};
    saved.reasons[{saved.exclusions[0].from, saved.exclusions[0].to}] = "badge left on the compressor";
    ASSERT_TRUE(writeAnalysis(analysisPathFor(QFile::encodeName(second).toStdString()), saved, "second.sonx"));

    FileListWindow* list = b.list(first);
    ASSERT_TRUE(list);
    QAction* key = list->action(QStringLiteral("Report"));
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->isEnabled());
    key->trigger();
    ReportPreview* w = b.preview();
    ASSERT_TRUE(w);
    EXPECT_EQ(field(w->content()->measurement, "Data file"), "first.sonx");
    EXPECT_TRUE(w->content()->exclusions.empty());

    list = b.list(second);
    ASSERT_TRUE(list);
    list->action(QStringLiteral("Report"))->trigger();
    ReportPreview* other = b.preview();
    ASSERT_TRUE(other);
    ASSERT_NE(other, w);
    EXPECT_EQ(field(other->content()->measurement, "Data file"), "second.sonx");
    ASSERT_EQ(other->content()->exclusions.size(), 1u);
    EXPECT_EQ(other->content()->exclusions[0].reason, "badge left on the compressor");
    EXPECT_EQ(other->content()->exclusions[0].readings, "1800");
    // Nothing but the missing meter was said.
    EXPECT_EQ(b.panel.messages, QStringList{QStringLiteral("No Device Found!")});

    // A dose set holds no levels to report on.
    const auto dose = b.dir / "dose.sonx";
    ASSERT_TRUE(writeDataFile(dose, test::sampleDoseLogger()));
    FileListWindow* doseList = b.list(QString::fromStdString(dose.string()), FileListKind::dose);
    ASSERT_TRUE(doseList);
    EXPECT_EQ(doseList->action(QStringLiteral("Report")), nullptr);
}

TEST(ReportKeys, TheSummarysReportShowsItsUnsavedSpansAndTheirReasonsInThePdf)
{
    Bench b;
    const QString path = b.shift("shift.sonx");
    FileListWindow* list = b.list(path);
    ASSERT_TRUE(list);
    list->action(QStringLiteral("Exposure"))->trigger();
    ExposureSummaryWindow* summary = b.panel.keys->exposure().window(path);
    ASSERT_TRUE(summary);
    ASSERT_TRUE(test::waitFor([&] { return summary->summary().has_value(); }, 20000));

    summary->txtFrom()->setDateTime(QDateTime::fromString("2026-12-01T10:00:00", Qt::ISODate));
    summary->txtTo()->setDateTime(QDateTime::fromString("2026-12-01T10:30:00", Qt::ISODate));
    summary->txtReason()->setText(QStringLiteral("  Kompressor-Wartung,   Messgerät abgelegt "));
    summary->onCmdAddClick();
    EXPECT_TRUE(summary->txtReason()->text().isEmpty());
    // A span without a reason keeps none.
    summary->txtFrom()->setDateTime(QDateTime::fromString("2026-12-01T11:00:00", Qt::ISODate));
    summary->txtTo()->setDateTime(QDateTime::fromString("2026-12-01T11:05:00", Qt::ISODate));
    summary->onCmdAddClick();
    const ExposureOptions shown = summary->options();
    ASSERT_EQ(shown.exclusions.size(), 2u);
    ASSERT_EQ(shown.reasons.size(), 1u);
    EXPECT_EQ(reasonFor(shown, shown.exclusions[0]), "Kompressor-Wartung, Messgerät abgelegt");

    ASSERT_TRUE(summary->cmdReport()->isEnabled());
    summary->cmdReport()->click();
    ReportPreview* w = b.preview();
    ASSERT_TRUE(w);
    ASSERT_EQ(w->content()->exclusions.size(), 2u);
    if (test::runProgram("/usr/bin/pdftotext", {"-v"}).exitCode != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    const std::string text = b.savedPdfText(*w);
    EXPECT_NE(text.find("Kompressor-Wartung, Messgerät abgelegt"), std::string::npos) << text;
    EXPECT_NE(text.find("shift.sonx"), std::string::npos);

    // The reason is kept with the analysis, and comes back with it.
    summary->onCmdSaveClick();
    auto kept = readAnalysis(analysisPathFor(QFile::encodeName(path).toStdString()));
    ASSERT_TRUE(kept) << kept.error().message;
    EXPECT_EQ(kept->reasons, shown.reasons);
    summary->close();
    ASSERT_TRUE(test::waitFor([&] { return b.panel.keys->exposure().window(path) == nullptr; }, 5000));
    list->action(QStringLiteral("Exposure"))->trigger();
    summary = b.panel.keys->exposure().window(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->options().reasons, shown.reasons);
    EXPECT_EQ(summary->gridExclusions()->item(0, 3)->text(), QStringLiteral("Kompressor-Wartung, Messgerät abgelegt"));
    // Removing the span forgets its reason.
    summary->gridExclusions()->setCurrentCell(0, 0);
    summary->onCmdRemoveClick();
    EXPECT_TRUE(summary->options().reasons.empty());
}

} // namespace km740
