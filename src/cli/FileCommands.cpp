// SPDX-License-Identifier: GPL-3.0-or-later
// export-csv and print-pdf: a data file's list for spreadsheets and on paper.
#include "cli/StandardOutput.h"
#include "cli/ToolCommands.h"

#include "core/common/Regional.h"
#include "core/common/AtomicFile.h"
#include "core/common/SameFile.h"
#include "core/lists/CsvFile.h"
#include "core/lists/FileListColumns.h"
#include "core/lists/FilePrintout.h"

#ifdef KM740_HAVE_PRINT
#include "cli/PageApplication.h"
#include "platform/AtomicDevice.h"
#include "platform/PrintPages.h"

#include <QIODevice>
#include <QPageSize>
#include <QPdfWriter>
#endif

#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace km740::cli {

namespace {

struct CsvOptions {
    std::string file;
    std::vector<std::string> columns;
    std::string output;
};

// The chosen column names as indexes of the window; a name that is two
// pieces of one split at its comma ("LEP", "d") is joined again.
std::optional<std::vector<int>> chosenColumns(FileListKind window, const std::vector<std::string>& names,
                                              std::string& unknown)
{
    std::vector<int> columns;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto c = findListColumn(window, names[i]);
        if (!c && i + 1 < names.size()) {
            c = findListColumn(window, names[i] + "," + names[i + 1]);
            if (c)
                ++i;
        }
        if (!c) {
            unknown = names[i];
            return std::nullopt;
        }
        columns.push_back(*c);
    }
    return columns;
}

int runExportCsv(const CsvOptions& o)
{
    const std::filesystem::path input = o.file;
    if (auto s = checkOutputIsNoInput(o.output.empty() ? "-" : o.output, {&input, 1}); !s)
        return fail(exitUsage, s.error().message);
    bool unknownColumn = false;
    auto read =
        writeCsv(o.file, o.output.empty() ? "-" : o.output, [&](FileListKind window) -> Result<std::vector<int>> {
            std::string unknown;
            auto columns = chosenColumns(window, o.columns, unknown);
            if (columns)
                return std::move(*columns);
            unknownColumn = true;
            return failure(FailureKind::data, o.file + ": no column \"" + unknown + "\" in this kind of file");
        });
    if (!read)
        return fail(unknownColumn ? exitUsage : exitFailure, read.error().message);
    printReadNotes(o.file, *read);
    return exitOk;
}

#ifdef KM740_HAVE_PRINT
struct PdfOptions {
    std::string file;
    std::string output;
    int perRow = 1;
    int copies = 1;
    bool decimalComma = false;
};

int runPrintPdf(const PdfOptions& o)
{
#ifdef __GLIBC__
    // QPdfWriter grows every page's content a few bytes at a time and frees
    // it at the page's end: keeping the freed memory, rather than giving it
    // back to the system and faulting it in again for every page, halves
    // the time of a long printout.
    mallopt(M_TOP_PAD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
#endif
    const PageApplication gui;

    const Regional regional = o.decimalComma ? Regional::comma() : Regional::point();
    const std::filesystem::path input = o.file;
    if (auto s = checkOutputIsNoInput(o.output, {&input, 1}); !s)
        return fail(exitUsage, s.error().message);
    auto target = AtomicFile::create(o.output);
    if (!target)
        return fail(exitFailure, target.error().message);
    AtomicDevice device(*target);
    Result<ReadCounts> read = failure(FailureKind::io, "not read");
    int pageCount = 0;
    {
        QPdfWriter pdf(&device);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        pdf.setTitle(QString::fromStdString(std::filesystem::path(o.file).filename().string()));
        PrintPages pages(pdf);
        if (!pages.isActive())
            return fail(exitFailure, "cannot write " + o.output);
        for (int copy = 0; copy < o.copies; ++copy) {
            if (copy > 0)
                pages.newCopy();
            read = printDataFile(o.file, regional, o.perRow,
                                 [&](std::string_view line, std::optional<std::size_t>) { pages.line(line); });
            if (!read)
                break;
        }
        pages.finish();
        pageCount = pages.pages();
    }
    if (!read)
        return fail(exitFailure, read.error().message);
    if (!device.status())
        return fail(exitFailure, device.status().error().message);
    if (auto s = target->commit(); !s)
        return fail(exitFailure, s.error().message);
    printReadNotes(o.file, *read);
    std::cerr << "km740-tool: " << pageCount << " pages\n";
    return exitOk;
}
#endif

} // namespace

void addFileCommands(CLI::App& app, ToolRun& run)
{
    auto csv = std::make_shared<CsvOptions>();
    auto* c = app.add_subcommand("export-csv", "A data file's list as CSV (every column, derived ones included)");
    c->add_option("FILE", csv->file, "Data file (.sonx)")->required()->check(CLI::ExistingFile);
    c->add_option("--columns", csv->columns, "Columns to export, by header (e.g. \"No.s,dB,TWA,LEP,d\")")
        ->delimiter(',');
    c->add_option("-o,--output", csv->output, "CSV file to write (default: standard output)");
    c->callback([&run, csv] { run.action = [csv] { return runExportCsv(*csv); }; });

#ifdef KM740_HAVE_PRINT
    auto pdf = std::make_shared<PdfOptions>();
    auto* p = app.add_subcommand("print-pdf", "The printout of a data file's list as a PDF");
    p->add_option("FILE", pdf->file, "Data file (.sonx)")->required()->check(CLI::ExistingFile);
    p->add_option("-o,--output", pdf->output, "PDF file to write")->required();
    p->add_option("--per-row", pdf->perRow, "Level records per printed line (1-5), level logger sets")
        ->check(CLI::Range(1, 5));
    p->add_option("--copies", pdf->copies, "Copies, one after the other")->check(CLI::Range(1, 99));
    p->add_flag("--decimal-comma", pdf->decimalComma, "Show numbers with a decimal comma");
    p->callback([&run, pdf] { run.action = [pdf] { return runPrintPdf(*pdf); }; });
#endif
}

} // namespace km740::cli
