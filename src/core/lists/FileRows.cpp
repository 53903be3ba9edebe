// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/FileRows.h"

#include "core/lists/DerivedFromFile.h"
#include "core/exposure/DerivedText.h"

#include <array>
#include <charconv>
#include <limits>

namespace km740 {

FileRows::FileRows(const Regional& regional, HeaderHandler onHeader, RowHandler onRow)
    : regional_(regional), onHeader_(std::move(onHeader)), onRow_(std::move(onRow))
{
}

bool FileRows::header(const DataFileHeader& header)
{
    realTime_ = isRealTime(header.kind);
    if (realTime_) {
        auto values = ExposureValues::create(doseParametersOf(header.settings));
        if (values)
            values_.emplace(std::move(*values));
        else
            derivedProblem_ = values.error().message;
    }
    return onHeader_ ? onHeader_(header, fileListKindOf(header.kind)) : true;
}

bool FileRows::levelRecord(const LevelRecord& record)
{
    const char* end = std::to_chars(number_, number_ + sizeof number_, record.number).ptr;
    if (!realTime_) {
        const std::array<std::string_view, 3> cells{std::string_view(number_, static_cast<std::size_t>(end - number_)),
                                                    record.dateTime, record.level};
        return onRow_(cells);
    }
    std::array<double, derivedColumnCount> derived;
    if (values_)
        derived = derivedValues(values_->addCell(record.level));
    else
        derived.fill(std::numeric_limits<double>::quiet_NaN());
    std::array<std::string_view, 3 + derivedColumnCount> cells;
    cells[0] = std::string_view(number_, static_cast<std::size_t>(end - number_));
    cells[1] = record.dateTime;
    cells[2] = record.level;
    char* p = derivedText_.data();
    for (std::size_t i = 0; i < derived.size(); ++i) {
        char* cellEnd = writeDerivedCell(p, static_cast<int>(i), derived[i], regional_);
        cells[3 + i] = std::string_view(p, static_cast<std::size_t>(cellEnd - p));
        p = cellEnd;
    }
    return onRow_(cells);
}

bool FileRows::doseRecord(const DoseRow& record)
{
    const std::array<std::string_view, 4> cells{record.number, record.dateTime, record.dose, record.twa};
    return onRow_(cells);
}

} // namespace km740
