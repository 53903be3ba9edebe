// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PictureFile.h"

#include "platform/AtomicDevice.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>

namespace km740 {

std::optional<PictureFormat> pictureFormatOf(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".png")
        return PictureFormat::png;
    if (ext == ".svg")
        return PictureFormat::svg;
    return std::nullopt;
}

Status writePicture(const std::filesystem::path& target, const QSize& size, double dotsPerInch,
                    const std::function<void(QPainter&)>& paint, const QString& title)
{
    const auto format = pictureFormatOf(target);
    if (!format)
        return failure(FailureKind::data, target.string() + ": give the picture a name ending in .png or .svg");
    if (size.isEmpty())
        return failure(FailureKind::data, target.string() + ": nothing to draw");
    if (*format == PictureFormat::png) {
        QImage image(size, QImage::Format_ARGB32);
        image.setDotsPerMeterX(static_cast<int>(dotsPerInch / 0.0254 + 0.5));
        image.setDotsPerMeterY(static_cast<int>(dotsPerInch / 0.0254 + 0.5));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            paint(p);
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return failure(FailureKind::io, target.string() + ": the picture could not be made");
        return writeFileAtomically(target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    auto file = AtomicFile::create(target);
    if (!file)
        return file.error();
    AtomicDevice device(*file);
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&device);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        svg.setResolution(static_cast<int>(dotsPerInch + 0.5));
        QPainter p;
        if (!p.begin(&svg))
            return failure(FailureKind::io, target.string() + ": the picture could not be made");
        p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        paint(p);
        p.end();
    }
    if (!device.status())
        return device.status().error();
    return file->commit();
}

} // namespace km740
