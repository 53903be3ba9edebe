// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/InputFile.h"

namespace km740 {

Result<std::ifstream> openInputFile(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return failure(FailureKind::io, "cannot read " + path.string() + ": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, "cannot open " + path.string());
    return in;
}

Failure namingFile(const std::filesystem::path& path, Failure failure)
{
    failure.message = path.filename().string() + ": " + failure.message;
    return failure;
}

} // namespace km740
