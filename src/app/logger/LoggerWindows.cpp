// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerWindows.h"

#include "core/link/MeterLink.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/DataListWindow.h"
#include "app/logger/DataListdBWindow.h"
#include "core/logger/LoggerImageFile.h"
#include "app/logger/MemoryWindow.h"
#include "core/logger/SetDecoder.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/EraseLogger.h"
#include "app/ui/WindowContext.h"

#include <QDir>
#include <QLabel>

namespace km740 {

LoggerWindows::LoggerWindows(WindowContext& context) : context_(context)
{
    setObjectName(QStringLiteral("LoggerWindows"));
}

LoggerWindows::~LoggerWindows() = default;

MemoryWindow* LoggerWindows::memory() const
{
    return memory_;
}
DataListWindow* LoggerWindows::dataList() const
{
    return dataList_;
}
DataListdBWindow* LoggerWindows::dataListdB() const
{
    return dataListdB_;
}
AddTextWindow* LoggerWindows::addText() const
{
    return addText_;
}

void LoggerWindows::message(const QString& text, bool critical)
{
    context_.message(text, critical);
}

MemoryWindow* LoggerWindows::newMemory()
{
    auto* m = context_.windows().adopt(new MemoryWindow(context_.state(), dialogs_, context_.mainWindow()));
    memory_ = m;
    connect(m, &MemoryWindow::setChosen, this, &LoggerWindows::openSet);
    connect(m, &MemoryWindow::eraseRequested, this, [this, m] { eraseLogger(context_, m, [m] { m->close(); }); });
    connect(m, &MemoryWindow::downloadFailed, this, [this](const QString& text, bool cancelled) {
        if (!cancelled)
            message(text, true);
    });
    return m;
}

void LoggerWindows::onLoggerKey()
{
    AppState& state = context_.state();
    MeterWorker* worker = context_.worker();
    if (state.memoryOpen || asking_ || state.linkBusy || !worker)
        return;
    state.meterInUse = true;
    asking_ = true;
    worker->post<MemoryStatus>(
        this,
        [](MeterLink& link) -> Result<MemoryStatus> {
            if (auto s = link.discardInput(); !s)
                return s.error();
            return link.readMemoryStatus();
        },
        [this](const Result<MemoryStatus>& r) {
            asking_ = false;
            AppState& st = context_.state();
            // A failed "A" leaves the lost-link loop to the worker.
            if (!r || st.linkBusy || !context_.worker()) {
                st.meterInUse = false;
                return;
            }
            if (r->empty()) {
                st.meterInUse = false;
                message(QStringLiteral("No Data in Memoy!"), false);
                return;
            }
            MemoryWindow* m = newMemory();
            m->show();
            m->download(*context_.worker(), *r, context_.regional());
        });
}

bool LoggerWindows::openImageFile(const QString& path)
{
    if (context_.state().memoryOpen)
        return false;
    Result<LoggerImage> image = readLoggerImageFile(path.toStdString());
    if (!image) {
        message(tr("The logger image was not opened: %1").arg(QString::fromStdString(image.error().message)), true);
        return false;
    }
    MemoryWindow* m = newMemory();
    m->showImage(std::move(image).value(), path);
    m->show();
    return true;
}

void LoggerWindows::openSet(int number)
{
    if (!memory_)
        return;
    const LoggerSet* set = memory_->sets().find(number);
    if (!set)
        return;
    Result<DataFile> decoded = decodeSet(*set, context_.regional());
    if (!decoded) {
        memory_->lblMessage()->setText(QString::fromStdString(decoded.error().message));
        return;
    }
    QStringList notes;
    if (set->incomplete)
        notes << tr("This set is cut short: it holds its whole records up to where it ends.");
    if (set->summaryMissing)
        notes << tr("Its closing summary is missing, so Dose and TWA are not known.");
    if (set->droppedPauses() > 0)
        notes << tr("The set has %1 pauses; the pause list holds the first %2, the other %3 are left out of it. "
                    "Every record is kept.")
                     .arg(set->pauses.size())
                     .arg(LoggerSet::maxPauses)
                     .arg(set->droppedPauses());
    const QString note = notes.join(QLatin1Char(' '));
    AppState& state = context_.state();
    const auto chooser = context_.dialogs().saveFile;
    // One list of each kind: the next decode replaces it.
    if (dataList_)
        dataList_->close();
    if (set->isDoseSet()) {
        auto* w = context_.windows().adopt(new DataListWindow(state, chooser, context_.mainWindow()));
        dataList_ = w;
        w->setPrintDialogs(dialogs_.print);
        w->showSet(std::move(decoded).value(), note);
        fileWhenSaved(w);
        if (addText_)
            w->setHeaderText(addText_->text());
        w->show();
    } else {
        if (dataListdB_)
            dataListdB_->close();
        auto* w = context_.windows().adopt(new DataListdBWindow(state, chooser, context_.mainWindow()));
        dataListdB_ = w;
        w->setPrintDialogs(dialogs_.print);
        w->setExposureSink(exposureSink_);
        w->showSet(std::move(decoded).value(), note);
        fileWhenSaved(w);
        w->show();
    }
}

void LoggerWindows::onAddTextKey()
{
    AppState& state = context_.state();
    if (state.headerTextOpen || addText_)
        return;
    state.headerTextOpen = true;
    auto* w = context_.windows().adopt(new AddTextWindow(state, dialogs_, context_.mainWindow()));
    addText_ = w;
    connect(w, &AddTextWindow::textChanged, this, [this](const HeaderText& text) {
        if (context_.state().dataListOpen && dataList_)
            dataList_->setHeaderText(text);
    });
    w->show();
}

void LoggerWindows::fileWhenSaved(LoggerListWindow* window)
{
    connect(window, &LoggerListWindow::saveFinished, this, [this, window](bool ok, const QString& path) {
        if (ok)
            context_.filing().fileSaved(path, context_.filingReport(window->messageLine()));
    });
}

} // namespace km740
