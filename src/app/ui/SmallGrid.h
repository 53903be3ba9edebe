// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTableWidget;
class QWidget;

namespace km740 {

// A read-only table of a few rows, its columns as wide as their contents,
// named for the tests and the screen reader.
QTableWidget* smallGrid(const QString& name, const QString& spoken, const QStringList& headers, QWidget* parent);

} // namespace km740
