// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/AtomicFile.h"

#include <QIODevice>

namespace km740 {

// A QIODevice that writes into an AtomicFile, so that what Qt writes (a
// PDF, an image) appears whole under its name or not at all. The first
// failed write is kept and every later one refused.
class AtomicDevice : public QIODevice {
public:
    explicit AtomicDevice(AtomicFile& file) : file_(file) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    const Status& status() const { return status_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (status_.ok())
            status_ = file_.write(std::string_view(data, static_cast<std::size_t>(size)));
        return status_.ok() ? size : -1;
    }

private:
    AtomicFile& file_;
    Status status_ = success();
};

} // namespace km740
