// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/link/MeterLink.h"
#include "core/link/Replies.h"
#include "app/ui/MeterWorker.h"

#include <QObject>

#include <functional>

namespace km740 {

// The current dose preset ("R") and the user preset table ("C").
struct PresetReply {
    int presetIndex = 0;
    UserPresetTable table;
};

// Reads both from the meter and calls done on the context's thread.
using PresetReader =
    std::function<void(QObject* context, std::function<void(const Result<PresetReply>&)> done)>;

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
            context,
            [](MeterLink& link) -> Result<PresetReply> {
                if (Status s = link.discardInput(); !s)
                    return s.error();
                auto preset = link.readPresetIndex();
                if (!preset)
                    return preset.error();
                auto table = link.readUserPresetTable();
                if (!table)
                    return table.error();
                return PresetReply{*preset, *table};
            },
            std::move(done));
    };
}

} // namespace km740
