// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/ChartDialogs.h"

#include "app/ui/AppDialogs.h"
#include "app/ui/QtText.h"
#include "platform/PictureFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
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
    d.message = showWindowMessage;
    d.saveCsv = [](QWidget* parent, const QString& suggestedName) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileDialog::getSaveFileName(parent, QObject::tr("Save alarm periods"),
                                            QDir(folder).filePath(suggestedName),
                                            QObject::tr("CSV files (*.csv);;All files (*)"));
    };
    d.saveImage = [](QWidget* parent, const QString& suggestedName) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        const QString png = QObject::tr("PNG picture (*.png)");
        QString filter = png;
        QString path =
            QFileDialog::getSaveFileName(parent, QObject::tr("Save Image"), QDir(folder).filePath(suggestedName),
                                         png + QStringLiteral(";;") + QObject::tr("SVG drawing (*.svg)"), &filter);
        // A name typed without an extension takes the chosen kind's.
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += filter == png ? QStringLiteral(".png") : QStringLiteral(".svg");
        return path;
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

bool saveImage(QWidget* parent, const ChartDialogs& dialogs, const QString& suggestedName, const QSize& size,
               const std::function<void(QPainter&, const QRectF& target)>& draw)
{
    if (!dialogs.saveImage)
        return false;
    const QString path = dialogs.saveImage(parent, suggestedName);
    if (path.isEmpty())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Text in points comes out as big against the chart as on the screen.
    const double dpi = parent ? parent->logicalDpiY() : 96.0;
    const Status written = writePicture(
        fsPath(path), size, dpi, [&](QPainter& p) { draw(p, QRectF(QPointF(0, 0), QSizeF(size))); },
        QFileInfo(path).completeBaseName());
    QApplication::restoreOverrideCursor();
    if (!written && dialogs.message)
        dialogs.message(parent,
                        QObject::tr("The image was not saved: %1").arg(QString::fromStdString(written.error().message)),
                        true);
    return written.ok();
}

} // namespace km740
