// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileWriter.h"

#include "core/common/AtomicFile.h"
#include "core/files/DataFileFormat.h"
#include "core/files/TextCodec.h"

namespace km740 {

namespace {

constexpr std::size_t kChunk = 1 << 16;

void appendEncoded(std::string& out, std::string_view line)
{
    if (isAscii(line))
        out += line;
    else
        out += toWindows1252(line);
}

} // namespace

std::string dataFileBytes(const DataFile& file)
{
    std::string out;
    datafile::emitLines(file, [&](std::string_view line, std::int64_t) {
        appendEncoded(out, line);
        return true;
    });
    return out;
}

Status writeDataFile(const std::filesystem::path& target, const DataFile& file, const WriteProgress& progress)
{
    auto created = AtomicFile::create(target);
    if (!created)
        return created.error();
    AtomicFile out = std::move(created).value();
    std::string buffer;
    buffer.reserve(kChunk + 1024);
    Status status = success();
    bool cancelled = false;
    datafile::emitLines(file, [&](std::string_view line, std::int64_t row) {
        appendEncoded(buffer, line);
        if (buffer.size() >= kChunk) {
            status = out.write(buffer);
            buffer.clear();
            if (!status)
                return false;
        }
        if (row >= 0 && progress && !progress(row)) {
            cancelled = true;
            return false;
        }
        return true;
    });
    if (cancelled)
        return failure(FailureKind::cancelled, "save of " + target.string() + " cancelled");
    if (!status)
        return status;
    if (auto s = out.write(buffer); !s)
        return s;
    return out.commit();
}

} // namespace km740
