// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/AnalysisHub.h"

#include "app/ui/QtText.h"
#include "core/exposure/ExposureAnalysis.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <mutex>

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

// The spans waiting to be written into one analysis file, shared with the
// job that writes them.
struct AnalysisHub::SaveQueue {
    struct Pending {
        std::uint64_t request = 0;
        ExposureOptions options;
        bool whole = false; // else only its spans replace the saved ones
    };
    std::filesystem::path dataFile;
    std::string dataFileName;
    std::mutex lock;
    std::optional<Pending> next;
    bool writing = false; // a job is on it

    // Runs on a pool thread: writes whatever waits, newest last, until
    // nothing does.
    SaveWritten writeAll()
    {
        SaveWritten last;
        for (;;) {
            Pending pending;
            {
                const std::lock_guard guard(lock);
                if (!next) {
                    writing = false;
                    return last;
                }
                pending = std::move(*next);
                next.reset();
            }
            ExposureOptions whole = std::move(pending.options);
            if (!pending.whole) {
                auto beside = readAnalysisBeside(dataFile);
                ExposureOptions kept = beside && *beside ? std::move(**beside) : ExposureOptions{};
                kept.exclusions = std::move(whole.exclusions);
                kept.reasons = std::move(whole.reasons);
                whole = std::move(kept);
            }
            last = {pending.request, writeAnalysis(analysisPathFor(dataFile), whole, dataFileName)};
        }
    }
};

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

Status AnalysisHub::changeExclusions(const QString& dataPath, const ExposureOptions& spans, SaveDone done)
{
    auto checked = checkExclusions(spans.exclusions);
    if (!checked)
        return checked.error();
    const QString k = key(dataPath);
    ExposureOptions& held = changed_[k];
    held = ExposureOptions{};
    held.exclusions = *checked;
    held.reasons = spans.reasons;

    queueSave(dataPath, held, false, std::move(done));
    emit exclusionsChanged(k);
    return success();
}

void AnalysisHub::saveAnalysis(const QString& dataPath, const ExposureOptions& options, SaveDone done)
{
    queueSave(dataPath, options, true, std::move(done));
}

void AnalysisHub::queueSave(const QString& dataPath, const ExposureOptions& options, bool whole, SaveDone done)
{
    const QString k = key(dataPath);
    std::shared_ptr<SaveQueue>& queue = saveQueues_[k];
    if (!queue) {
        queue = std::make_shared<SaveQueue>();
        queue->dataFile = fsPath(dataPath);
        queue->dataFileName = QFile::encodeName(QFileInfo(dataPath).fileName()).toStdString();
    }
    const std::uint64_t request = ++lastRequest_;
    if (done)
        waitingSaves_[request] = {k, std::move(done)};
    bool start = false;
    {
        const std::lock_guard guard(queue->lock);
        if (queue->next && queue->next->whole && !whole) {
            // Whole options still waiting take the newer spans.
            queue->next->options.exclusions = options.exclusions;
            queue->next->options.reasons = options.reasons;
            queue->next->request = request;
        } else {
            queue->next = SaveQueue::Pending{request, options, whole};
        }
        start = !queue->writing;
        queue->writing = true;
    }
    // A job already writing this file takes these after its current write;
    // else one starts. It runs to the end even when the program closes
    // meanwhile.
    if (start)
        saves_.start(
            this, [queue](const BackgroundTask::Job&) { return queue->writeAll(); }, [](AnalysisHub&, std::int64_t) {},
            [k](AnalysisHub& hub, const SaveWritten& written) { hub.saveDone(k, written); });
}

void AnalysisHub::saveDone(const QString& key, const SaveWritten& written)
{
    for (auto it = waitingSaves_.begin(); it != waitingSaves_.end() && it->first <= written.request;) {
        if (it->second.first != key) {
            ++it;
            continue;
        }
        // Only the newest save speaks: the older ones were written over.
        if (it->first == written.request && it->second.second)
            it->second.second(written.status);
        it = waitingSaves_.erase(it);
    }
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
