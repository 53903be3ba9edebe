// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace km740::test {

// Lets window events run until cond holds or ms milliseconds have passed.
bool waitFor(const std::function<bool()>& cond, int ms);

} // namespace km740::test
