// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/FileAnalysis.h"

#include "core/exposure/ExposureAnalysis.h"
#include "core/lists/ExposureHistory.h"

namespace km740 {

MeasurementAnalysis analyseForArchive(const std::filesystem::path& dataFile)
{
    MeasurementAnalysis analysis;
    ExposureOptions options;
    // A damaged analysis file is passed over: the plain summary is still true.
    if (auto beside = readAnalysisBeside(dataFile); beside && *beside) {
        options = std::move(**beside);
        analysis.analysisText = analysisText(options, dataFile.filename().string());
    }
    auto summary = summarizeExposure(FileHistory(dataFile), options);
    if (!summary && !analysis.analysisText.empty()) {
        // Spans that no longer fit the file: judge it whole.
        analysis.analysisText.clear();
        summary = summarizeExposure(FileHistory(dataFile), ExposureOptions{});
    }
    if (!summary)
        return analysis;
    analysis.laeq = summary->laeq;
    analysis.lmax = summary->lmax;
    analysis.lmin = summary->lmin;
    analysis.lex8h = summary->lex8h;
    for (const StandardExposure& s : summary->standards)
        analysis.standards.push_back({s.standard.name, s.standard.criterion, s.standard.threshold,
                                      s.standard.exchangeRate, s.dose, s.twa, s.projectedDose, s.projectedTwa, s.lavg,
                                      s.shiftDose, s.shiftTwa});
    return analysis;
}

} // namespace km740
