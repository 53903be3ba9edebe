// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Result.h"
#include "panel/RealTimeList.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace km740 {

struct RecordingHeader;

// Writes a "Real Time List" file: the header, the heading row, then every
// row, each cell followed by a tab. The file is written beside the target
// under a temporary name and renamed over it only when complete, so a
// failure leaves any earlier file as it was. progress(k) is called with the
// list row index just written (1 = first record), every `progressEvery` rows
// and for the last one.
Status writeRealTimeListFile(const std::string& path, const RecordingHeader& header,
                             const std::vector<RealTimeList::Row>& rows,
                             const std::function<void(std::size_t)>& progress = {},
                             std::size_t progressEvery = 1000,
                             const std::atomic<bool>* cancel = nullptr);

} // namespace km740
