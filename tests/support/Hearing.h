// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader would hear wrong in a window, read through Qt's
// accessibility interfaces as the AT-SPI bridge reads them.
#pragma once

#include <QStringList>

class QWidget;

namespace km740::test {

// One line per fault: a label whose text is hidden by a name of its own, a
// control with no name, an identifier (object or form name) announced, a
// window announced by anything but its title.
QStringList hearingFaults(QWidget* window);

} // namespace km740::test
