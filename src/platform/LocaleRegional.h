// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"

class QLocale;

namespace km740 {

// The desktop's regional separators: decimal from 1.1 written by the locale,
// date and time separators from its short formats.
Regional regionalFromLocale(const QLocale& locale);

} // namespace km740
