// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/LoggerImage.h"

#include <algorithm>

namespace km740 {

LoggerImage::LoggerImage(std::vector<std::uint8_t> downloaded)
    : bytes_(std::move(downloaded)), downloaded_(bytes_.size())
{
    const std::size_t copy = std::min<std::size_t>(4, downloaded_);
    bytes_.reserve(downloaded_ + copy);
    for (std::size_t i = 0; i < copy; ++i)
        bytes_.push_back(bytes_[i]);
}

} // namespace km740
