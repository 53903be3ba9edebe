// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/CsvFile.h"

#include "core/common/AtomicFile.h"
#include "core/common/Regional.h"
#include "core/lists/CsvExport.h"
#include "core/lists/FileListTable.h"
#include "core/lists/FileRows.h"

#include <optional>
#include <string>
#include <string_view>

namespace km740 {

namespace {

// Rows gathered into a buffer that goes to the file a megabyte at a time.
class CsvOut {
public:
    explicit CsvOut(AtomicFile file) : file_(std::move(file)) {}

    void begin(CsvExport csv)
    {
        csv_.emplace(std::move(csv));
        csv_->appendHeader(buffer_);
    }
    Status row(std::span<const std::string_view> cells)
    {
        csv_->appendRow(buffer_, cells);
        return buffer_.size() >= flushBytes ? flush() : success();
    }
    Status commit()
    {
        if (Status s = flush(); !s)
            return s;
        return file_.commit();
    }

private:
    static constexpr std::size_t flushBytes = 1u << 20;

    Status flush()
    {
        Status s = file_.write(buffer_);
        buffer_.clear();
        return s;
    }

    AtomicFile file_;
    std::optional<CsvExport> csv_;
    std::string buffer_;
};

Result<CsvOut> openCsv(const std::filesystem::path& target)
{
    auto file = AtomicFile::create(target);
    if (!file)
        return file.error();
    return CsvOut(std::move(*file));
}

} // namespace

Status writeCsv(const FileListTable& table, const std::filesystem::path& target)
{
    auto out = openCsv(target);
    if (!out)
        return out.error();
    out->begin(CsvExport(table.window(), {}));
    const Regional point = Regional::point();
    const auto columns = static_cast<std::size_t>(table.columnCount());
    std::vector<std::string> texts(columns);
    std::vector<std::string_view> cells(columns);
    for (std::size_t r = 0; r < table.rowCount(); ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            texts[c] = table.cell(r, static_cast<int>(c), point);
            cells[c] = texts[c];
        }
        if (Status s = out->row(cells); !s)
            return s;
    }
    return out->commit();
}

Result<ReadCounts> writeCsv(const std::filesystem::path& dataFile, const std::filesystem::path& target,
                            const CsvColumnChoice& choose)
{
    auto out = openCsv(target);
    if (!out)
        return out.error();
    std::optional<Failure> stopped;
    FileRows rows(
        Regional::point(),
        [&](const DataFileHeader&, FileListKind window) {
            auto columns = choose ? choose(window) : Result<std::vector<int>>(std::vector<int>{});
            if (!columns) {
                stopped = columns.error();
                return false;
            }
            out->begin(CsvExport(window, std::move(*columns)));
            return true;
        },
        [&](std::span<const std::string_view> cells) {
            if (Status s = out->row(cells); !s)
                stopped = s.error();
            return !stopped;
        });
    auto read = readDataFile(dataFile, rows);
    if (stopped)
        return *stopped;
    if (!read)
        return read.error();
    if (Status s = out->commit(); !s)
        return s.error();
    return read;
}

} // namespace km740
