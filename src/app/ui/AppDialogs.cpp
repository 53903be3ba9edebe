// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/AppDialogs.h"

#include "app/ui/SaveDialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace km740 {

AppDialogs AppDialogs::desktop()
{
    AppDialogs d;
    d.saveFile = [](QWidget* parent, const QString& folder) -> std::optional<QString> {
        const QString path = chooseDataFileToSave(parent, folder);
        if (path.isEmpty())
            return std::nullopt;
        return path;
    };
    d.confirmErase = [](QWidget* parent) {
        return QMessageBox::warning(parent, QCoreApplication::applicationName(),
                                    QStringLiteral("All the automatically recorded data in memory will be deleted!"),
                                    QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
    };
    d.serviceCode = [](QWidget* parent) -> std::optional<QString> {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(parent, QStringLiteral("Input Meter Code"), QStringLiteral("Enter the Code \r\n"),
                                  QLineEdit::Normal, QStringLiteral("Meter Name"), &ok);
        if (!ok)
            return std::nullopt;
        return answer;
    };
    d.message = [](QWidget* parent, const QString& text, bool critical) {
        // Not modal: the window keeps running behind it.
        auto* box = new QMessageBox(critical ? QMessageBox::Critical : QMessageBox::Information,
                                    QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    };
    d.openDataFile = [](QWidget* parent) -> std::optional<QString> {
        const QString path = QFileDialog::getOpenFileName(parent, QObject::tr("Open"), QString(),
                                                          QStringLiteral("All Files (*.sonx);;All Files (*.*)"));
        if (path.isEmpty())
            return std::nullopt;
        return path;
    };
    d.openFile = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    d.locale = [] { return QLocale(); };
    return d;
}

void showWindowMessage(QWidget* parent, const QString& text, bool critical)
{
    auto* box = new QMessageBox(critical ? QMessageBox::Critical : QMessageBox::Information,
                                QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

} // namespace km740
