// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/PanelBench.h"

#include "panel/PanelToolbar.h"

#include <QAction>

namespace km740::test {

PanelBench::PanelBench(PanelBenchOptions options)
    : speed(options.speed), clock(options.speed), recorder(options.recordsPerPart)
{
    wire->failOpen = options.failOpen;
    auto m = std::make_unique<TappedMeter>(clock, wire);
    meter = m.get();
    worker = std::make_unique<MeterWorker>(std::move(m), clock);
    state.portNumber = 1;
    panel = std::make_unique<PanelWindow>(state, worker.get(), recorder, dialogs());
    worker->start();
}

PanelBench::~PanelBench()
{
    panel.reset();
    worker->stop();
}

PanelDialogs PanelBench::dialogs()
{
    PanelDialogs d;
    d.saveFile = [this](QWidget*, const QString&) { return saveAnswer; };
    d.confirmErase = [this](QWidget*) { return eraseAnswer; };
    d.serviceCode = [this](QWidget*) { return codeAnswer; };
    d.message = [this](QWidget*, const QString& text, bool) { messages << text; };
    d.openFile = [this](const QString& path) {
        openedFiles << path;
        return true;
    };
    d.openDataFile = [this](QWidget*) { return openAnswer; };
    d.locale = [this] { return locale; };
    return d;
}

std::size_t PanelBench::sentCount()
{
    std::lock_guard lock(wire->mutex);
    return wire->sent.size();
}

Bytes PanelBench::sentApartFromPolls(std::size_t from)
{
    std::lock_guard lock(wire->mutex);
    Bytes out;
    for (std::size_t i = from; i < wire->sent.size(); ++i)
        if (wire->sent[i] != 'F' && wire->sent[i] != 0x60)
            out.push_back(wire->sent[i]);
    return out;
}

Bytes PanelBench::sentSince(std::size_t from)
{
    std::lock_guard lock(wire->mutex);
    if (from >= wire->sent.size())
        return {};
    return Bytes(wire->sent.begin() + static_cast<std::ptrdiff_t>(from), wire->sent.end());
}

std::size_t PanelBench::writeCount()
{
    std::lock_guard lock(wire->mutex);
    return wire->timed.size();
}

std::optional<double> PanelBench::waitAfter(std::uint8_t command, std::size_t fromWrite)
{
    return waitBetween(command, 1, fromWrite);
}

std::optional<double> PanelBench::waitBetween(std::uint8_t command, int nth, std::size_t fromWrite)
{
    std::lock_guard lock(wire->mutex);
    const auto& w = wire->timed;
    for (std::size_t i = fromWrite; i < w.size(); ++i) {
        if (w[i].second != command)
            continue;
        const std::size_t j = i + static_cast<std::size_t>(nth);
        if (j >= w.size())
            return std::nullopt;
        return (w[j].first - w[i].first) * speed;
    }
    return std::nullopt;
}

QStringList PanelBench::visibleKeys() const
{
    QStringList keys;
    for (int n = 1; n <= PanelToolbar::buttonCount; ++n)
        if (panel->toolbar()->button(n)->isVisible())
            keys << panel->toolbar()->button(n)->objectName();
    return keys;
}

QString PanelBench::value(SettingsPanel::Field f) const
{
    return panel->settingsPanel()->value(f);
}

bool PanelBench::waitForFirstPoll(int ms)
{
    return waitFor([&] { return !value(SettingsPanel::Field::CalTime).isEmpty(); }, ms);
}

} // namespace km740::test
