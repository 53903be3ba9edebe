// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace km740::test {

// Lets window events run until cond holds or ms milliseconds have passed.
// Use it as ASSERT_TRUE(waitFor(...)): Qt Test's QTRY_ and QVERIFY macros
// report to Qt Test, so in a GoogleTest case a failing one passes silently.
bool waitFor(const std::function<bool()>& cond, int ms);

} // namespace km740::test
