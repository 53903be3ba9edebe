// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/files/DataFile.h"
#include "core/logger/LoggerSet.h"

namespace km740 {

// Decodes a set into the rows its logger list window shows: the settings
// panel texts, the pause rows and the records with their time stamps (a
// DoseLoggerFile for a dose set, a LevelLoggerFile with its summary for a
// level set). What the window's Save writes is exactly this value.
// Pause entries beyond LoggerSet::maxPauses are left out of the pause rows
// (droppedPauses() says how many); they still time the records.
// A set whose interval code is unknown has no records to decode and gives a
// data failure.
Result<DataFile> decodeSet(const LoggerSet& set, const Regional& regional);

// "hh:mm:ss" of a number of seconds, two digits each (hours may run over 99).
std::string periodText(std::uint32_t seconds);

} // namespace km740
