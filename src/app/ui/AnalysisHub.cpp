// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/AnalysisHub.h"

#include "app/ui/QtText.h"
#include "core/exposure/ExposureAnalysis.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace km740 {

namespace {

// What is saved beside the data file; none when there is no such file or it
// cannot be read.
std::optional<ExposureOptions> saved(const QString& dataPath)
{
    auto beside = readAnalysisBeside(fsPath(dataPath));
    return beside ? std::move(*beside) : std::nullopt;
}

} // namespace

AnalysisHub::AnalysisHub(QObject* parent) : QObject(parent) {}

AnalysisHub::~AnalysisHub() = default;

QString AnalysisHub::key(const QString& dataPath)
{
    return QFileInfo(dataPath).absoluteFilePath();
}

ExposureOptions AnalysisHub::exclusions(const QString& dataPath)
{
    const QString k = key(dataPath);
    if (const auto it = changed_.find(k); it != changed_.end())
        return it->second;
    ExposureOptions spans;
    if (auto options = saved(dataPath)) {
        spans.exclusions = std::move(options->exclusions);
        spans.reasons = std::move(options->reasons);
    }
    return spans;
}

Status AnalysisHub::changeExclusions(const QString& dataPath, const ExposureOptions& spans)
{
    auto checked = checkExclusions(spans.exclusions);
    if (!checked)
        return checked.error();
    const QString k = key(dataPath);
    ExposureOptions& held = changed_[k];
    held = ExposureOptions{};
    held.exclusions = *checked;
    held.reasons = spans.reasons;

    ExposureOptions whole = saved(dataPath).value_or(ExposureOptions{});
    whole.exclusions = held.exclusions;
    whole.reasons = held.reasons;
    const Status written = writeAnalysis(analysisPathFor(fsPath(dataPath)), whole,
                                         QFile::encodeName(QFileInfo(dataPath).fileName()).toStdString());
    emit exclusionsChanged(k);
    return written;
}

void AnalysisHub::offerCursors(QObject* owner, const QString& dataPath, CursorSpan span)
{
    withdrawCursors(owner);
    offers_.push_back({owner, key(dataPath), std::move(span)});
    connect(owner, &QObject::destroyed, this, [this, owner] { withdrawCursors(owner); });
    emit cursorsChanged();
}

void AnalysisHub::withdrawCursors(QObject* owner)
{
    const auto gone = std::remove_if(offers_.begin(), offers_.end(),
                                     [owner](const Offer& o) { return o.owner.isNull() || o.owner == owner; });
    if (gone == offers_.end())
        return;
    offers_.erase(gone, offers_.end());
    disconnect(owner, &QObject::destroyed, this, nullptr);
    emit cursorsChanged();
}

bool AnalysisHub::hasCursors(const QString& dataPath) const
{
    const QString k = key(dataPath);
    return std::any_of(offers_.begin(), offers_.end(),
                       [&k](const Offer& o) { return !o.owner.isNull() && o.dataPath == k; });
}

std::optional<TimeSpan> AnalysisHub::cursorSpan(const QString& dataPath) const
{
    const QString k = key(dataPath);
    for (auto it = offers_.rbegin(); it != offers_.rend(); ++it)
        if (!it->owner.isNull() && it->dataPath == k && it->span)
            return it->span();
    return std::nullopt;
}

} // namespace km740
