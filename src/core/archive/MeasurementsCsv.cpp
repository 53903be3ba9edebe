// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/MeasurementsCsv.h"

#include "core/lists/CsvExport.h"

#include <cstdio>

namespace km740 {

namespace {

std::string decimal(const std::optional<double>& v, const char* format)
{
    if (!v)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, format, *v);
    return text;
}

} // namespace

std::string measurementsCsv(std::span<const Measurement> rows)
{
    std::string out = "ID,Person,Sector,Company,Start,End,Duration (s),Kind,LAeq (dB),Lmax (dB),LEX 8h (dB),"
                      "Points,Worst standard,Worst dose (%),File,Notes\r\n";
    for (const Measurement& m : rows) {
        const std::string cells[] = {
            std::to_string(m.id),
            m.labels.person,
            m.labels.sector,
            m.labels.company,
            m.facts.start ? formatLocalTime(*m.facts.start) : std::string(),
            m.facts.end ? formatLocalTime(*m.facts.end) : std::string(),
            std::to_string(m.facts.durationSeconds),
            std::string(dataFileTitle(m.facts.kind)),
            decimal(m.facts.laeq, "%.1f"),
            decimal(m.facts.lmax, "%.1f"),
            decimal(m.facts.lex8h, "%.1f"),
            decimal(m.facts.points, "%.0f"),
            m.worstStandard,
            decimal(m.worstDose, "%.1f"),
            m.fileName,
            m.labels.notes,
        };
        for (std::size_t i = 0; i < std::size(cells); ++i) {
            if (i > 0)
                out += ',';
            appendCsvField(out, cells[i]);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace km740
