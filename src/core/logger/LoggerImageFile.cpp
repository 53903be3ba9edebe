// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/LoggerImageFile.h"

#include "core/common/AtomicFile.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace km740 {

Result<LoggerImage> readLoggerImageFile(const std::filesystem::path& path)
{
    const std::string name = path.string();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return failure(FailureKind::io, "cannot read " + name + ": " + ec.message());
    if (size > maxLoggerImageFileSize)
        return failure(FailureKind::data,
                       name + " is larger than any logger memory (" + std::to_string(size) + " bytes)");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, "cannot open " + name);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (in.bad())
        return failure(FailureKind::io, "cannot read " + name);
    return LoggerImage(std::move(bytes));
}

Status writeLoggerImageFile(const std::filesystem::path& target, std::span<const std::uint8_t> downloaded)
{
    return writeFileAtomically(target,
                               std::string_view(reinterpret_cast<const char*>(downloaded.data()), downloaded.size()));
}

} // namespace km740
