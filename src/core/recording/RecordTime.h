// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"

#include <string>

namespace km740 {

// The computer's local date and time of a sample, to the second.
struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "yyyy/mm/dd hh:mm:ss" with the regional date and time separators.
std::string formatRecordTime(const LocalDateTime& t, const Regional& regional);

// "mmddhhnnss.sonx": the name of an automatic list save.
std::string autoSaveFileName(const LocalDateTime& t);

} // namespace km740
