// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/DataFileWriter.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>

namespace km740 {

// Carries calls from a pool thread back to a window that may close
// meanwhile: made on the window's thread, posted to from any thread, and
// finished once by the pool thread after its last post.
template <typename Window>
class WindowRelay {
public:
    explicit WindowRelay(Window* window)
        : relay_(new QObject), self_(std::make_shared<const QPointer<Window>>(window))
    {
    }

    // fn(window) runs on the window's thread, if the window still exists.
    template <typename Fn>
    void post(Fn fn) const
    {
        QMetaObject::invokeMethod(
            relay_,
            [self = self_, fn = std::move(fn)] {
                if (*self)
                    fn(**self);
            },
            Qt::QueuedConnection);
    }

    // The relay goes once what was posted has run. The deletion is asked for
    // on the relay's own thread, behind the posts.
    void finish() const
    {
        QMetaObject::invokeMethod(
            relay_, [relay = relay_] { relay->deleteLater(); }, Qt::QueuedConnection);
    }

    // A data-file write progress that posts show(window, row) every `every`
    // rows and at the last one, `last`.
    template <typename Show>
    WriteProgress progressEvery(std::int64_t every, std::int64_t last, Show show) const
    {
        return [relay = *this, every, last, show](std::int64_t row) {
            if (row > 0 && (row % every == 0 || row == last))
                relay.post([show, row](Window& w) { show(w, row); });
            return true;
        };
    }

private:
    QObject* relay_;
    std::shared_ptr<const QPointer<Window>> self_;
};

} // namespace km740
