// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/DataListWindow.h"

#include "app/ui/AppState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace km740 {

DataListWindow::DataListWindow(AppState& state, FileChooser chooser, QWidget* panel)
    : LoggerListWindow(QStringLiteral("DataList"), QStringLiteral("Data List "), state, std::move(chooser), panel),
      state_(state)
{
    static const char* const names[3] = {"Name", "Sector", "Company"};
    for (int i = 2; i >= 0; --i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("LblMessage%1").arg(i));
        l->setAccessibleDescription(tr(names[i]));
        l->setMinimumHeight(l->fontMetrics().lineSpacing() + 2);
        LblMessage[static_cast<std::size_t>(i)] = l;
        listColumn()->insertWidget(0, l);
    }
    setRecordColumnWidths({QStringLiteral("ABCADE"), QStringLiteral("AAAA/AA/AAHH:NN:SS"), QStringLiteral("AAAAAAA"),
                           QStringLiteral("AAAAAA")});
    placeBelowPanel(0, 0);
    state_.dataListOpen = true;
}

DataListWindow::~DataListWindow() = default;

void DataListWindow::setHeaderText(const HeaderText& text)
{
    LblMessage[0]->setText(QString::fromStdString(text.name));
    LblMessage[1]->setText(QString::fromStdString(text.sector));
    LblMessage[2]->setText(QString::fromStdString(text.company));
}

void DataListWindow::closeEvent(QCloseEvent* event)
{
    state_.dataListOpen = false;
    LoggerListWindow::closeEvent(event);
}

} // namespace km740
