// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archive/FileInArchive.h"

#include "app/archive/LabelsDialog.h"
#include "app/ui/ArchiveFiling.h"

#include <QObject>

namespace km740 {

FileInArchive::FileInArchive(ArchiveFiling& filing)
    : filing_(filing), ask_([](QWidget* parent, const MeasurementLabels& labels) {
          return askLabels(parent, QObject::tr("File in archive"), labels);
      })
{
}

ArchiveSink FileInArchive::sink()
{
    return [this](const ArchiveRequest& request) { file(request); };
}

void FileInArchive::file(const ArchiveRequest& request)
{
    const std::optional<MeasurementLabels> labels = ask_(request.from, filing_.headerLabels());
    if (!labels)
        return;
    if (request.tell)
        request.tell(QObject::tr("Filing in the archive..."));
    filing_.file(request.dataPath, *labels, [tell = request.tell](const FilingOutcome& outcome) {
        if (tell)
            tell(outcome.text());
    });
}

} // namespace km740
