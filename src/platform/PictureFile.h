// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Saving a chart as a picture: PNG (pixels) or SVG (lines and text).

#include "core/common/Result.h"

#include <QSize>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QPainter;

namespace km740 {

enum class PictureFormat { png, svg };

// By the name's extension (".png", ".svg", any letter case).
std::optional<PictureFormat> pictureFormatOf(const std::filesystem::path& path);

// Paints a picture of `size` pixels at `dotsPerInch` (which sets how big
// text in points comes out) on a white ground and writes it, whole or not
// at all, in the format the name's extension says.
Status writePicture(const std::filesystem::path& target, const QSize& size, double dotsPerInch,
                    const std::function<void(QPainter&)>& paint, const QString& title = {});

} // namespace km740
