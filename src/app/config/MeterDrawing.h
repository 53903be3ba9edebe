// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Codes.h"

#include <QWidget>

#include <array>

class QSvgRenderer;

namespace km740 {

// The drawing of the meter with a copy of its segment display: element i of
// LCDk is lit when bit i of display byte k is set. Sizes are those of the
// drawing, 320 x 600 pixels.
class MeterDrawing : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize drawingSize{320, 600};

    explicit MeterDrawing(QWidget* parent = nullptr);

    void showSegments(const std::array<std::uint8_t, 12>& bytes);
    // Whether element `element` (0..7) of LCD`lcd` (1..12) is shown.
    bool lit(int lcd, int element) const;

    QSize sizeHint() const override { return drawingSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer* svg_ = nullptr;
    SegmentBits bits_{};
};

} // namespace km740
