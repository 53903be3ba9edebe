// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Filing data files into the measurement archive off the window thread, one
// at a time, in the order asked. Saves hand their file over once it is
// written whole; filing never touches the file itself, so a filing that
// fails loses nothing but the archive's copy.

#include "app/ui/BackgroundTask.h"
#include "core/archive/Measurement.h"
#include "core/files/HeaderText.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>

namespace km740 {

struct FilingOutcome {
    QString path; // the file asked to be filed
    bool ok = false;
    bool added = false; // false with ok: the same bytes were filed before, as `id`
    std::int64_t id = 0;
    QString reason; // why it was not filed

    // "Filed as measurement N", "Already in the archive as measurement N" or
    // the reason it was not filed.
    QString text() const;
};

class ArchiveFiling : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const FilingOutcome&)>;

    // `folder` names the archive's folder when a filing starts.
    explicit ArchiveFiling(std::function<std::filesystem::path()> folder, QObject* parent = nullptr);
    ~ArchiveFiling() override;

    // Whether every measurement saved is filed at once.
    bool automatic() const { return automatic_; }
    void setAutomatic(bool on);
    // Called with the new choice, to keep it for the next start.
    void setRemember(std::function<void(bool)> remember) { remember_ = std::move(remember); }

    // Where the person, sector and company of a measurement come from: the
    // report header text, when one is loaded.
    void setHeaderText(std::function<std::optional<HeaderText>()> source) { headerText_ = std::move(source); }
    MeasurementLabels headerLabels() const;

    // A data file just saved: filed with the header text's labels when
    // automatic filing is on; `done` (if given) hears how it went. False
    // when automatic filing is off and nothing was asked.
    bool fileSaved(const QString& path, Done done = {});
    // Files the data file with these labels; `done` runs on the window thread.
    void file(const QString& path, const MeasurementLabels& labels, Done done = {});

    // Filings asked for and not ended yet.
    int pending() const { return static_cast<int>(queue_.size()); }

signals:
    void automaticChanged(bool on);
    // Every filing ends here, after its own `done`.
    void filed(const FilingOutcome& outcome);

private:
    struct Request {
        QString path;
        MeasurementLabels labels;
        Done done;
    };
    void startNext();
    void finish(FilingOutcome outcome);

    std::function<std::filesystem::path()> folder_;
    std::function<void(bool)> remember_;
    std::function<std::optional<HeaderText>()> headerText_;
    bool automatic_ = true;
    std::deque<Request> queue_; // the front one runs while running_
    bool running_ = false;
    BackgroundTask task_;
};

} // namespace km740
