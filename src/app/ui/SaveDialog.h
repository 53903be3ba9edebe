// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QAction;
class QToolBar;
class QWidget;

namespace km740 {

// The save dialog every data file writer shows: "Data Files (*.sonx)" or
// "All Files (*.*)", a question before an existing file is replaced, ".sonx"
// added to a name typed without an extension. The full path, or empty when
// the user cancelled.
QString chooseDataFileToSave(QWidget* parent, const QString& folder);

// The "Save" key of a list window's toolbar (tooltip "Save As").
QAction* addSaveAction(QToolBar* toolbar);

} // namespace km740
