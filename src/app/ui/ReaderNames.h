// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QString>

namespace km740 {

// Names a combo box for screen readers. Qt's Linux accessibility bridge
// announces a combo box by its current text and drops its accessible name,
// so the name also goes into the description: "0, Service value", not "0".
inline void nameComboBox(QComboBox* box, const QString& name)
{
    box->setAccessibleName(name);
    box->setAccessibleDescription(name);
}

} // namespace km740
