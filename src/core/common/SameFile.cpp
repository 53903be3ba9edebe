// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/SameFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace km740 {

Status checkOutputIsNoInput(const std::filesystem::path& output, std::span<const std::filesystem::path> inputs)
{
    struct stat out {};
    const bool toStandardOutput = output == "-";
    if ((toStandardOutput ? ::fstat(STDOUT_FILENO, &out) : ::stat(output.c_str(), &out)) != 0 || !S_ISREG(out.st_mode))
        return success(); // a new name, a device or a FIFO
    for (const auto& input : inputs) {
        struct stat in {};
        if (::stat(input.c_str(), &in) != 0 || in.st_dev != out.st_dev || in.st_ino != out.st_ino)
            continue;
        const std::string shown = toStandardOutput ? "standard output" : output.string();
        return failure(FailureKind::io, "will not write " + shown + ": it is the input file " + input.string() +
                                            ", which writing would destroy");
    }
    return success();
}

} // namespace km740
