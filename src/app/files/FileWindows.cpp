// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/FileWindows.h"

#include "core/lists/DerivedFromFile.h"
#include "core/files/DataFileReader.h"
#include "app/files/FileListWindow.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/QtText.h"
#include "app/ui/WindowContext.h"

#include <QFile>
#include <QFileDialog>

namespace km740 {

FileListDialogs FileListDialogs::desktop()
{
    FileListDialogs d;
    static_cast<PrintDialogs&>(d) = PrintDialogs::desktop();
    d.saveCsv = [](QWidget* parent, const QString& suggested) -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(parent, QObject::tr("Export CSV"), suggested,
                                                          QObject::tr("CSV Files (*.csv);;All Files (*)"));
        if (path.isEmpty())
            return std::nullopt;
        return path;
    };
    return d;
}

FileWindows::FileWindows(WindowContext& context) : context_(context)
{
    setObjectName(QStringLiteral("FileWindows"));
}

FileWindows::~FileWindows() = default;

void FileWindows::onOpenClick()
{
    const AppDialogs& d = context_.dialogs();
    if (!d.openDataFile)
        return;
    const std::optional<QString> path = d.openDataFile(context_.mainWindow());
    if (!path || path->isEmpty())
        return;
    open(*path);
}

bool FileWindows::open(const QString& path, const QString& caption)
{
    auto kind = peekDataFileKind(fsPath(path));
    if (!kind) {
        if (dialogs_.message)
            dialogs_.message(context_.mainWindow(), QString::fromStdString(kind.error().message), true);
        return false;
    }
    const FileListKind windowKind = fileListKindOf(*kind);
    if (QPointer<FileListWindow>& old = windows_[windowKind]) {
        delete old.data();
    }
    auto* window = context_.windows().adopt(new FileListWindow(*this, windowKind, path, context_.regional(), caption));
    windows_[windowKind] = window;
    window->show();
    window->startReading();
    return true;
}

FileListWindow* FileWindows::window(FileListKind kind) const
{
    const auto it = windows_.find(kind);
    return it == windows_.end() ? nullptr : it->second.data();
}

void FileWindows::setChartSink(ChartSink sink)
{
    chartSink_ = std::move(sink);
    emit chartsChanged();
}

void FileWindows::setExposureSink(ExposureSink sink)
{
    exposureSink_ = std::move(sink);
    emit chartsChanged();
}

void FileWindows::setArchiveSink(ArchiveSink sink)
{
    archiveSink_ = std::move(sink);
    emit chartsChanged();
}

void FileWindows::setReportSink(ReportSink sink)
{
    reportSink_ = std::move(sink);
    emit chartsChanged();
}

} // namespace km740
