// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RealTimeListFile.h"

#include "panel/RealTimeFileText.h"
#include "panel/RealTimeRecorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <unistd.h>

namespace km740 {

Status writeRealTimeListFile(const std::string& path, const RecordingHeader& header,
                             const std::vector<RealTimeList::Row>& rows,
                             const std::function<void(std::size_t)>& progress,
                             std::size_t progressEvery, const std::atomic<bool>* cancel)
{
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return failure(FailureKind::io, "Cannot create " + temp + ": " + std::strerror(errno));

    int err = 0;
    bool cancelled = false;
    auto put = [&](const std::string& line) {
        if (err)
            return;
        if (std::fwrite(line.data(), 1, line.size(), f) != line.size() ||
            std::fwrite("\r\n", 1, 2, f) != 2)
            err = errno ? errno : EIO;
    };
    for (const std::string& line : realTimeHeaderLines(kRealTimeListTitle, header))
        put(line);
    put(realTimeListHeadingLine());
    if (progressEvery == 0)
        progressEvery = 1;
    for (std::size_t i = 0; i < rows.size() && !err; ++i) {
        const RealTimeList::Row& r = rows[i];
        std::string line = std::to_string(r.number);
        line += '\t';
        line += r.time;
        line += '\t';
        line += r.level;
        line += '\t';
        put(line);
        if (progress && ((i + 1) % progressEvery == 0 || i + 1 == rows.size()))
            progress(i + 1);
        if (cancel && cancel->load()) {
            cancelled = true;
            break;
        }
    }
    if (!err && std::fflush(f) != 0)
        err = errno ? errno : EIO;
    if (!err && ::fsync(::fileno(f)) != 0 && errno != EINVAL)
        err = errno;
    if (std::fclose(f) != 0 && !err)
        err = errno ? errno : EIO;

    std::error_code ec;
    if (err || cancelled) {
        std::filesystem::remove(temp, ec);
        if (cancelled)
            return failure(FailureKind::cancelled, "Saving " + path + " was stopped");
        return failure(FailureKind::io, "Cannot write " + path + ": " + std::strerror(err));
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        const std::string reason = ec.message();
        std::filesystem::remove(temp, ec);
        return failure(FailureKind::io, "Cannot write " + path + ": " + reason);
    }
    return success();
}

} // namespace km740
