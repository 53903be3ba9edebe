// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive/Measurement.h"

#include <QString>

#include <optional>

class QWidget;

namespace km740 {

// Person, sector, company and notes of a measurement, as edited; empty when
// cancelled.
std::optional<MeasurementLabels> askLabels(QWidget* parent, const QString& title, const MeasurementLabels& labels);

} // namespace km740
