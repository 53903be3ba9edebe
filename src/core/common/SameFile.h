// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <filesystem>
#include <span>

namespace km740 {

// Refuses an output that is one of the inputs of the same command: the two
// are compared as files (device and inode, links followed), so another name,
// a symbolic link or "-" with standard output sent to the input are caught
// before anything is read or written. "-" stands for standard output. Only
// files are compared: a device or FIFO named twice is not refused.
Status checkOutputIsNoInput(const std::filesystem::path& output, std::span<const std::filesystem::path> inputs);

} // namespace km740
