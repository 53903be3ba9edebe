// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/WindowContext.h"

#include "app/ui/MeterWorker.h"

#include <QFileInfo>
#include <QLabel>

namespace km740 {

WindowContext::WindowContext(AppState& state, MeterWorker* worker, AppDialogs dialogs)
    : state_(state), worker_(worker), dialogs_(std::move(dialogs))
{
}

WindowContext::~WindowContext() = default;

MeterWorker* WindowContext::worker() const
{
    return worker_.data();
}

void WindowContext::message(const QString& text, bool critical, QWidget* over) const
{
    if (dialogs_.message)
        dialogs_.message(over ? over : mainWindow(), text, critical);
}

ArchiveFiling::Done WindowContext::filingReport(QLabel* statusLine)
{
    return [this, line = QPointer<QLabel>(statusLine)](const FilingOutcome& outcome) {
        if (line) {
            line->setText(line->text().isEmpty() ? outcome.text() : line->text() + QLatin1Char('\n') + outcome.text());
            return;
        }
        if (!outcome.ok)
            message(tr("%1 was saved, but not filed in the archive: %2")
                        .arg(QFileInfo(outcome.path).fileName(), outcome.reason),
                    false);
    };
}

} // namespace km740
