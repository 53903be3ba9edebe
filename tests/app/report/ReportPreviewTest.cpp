// SPDX-License-Identifier: GPL-3.0-or-later
// The report window: read in the background, language, header and notes
// chosen beside the pages, Print and Save PDF through the same drawing.
#include "app/report/ReportPreview.h"
#include "core/files/DataFileWriter.h"
#include "core/files/HeaderText.h"
#include "support/SampleShift.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"
#include "support/WaitFor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include <gtest/gtest.h>

using namespace km740;
using namespace km740::test;

namespace {

struct Seen {
    QStringList messages;
    QString saveAs;
};

ReportDialogs quietDialogs(Seen& seen, const std::filesystem::path& printTo)
{
    ReportDialogs d;
    d.choosePrinter = [printTo](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printTo.string()));
        return true;
    };
    d.saveFile = [&seen](QWidget*, const QString&, const QString&) { return seen.saveAs; };
    d.message = [&seen](QWidget*, const QString& text, bool) { seen.messages << text; };
    return d;
}

std::string pdfText(const std::filesystem::path& pdf)
{
    return runProgram("/usr/bin/pdftotext", {"-layout", pdf.string(), "-"}).out;
}

} // namespace

TEST(ReportPreview, ChoicesBesideThePagesReachPrintAndPdf)
{
    TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "shift.sonx", sampleSurveyShift()));
    Seen seen;
    ReportRequest request = requestFor(dir / "shift.sonx");
    request.header = HeaderText{"Ana Lima", "Stamping", "Metalurgica Norte"};
    QPointer<ReportPreview> w = ReportPreview::showReport(request, quietDialogs(seen, dir / "printed.pdf"), nullptr);
    ASSERT_TRUE(waitFor([&] { return w->content().has_value(); }, 20000));

    w->findChild<QComboBox*>()->setCurrentIndex(2); // Deutsch
    w->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("Gehörschutz ab 10 Uhr."));
    w->findChild<QLineEdit*>(QStringLiteral("TxtCompany"))->setText(QStringLiteral("Metall Nord GmbH"));
    seen.saveAs = QString::fromStdString((dir / "saved.pdf").string());
    w->savePdf();
    w->print();
    EXPECT_TRUE(seen.messages.isEmpty()) << seen.messages.join('\n').toStdString();

    if (runProgram("/usr/bin/pdftotext", {"-v"}).exitCode != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    for (const char* name : {"saved.pdf", "printed.pdf"}) {
        SCOPED_TRACE(name);
        const std::string text = pdfText(dir / name);
        EXPECT_NE(text.find("Bericht zur Lärmexposition"), std::string::npos) << text;
        EXPECT_NE(text.find("Gehörschutz ab 10 Uhr."), std::string::npos);
        EXPECT_NE(text.find("Metall Nord GmbH"), std::string::npos);
        EXPECT_NE(text.find("Ana Lima"), std::string::npos);
    }
    w->close();
}

TEST(ReportPreview, ARecordingWithoutLevelsSaysWhy)
{
    TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "dose.sonx", sampleDoseLogger()));
    Seen seen;
    QPointer<ReportPreview> w =
        ReportPreview::showReport(requestFor(dir / "dose.sonx"), quietDialogs(seen, dir / "p.pdf"), nullptr);
    ASSERT_TRUE(waitFor([&] { return !seen.messages.isEmpty(); }, 20000));
    EXPECT_TRUE(seen.messages.front().contains(QStringLiteral("dose.sonx"))) << seen.messages.front().toStdString();
    EXPECT_FALSE(w->content());
    seen.saveAs = QString::fromStdString((dir / "never.pdf").string());
    w->savePdf();
    EXPECT_FALSE(std::filesystem::exists(dir / "never.pdf"));
    w->close();
}
