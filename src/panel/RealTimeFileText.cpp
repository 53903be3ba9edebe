// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RealTimeFileText.h"

#include "panel/RealTimeRecorder.h"

namespace km740 {

std::vector<std::string> realTimeHeaderLines(std::string_view title, const RecordingHeader& h)
{
    return {
        std::string(title),
        "",
        "",
        "",
        "Calibrated dB:" + h.calibratedDb,
        "Time Weight:" + h.timeWeight,
        "Frequency Weight:" + h.frequencyWeight,
        "Threshold Level:" + h.threshold,
        "Criterion Level:" + h.criterion,
        "Exchange Rate:" + h.exchangeRate,
        "Peak Type:" + h.peakType,
        "Range:" + h.range,
        "Calibrated Time:" + h.calibratedTime,
    };
}

std::string realTimeRecordLine(long long number, std::string_view time, std::string_view level)
{
    std::string line = std::to_string(number);
    line += '\t';
    line += time;
    line += '\t';
    line += level;
    line += '\t';
    return line;
}

std::string realTimeListHeadingLine()
{
    return std::string(RealTimeList::kHeadingNumber) + '\t' + RealTimeList::kHeadingTime + '\t' +
           RealTimeList::kHeadingLevel + '\t';
}

} // namespace km740
