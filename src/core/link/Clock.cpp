// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/Clock.h"

#include <chrono>
#include <thread>

namespace km740 {

double steadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double SteadyClock::now() const
{
    return steadySeconds();
}

void SteadyClock::sleepFor(double seconds)
{
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

} // namespace km740
