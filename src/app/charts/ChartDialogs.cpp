// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/ChartDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace km740 {

ChartDialogs ChartDialogs::desktop()
{
    ChartDialogs d;
    d.choosePrinter = [](QWidget* parent, QPrinter& printer) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.message = [](QWidget* parent, const QString& text, bool critical) {
        auto* box = new QMessageBox(critical ? QMessageBox::Critical : QMessageBox::Information,
                                    QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        box->show();
    };
    d.saveCsv = [](QWidget* parent, const QString& suggestedName) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileDialog::getSaveFileName(parent, QObject::tr("Save alarm periods"),
                                            QDir(folder).filePath(suggestedName),
                                            QObject::tr("CSV files (*.csv);;All files (*)"));
    };
    return d;
}

bool printPage(QWidget* parent, const ChartDialogs& dialogs,
               const std::function<void(QPainter&, const QRectF& page)>& draw)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs.choosePrinter || !dialogs.choosePrinter(parent, printer))
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QPainter painter;
    const bool opened = painter.begin(&printer);
    if (opened) {
        // The painter's origin is the top left of the printable area.
        draw(painter, QRectF(0, 0, printer.width(), printer.height()));
        painter.end();
    }
    QApplication::restoreOverrideCursor();
    return opened;
}

} // namespace km740
