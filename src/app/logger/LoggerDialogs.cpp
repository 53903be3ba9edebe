// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerDialogs.h"

#include <QFileDialog>

namespace km740 {

namespace {

QString ask(QWidget* parent, const QString& title, const QString& filters, const QString& suffix, bool save)
{
    QFileDialog dialog(parent, title, QString(), filters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Both header text kinds are the same three lines: either opens.
const QString nse = QStringLiteral("Nome, Setor, Empresa (*.nse)");
const QString cna = QStringLiteral("Company, Name, Address (*.cna)");
const QString image = QStringLiteral("Logger Images (*.km740img)");
const QString all = QStringLiteral("All Files (*)");

} // namespace

LoggerDialogs LoggerDialogs::desktop()
{
    LoggerDialogs d;
    d.openHeaderText = [](QWidget* parent) {
        return ask(parent, QObject::tr("Open"), nse + ";;" + cna + ";;" + all, {}, false);
    };
    d.saveHeaderText = [](QWidget* parent) {
        return ask(parent, QObject::tr("Save As"), cna + ";;" + nse, QStringLiteral("cna"), true);
    };
    d.openImage = [](QWidget* parent) {
        return ask(parent, QObject::tr("Open Logger Image"), image + ";;" + all, {}, false);
    };
    d.saveImage = [](QWidget* parent) {
        return ask(parent, QObject::tr("Save Logger Image"), image, QStringLiteral("km740img"), true);
    };
    d.print = PrintDialogs::desktop();
    return d;
}

} // namespace km740
