// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QToolBar;
class QWidget;

namespace km740 {

// "Open File to Read (Ctrl+O)": a tooltip that tells the key too.
QString withShortcut(const QString& text, const QKeySequence& key);

// Gives the action its key and says so in its tooltip.
void setActionKey(QAction* action, const QKeySequence& key);

// The desktop's Close key (Ctrl+W, Ctrl+F4) closes the window as its title
// bar button does; with `escape` Escape does too, for the small windows.
void addCloseKeys(QWidget* window, bool escape);

// Tool bar buttons take no focus by default; these are reached with Tab.
void letTabReach(QToolBar* toolbar);

} // namespace km740
