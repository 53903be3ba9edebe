// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/SaveDialog.h"

#include <QFileDialog>

namespace km740 {

QString chooseDataFileToSave(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QObject::tr("Save As"), folder,
                       QStringLiteral("Data Files (*.sonx);;All Files (*.*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("sonx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace km740
