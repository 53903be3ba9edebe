// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WaitFor.h"

#include <QElapsedTimer>
#include <QTest>

namespace km740::test {

bool waitFor(const std::function<bool()>& cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

} // namespace km740::test
