// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/SaveDialog.h"

#include "app/ui/KeyHints.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QStyle>
#include <QToolBar>

namespace km740 {

QString chooseDataFileToSave(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QObject::tr("Save As"), folder, QStringLiteral("Data Files (*.sonx);;All Files (*.*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("sonx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QAction* addSaveAction(QToolBar* toolbar)
{
    const QString icon = QStringLiteral(":/toolbar/save.svg");
    QAction* save = toolbar->addAction(
        QFile::exists(icon) ? QIcon(icon) : toolbar->style()->standardIcon(QStyle::SP_DialogSaveButton),
        QStringLiteral("Save"));
    save->setObjectName(QStringLiteral("Save"));
    save->setToolTip(QStringLiteral("Save As"));
    setActionKey(save, QKeySequence::Save);
    return save;
}

} // namespace km740
