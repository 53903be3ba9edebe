// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/ListPrint.h"

#include "core/lists/FileListTable.h"
#include "platform/PrintPages.h"
#include "app/ui/AppDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

namespace km740 {

namespace {

constexpr int kPrintProgressEvery = 2000;

// The printer note shown before a printout, one line break per line (Qt
// draws a carriage return as a blank).
const char* const kPrinterNote =
    "Note\n"
    "The effect of the properties of the Printer settings\n"
    "depends on the driver supplied by the printer manufacturer.\n"
    "Some property settings may have no effect, or several different property settings\n"
    "may all have the same effect. Settings outside the accepted range may or may not produce an error.\n"
    "For more information, see the manufacturer's documentation for the specific driver.";

// Records per printed line: 1 but for a level set, which asks until the
// answer is 1 to 5; empty when the user cancelled.
std::optional<int> askRecordsPerRow(QWidget& window, const PrintDialogs& dialogs, PrintKind kind)
{
    if (kind != PrintKind::fileDb)
        return 1;
    for (;;) {
        const std::optional<QString> answer = dialogs.recordsPerRow ? dialogs.recordsPerRow(&window) : std::nullopt;
        const RecordsPerRowAnswer a = readRecordsPerRow(answer ? answer->toStdString() : std::string());
        if (a.outcome == RecordsPerRowAnswer::Outcome::cancel)
            return std::nullopt;
        if (a.outcome == RecordsPerRowAnswer::Outcome::accept)
            return a.recordsPerRow;
    }
}

} // namespace

PrintDialogs PrintDialogs::desktop()
{
    PrintDialogs d;
    // The program's own non-modal message box.
    d.message = AppDialogs::desktop().message;
    d.printer = [](QWidget* parent) -> std::unique_ptr<QPrinter> {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(printer.get(), parent);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
        return printer;
    };
    d.recordsPerRow = [](QWidget* parent) -> std::optional<QString> {
        bool ok = false;
        const QString answer =
            QInputDialog::getText(parent, QString(), QStringLiteral("Input record(s) to print in one row (1-5)"),
                                  QLineEdit::Normal, QStringLiteral("1"), &ok);
        if (!ok)
            return std::nullopt;
        return answer;
    };
    return d;
}

void printListTable(QWidget& window, const PrintDialogs& dialogs, const FileListTable& table, const Regional& regional)
{
    if (!dialogs.printer)
        return;
    std::unique_ptr<QPrinter> printer = dialogs.printer(&window);
    if (!printer)
        return;
    if (dialogs.message)
        dialogs.message(&window, QString::fromLatin1(kPrinterNote), false);
    const std::optional<int> perRow = askRecordsPerRow(window, dialogs, table.printKind());
    if (!perRow)
        return;
    // Copies are printed by us, one after the other in one job.
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);
    const QString caption = window.windowTitle();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        PrintPages pages(*printer);
        const PrintSource source = table.printSource(regional);
        std::size_t lines = 0;
        for (int copy = 0; copy < copies && pages.isActive(); ++copy) {
            if (copy > 0)
                pages.newCopy();
            layOutPrint(table.printKind(), source, *perRow, [&](std::string_view line, std::optional<std::size_t> row) {
                pages.line(line);
                if (row && ++lines % kPrintProgressEvery == 0) {
                    window.setWindowTitle(QString::number(*row));
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                }
            });
        }
        pages.finish();
        if (!pages.isActive() && lines == 0 && dialogs.message && printer->printerState() == QPrinter::Error)
            dialogs.message(&window, QObject::tr("The printer could not be used."), true);
    }
    QApplication::restoreOverrideCursor();
    window.setWindowTitle(caption);
}

} // namespace km740
