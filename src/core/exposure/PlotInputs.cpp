// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/PlotInputs.h"

#include "core/common/Regional.h"

#include <cmath>

namespace km740 {

namespace {

enum class Unit { level, percent, exposure };

enum class YRange { measuring, fullLevel, signedLevel, upToLast };

struct Column {
    Unit unit;
    YRange range;
};

std::optional<Column> columnOf(FileListKind window, int column)
{
    switch (window) {
    case FileListKind::realTime:
        switch (column) {
        case 2:
        case 3:
        case 5:
        case 11: return Column{Unit::level, YRange::measuring};
        case 7:
        case 8: return Column{Unit::level, YRange::fullLevel};
        case 9: return Column{Unit::level, YRange::signedLevel};
        case 4:
        case 10: return Column{Unit::percent, YRange::upToLast};
        case 6: return Column{Unit::exposure, YRange::upToLast};
        default: return std::nullopt;
        }
    case FileListKind::dose:
        switch (column) {
        case 2: return Column{Unit::percent, YRange::upToLast};
        case 3: return Column{Unit::level, YRange::measuring};
        default: return std::nullopt;
        }
    case FileListKind::level:
        if (column == 2)
            return Column{Unit::level, YRange::measuring};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

int rangeTopOf(std::string_view rangeText)
{
    std::string_view tail = rangeText.size() > 3 ? rangeText.substr(rangeText.size() - 3) : rangeText;
    double top = numericPrefix(tail);
    if (!(top > 0.0) || top > 1000.0)
        return 140;
    return static_cast<int>(top);
}

std::optional<PlotInputs> plotInputs(FileListKind window, int column, int dataRows, std::string_view rangeText,
                                     double lastValue)
{
    auto c = columnOf(window, column);
    if (!c)
        return std::nullopt;
    PlotInputs p;
    p.plotKind = column;
    p.plotXMax = dataRows < 0 ? 0 : dataRows;
    switch (c->unit) {
    case Unit::level:
        p.axisCaption = "dB";
        p.label = "dB ( Y ) :";
        p.decimals = 1;
        break;
    case Unit::percent:
        p.axisCaption = "%";
        p.label = "% ( Y ) :";
        p.decimals = 4;
        break;
    case Unit::exposure:
        p.axisCaption = "SE";
        p.label = "Pa2h ( Y ) :";
        p.decimals = 4;
        break;
    }
    const int top = rangeTopOf(rangeText);
    switch (c->range) {
    case YRange::measuring:
        p.plotYMin = top - 70;
        p.plotYMax = top;
        break;
    case YRange::fullLevel:
        p.plotYMin = 0;
        p.plotYMax = 140;
        break;
    case YRange::signedLevel:
        p.plotYMin = -140;
        p.plotYMax = 140;
        break;
    case YRange::upToLast:
        p.plotYMin = 0;
        p.plotYMax = (std::isfinite(lastValue) && lastValue > 0 ? lastValue : 0.0) + 1.0;
        break;
    }
    return p;
}

} // namespace km740
