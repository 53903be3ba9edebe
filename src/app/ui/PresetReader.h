// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/link/MeterLink.h"
#include "app/ui/MeterWorker.h"

#include <QObject>

#include <functional>

namespace km740 {

// Reads the dose preset and the user preset table ("R" then "C") and calls
// done on the context's thread.
using PresetReader = std::function<void(QObject* context, std::function<void(const Result<PresetReply>&)> done)>;

// The reader that asks the meter through the worker.
inline PresetReader presetReaderFor(MeterWorker* worker)
{
    QPointer<MeterWorker> w(worker);
    return [w](QObject* context, std::function<void(const Result<PresetReply>&)> done) {
        if (!w) {
            done(failure(FailureKind::io, "the meter is not connected"));
            return;
        }
        w->post<PresetReply>(
            context, [](MeterLink& link) { return link.readPresets(); }, std::move(done));
    };
}

} // namespace km740
