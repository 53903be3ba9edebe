// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerWindows.h"

#include "core/link/MeterLink.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/DataListWindow.h"
#include "app/logger/DataListdBWindow.h"
#include "core/logger/LoggerImageFile.h"
#include "app/logger/MemoryWindow.h"
#include "core/logger/SetDecoder.h"
#include "core/recording/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/panel/PanelWindow.h"

#include <QDir>
#include <QLabel>

namespace km740 {

LoggerWindows::LoggerWindows(PanelWindow& panel) : QObject(&panel), panel_(panel)
{
    setObjectName(QStringLiteral("LoggerWindows"));
}

LoggerWindows::~LoggerWindows()
{
    const std::initializer_list<QPointer<QWidget>> windows{memory_.data(), dataList_.data(), dataListdB_.data(),
                                                           addText_.data()};
    for (const QPointer<QWidget>& w : windows) {
        if (w)
            w->close();
        delete w.data();
    }
}

LoggerWindows* LoggerWindows::of(const PanelWindow& panel)
{
    return panel.findChild<LoggerWindows*>(QStringLiteral("LoggerWindows"), Qt::FindDirectChildrenOnly);
}

MemoryWindow* LoggerWindows::memory() const { return memory_; }
DataListWindow* LoggerWindows::dataList() const { return dataList_; }
DataListdBWindow* LoggerWindows::dataListdB() const { return dataListdB_; }
AddTextWindow* LoggerWindows::addText() const { return addText_; }

void LoggerWindows::message(const QString& text, bool critical)
{
    if (panel_.dialogs().message)
        panel_.dialogs().message(&panel_, text, critical);
}

MemoryWindow* LoggerWindows::newMemory()
{
    auto* m = new MemoryWindow(panel_.state(), dialogs_, &panel_);
    memory_ = m;
    connect(m, &MemoryWindow::setChosen, this, &LoggerWindows::openSet);
    connect(m, &MemoryWindow::eraseRequested, this, [this, m] {
        panel_.eraseLogger(m, [m] { m->close(); });
    });
    connect(m, &MemoryWindow::downloadFailed, this, [this](const QString& text, bool cancelled) {
        if (!cancelled)
            message(text, true);
    });
    return m;
}

void LoggerWindows::onLoggerKey()
{
    AppState& state = panel_.state();
    MeterWorker* worker = panel_.worker();
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
            AppState& st = panel_.state();
            // A failed "A" leaves the lost-link loop to the worker.
            if (!r || st.linkBusy || !panel_.worker()) {
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
            m->download(*panel_.worker(), *r, panel_.regional());
        });
}

bool LoggerWindows::openImageFile(const QString& path)
{
    if (panel_.state().memoryOpen)
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
    Result<DataFile> decoded = decodeSet(*set, panel_.regional());
    if (!decoded) {
        memory_->lblMessage()->setText(QString::fromStdString(decoded.error().message));
        return;
    }
    QStringList notes;
    if (set->incomplete)
        notes << tr("This set is cut short: it holds its whole records up to where it ends.");
    if (set->droppedPauses() > 0)
        notes << tr("The set has %1 pauses; the pause list holds the first %2, the other %3 are left out of it. "
                    "Every record is kept.")
                     .arg(set->pauses.size())
                     .arg(LoggerSet::maxPauses)
                     .arg(set->droppedPauses());
    const QString note = notes.join(QLatin1Char(' '));
    AppState& state = panel_.state();
    const auto chooser = panel_.dialogs().saveFile;
    // One list of each kind: the next decode replaces it.
    if (dataList_)
        dataList_->close();
    if (set->isDoseSet()) {
        auto* w = new DataListWindow(state, chooser, &panel_);
        dataList_ = w;
        w->setPrintDialogs(dialogs_.print);
        w->showSet(std::move(decoded).value(), note);
        if (addText_)
            w->setHeaderText(addText_->text());
        w->show();
    } else {
        if (dataListdB_)
            dataListdB_->close();
        auto* w = new DataListdBWindow(state, chooser, &panel_);
        dataListdB_ = w;
        w->setPrintDialogs(dialogs_.print);
        w->showSet(std::move(decoded).value(), note);
        w->show();
    }
}

void LoggerWindows::onAddTextKey()
{
    AppState& state = panel_.state();
    if (state.headerTextOpen || addText_)
        return;
    state.headerTextOpen = true;
    auto* w = new AddTextWindow(state, dialogs_, &panel_);
    addText_ = w;
    connect(w, &AddTextWindow::textChanged, this, [this](const HeaderText& text) {
        if (panel_.state().dataListOpen && dataList_)
            dataList_->setHeaderText(text);
    });
    w->show();
}

} // namespace km740
