// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the windows meet over the exposure analysis of a data file: the
// spans it leaves out (shaded in the Plot, greyed in the file list, left out
// of the histogram and the Exposure Summary) and the Plot's cursors, which
// the Exposure Summary can take a span from. Keys.cpp makes one and hands
// it to the window folders; a change made in one window holds at once, the
// others follow, and it is saved beside the data file off the window thread.

#include "app/ui/BackgroundTask.h"
#include "core/common/Result.h"
#include "core/exposure/ExposureSummary.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace km740 {

class AnalysisHub : public QObject {
    Q_OBJECT
public:
    explicit AnalysisHub(QObject* parent = nullptr);
    ~AnalysisHub() override;

    // The spans left out of `dataPath` (and their reasons): as last changed
    // in this run, else as saved beside the file, else none.
    ExposureOptions exclusions(const QString& dataPath);

    // How a save went, told on the window thread to the one who asked for
    // the newest save of that file.
    using SaveDone = std::function<void(const Status&)>;

    // Makes `spans` (exclusions and reasons; the rest is not looked at) the
    // spans left out of `dataPath` and tells the windows. Then writes them
    // into the analysis file beside it, with the other settings saved
    // there, off the window thread: saves of one file run one after the
    // other and the newest spans are written last. Fails at once only for
    // bad spans; a failed save leaves the spans holding for this run.
    Status changeExclusions(const QString& dataPath, const ExposureOptions& spans, SaveDone done = {});
    // Writes `options` whole into the analysis file beside `dataPath`, in
    // turn with the spans' saves.
    void saveAnalysis(const QString& dataPath, const ExposureOptions& options, SaveDone done);
    // Saves not yet done.
    bool isSaving() const { return saves_.running() > 0; }

    // The span between a Plot's cursors, empty while they do not mark one.
    using CursorSpan = std::function<std::optional<TimeSpan>()>;
    // `owner` (the Plot) offers its cursors on `dataPath` until it is gone
    // or withdraws them.
    void offerCursors(QObject* owner, const QString& dataPath, CursorSpan span);
    void withdrawCursors(QObject* owner);
    bool hasCursors(const QString& dataPath) const;
    std::optional<TimeSpan> cursorSpan(const QString& dataPath) const;

    // One spelling of a data file's path, for comparing.
    static QString key(const QString& dataPath);

signals:
    void exclusionsChanged(const QString& dataPath);
    void cursorsChanged();

private:
    struct Offer {
        QPointer<QObject> owner;
        QString dataPath;
        CursorSpan span;
    };

    struct SaveQueue;
    void queueSave(const QString& dataPath, const ExposureOptions& options, bool whole, SaveDone done);
    struct SaveWritten {
        std::uint64_t request = 0; // the newest request written
        Status status = success();
    };
    void saveDone(const QString& key, const SaveWritten& written);

    std::map<QString, ExposureOptions> changed_;
    std::vector<Offer> offers_;
    std::map<QString, std::shared_ptr<SaveQueue>> saveQueues_;
    std::uint64_t lastRequest_ = 0;
    // Whom to tell how a save went, by request number, until it is written.
    std::map<std::uint64_t, std::pair<QString, SaveDone>> waitingSaves_;
    BackgroundTask saves_;
};

} // namespace km740
