// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/ArchiveFiling.h"

#include "app/ui/QtText.h"
#include "core/archive/Archive.h"

#include <QDateTime>
#include <QFile>

namespace km740 {

QString FilingOutcome::text() const
{
    if (!ok)
        return QObject::tr("Not filed in the archive: %1").arg(reason);
    return added ? QObject::tr("Filed as measurement %1").arg(id)
                 : QObject::tr("Already in the archive as measurement %1").arg(id);
}

ArchiveFiling::ArchiveFiling(std::function<std::filesystem::path()> folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder))
{
    setObjectName(QStringLiteral("ArchiveFiling"));
}

// A filing still running finishes on its pool thread; its result is dropped.
ArchiveFiling::~ArchiveFiling() = default;

void ArchiveFiling::setAutomatic(bool on)
{
    if (on == automatic_)
        return;
    automatic_ = on;
    if (remember_)
        remember_(on);
    emit automaticChanged(on);
}

MeasurementLabels ArchiveFiling::headerLabels() const
{
    MeasurementLabels labels;
    if (const std::optional<HeaderText> h = headerText_ ? headerText_() : std::nullopt) {
        labels.person = h->name;
        labels.sector = h->sector;
        labels.company = h->company;
    }
    return labels;
}

bool ArchiveFiling::fileSaved(const QString& path, Done done)
{
    if (!automatic_)
        return false;
    file(path, headerLabels(), std::move(done));
    return true;
}

void ArchiveFiling::file(const QString& path, const MeasurementLabels& labels, Done done)
{
    queue_.push_back(Request{path, labels, std::move(done)});
    startNext();
}

void ArchiveFiling::startNext()
{
    if (running_ || queue_.empty())
        return;
    running_ = true;
    const Request& r = queue_.front();
    const std::filesystem::path folder = folder_ ? folder_() : std::filesystem::path();
    const std::filesystem::path source(fsPath(r.path));
    const std::string filedAt =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString();
    task_.start(
        this,
        [folder, source, labels = r.labels, filedAt, path = r.path](const BackgroundTask::Job&) {
            FilingOutcome outcome;
            outcome.path = path;
            if (folder.empty()) {
                outcome.reason = QObject::tr("no archive folder is set");
                return outcome;
            }
            auto archive = Archive::open(folder);
            if (!archive) {
                outcome.reason = q(archive.error().message);
                return outcome;
            }
            auto filed = archive->file(source, labels, filedAt);
            if (!filed) {
                outcome.reason = q(filed.error().message);
                return outcome;
            }
            outcome.ok = true;
            outcome.added = filed->added;
            outcome.id = filed->id;
            return outcome;
        },
        [](ArchiveFiling&, std::int64_t) {},
        [](ArchiveFiling& f, FilingOutcome outcome) { f.finish(std::move(outcome)); });
}

void ArchiveFiling::finish(FilingOutcome outcome)
{
    running_ = false;
    Request done = std::move(queue_.front());
    queue_.pop_front();
    if (done.done)
        done.done(outcome);
    emit filed(outcome);
    startNext();
}

} // namespace km740
