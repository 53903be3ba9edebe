// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PanelBench.h"

#include "app/panel/PanelToolbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace km740::test {

PanelBench::PanelBench(PanelBenchOptions options)
    : WorkerBench(options.speed, options.failOpen), recorder(options.recordsPerPart)
{
    state.portNumber = options.portDevice.empty() ? 1 : 0;
    state.portDevice = options.portDevice;
    context = std::make_unique<WindowContext>(state, worker.get(), dialogs());
    context->setArchiveFolder(archive.path());
    keys = std::make_unique<Keys>(*context);
    panel = std::make_unique<PanelWindow>(*context, recorder, keys->handlers());
    panel->timer2()->setInterval(options.sampleMs);
    worker->start();
}

PanelBench::~PanelBench()
{
    panel.reset();
    keys.reset();
    context.reset();
}

AppDialogs PanelBench::dialogs()
{
    AppDialogs d;
    d.saveFile = [this](QWidget*, const QString&) { return saveAnswer; };
    d.confirmErase = [this](QWidget*) {
        ++eraseAsked;
        return eraseAnswer;
    };
    d.serviceCode = [this](QWidget*) { return codeAnswer; };
    d.message = [this](QWidget*, const QString& text, bool) { messages << text; };
    d.openFile = [this](const QString& path) {
        openedFiles << path;
        return viewerOpens;
    };
    d.openDataFile = [this](QWidget*) { return openAnswer; };
    d.locale = [this] { return locale; };
    return d;
}

QStringList PanelBench::visibleKeys() const
{
    QStringList shown;
    for (int n = 1; n <= PanelToolbar::buttonCount; ++n)
        if (panel->toolbar()->button(n)->isVisible())
            shown << panel->toolbar()->button(n)->objectName();
    return shown;
}

QString PanelBench::value(SettingsPanel::Field f) const
{
    return panel->settingsPanel()->value(f);
}

bool PanelBench::waitForFirstPoll(int ms)
{
    return waitFor([&] { return !value(SettingsPanel::Field::CalTime).isEmpty(); }, ms);
}

Bytes PanelBench::sentBy(const std::function<void()>& action, int ms)
{
    const bool polling = panel->timer1()->isActive();
    panel->timer1()->stop();
    auto idle = [&] { return worker->idle(); };
    EXPECT_TRUE(waitFor(idle, ms)) << "the worker was busy before the action";
    const std::size_t mark = sentCount();
    action();
    // A result comes back to this thread and may post the next job.
    EXPECT_TRUE(waitFor(idle, ms)) << "the worker was still busy after the action";
    QCoreApplication::processEvents();
    EXPECT_TRUE(waitFor(idle, ms));
    if (polling)
        panel->timer1()->start();
    return sentApartFromPolls(mark);
}

} // namespace km740::test
