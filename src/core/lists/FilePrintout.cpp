// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/FilePrintout.h"

#include "core/lists/DerivedFromFile.h"
#include "core/lists/FileListColumns.h"
#include "core/lists/FileRows.h"

#include <optional>

namespace km740 {

PrintSource printHead(const DataFileHeader& header)
{
    const FileListKind window = fileListKindOf(header.kind);
    PrintSource source;
    source.settings = printSettingsOf(header.settings);
    source.pausesShown = !header.pauses.empty();
    std::vector<std::vector<std::string>> pauses{
        {std::string(datafile::pauseHeader[0]), std::string(datafile::pauseHeader[1]),
         std::string(datafile::pauseHeader[2]), std::string(datafile::pauseHeader[3])}};
    for (const PauseRow& p : header.pauses)
        pauses.push_back({p.times, p.pause, p.release, p.period});
    source.pauses = PrintGrid::of(std::move(pauses));
    if (window == FileListKind::level)
        source.summary = PrintGrid::of({{std::string(datafile::doseHeader), std::string(datafile::twaHeader)},
                                        {header.summary.dose, header.summary.twa}});
    source.records.rowCount = 1;
    source.records.cell = [window](std::size_t, std::size_t column) {
        const auto columns = listColumns(window);
        return column < columns.size() ? std::string(columns[column].header) : std::string();
    };
    return source;
}

Result<ReadCounts> printDataFile(const std::filesystem::path& path, const Regional& regional, int recordsPerRow,
                                 const PrintSink& sink)
{
    std::optional<PrintStream> stream;
    std::size_t row = 0;
    FileRows rows(
        regional,
        [&](const DataFileHeader& header, FileListKind) {
            stream.emplace(printKindOf(header.kind), recordsPerRow, sink);
            stream->begin(printHead(header));
            return true;
        },
        [&](std::span<const std::string_view> cells) {
            stream->record(++row, cells);
            return true;
        });
    auto counts = readDataFile(path, rows);
    if (stream)
        stream->end();
    return counts;
}

} // namespace km740
