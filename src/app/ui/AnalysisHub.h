// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the windows meet over the exposure analysis of a data file: the
// spans it leaves out (shaded in the Plot, greyed in the file list, left out
// of the histogram and the Exposure Summary) and the Plot's cursors, which
// the Exposure Summary can take a span from. Keys.cpp makes one and hands
// it to the window folders; a change made in one window is saved beside the
// data file at once and the others follow.

#include "core/common/Result.h"
#include "core/exposure/ExposureSummary.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
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

    // Makes `spans` (exclusions and reasons; the rest is not looked at) the
    // spans left out of `dataPath`, writes them into the analysis file
    // beside it with the other settings saved there, and tells the windows.
    // Fails when the analysis file cannot be written; the spans hold for
    // this run all the same.
    Status changeExclusions(const QString& dataPath, const ExposureOptions& spans);

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

    std::map<QString, ExposureOptions> changed_;
    std::vector<Offer> offers_;
};

} // namespace km740
