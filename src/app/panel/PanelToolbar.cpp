// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/PanelToolbar.h"

#include <QAction>
#include <QIcon>

static void initPanelResources() { Q_INIT_RESOURCE(panel); }

namespace km740 {

namespace {

struct ButtonInfo {
    const char* key;
    const char* tooltip;
    const char* picture;
};

constexpr std::array<ButtonInfo, PanelToolbar::buttonCount> buttonInfo{{
    {"Save", "Save As", "save"},
    {"Open", "Open File to Read", "open"},
    {"RecOption", "Recording Option", "recoption"},
    {"List", "List Display", "list"},
    {"Graph", "Graphic Display", "graph"},
    {"RecSetup", "Recording Setup", "recsetup"},
    {"RTC", "Real Time Clock", "rtc"},
    {"Logger", "Data Logger", "logger"},
    {"Btn", "Control Panel", "btn"},
    {"Erase", "Erase Data Logger", "erase"},
    {"Setup", "Meter Setup", "setup"},
    {"User", "Help", "user"},
    {"AddText", "Report Header", "addtext"},
}};

QIcon picture(const char* name)
{
    return QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name)));
}

} // namespace

PanelToolbar::PanelToolbar(QWidget* parent) : QToolBar(parent)
{
    initPanelResources();
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(32, 32));
    for (std::size_t i = 0; i < buttonInfo.size(); ++i) {
        const ButtonInfo& b = buttonInfo[i];
        QAction* a = addAction(picture(b.picture), QString::fromLatin1(b.key));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromLatin1(b.tooltip));
        a->setEnabled(false);
        const QString key = QString::fromLatin1(b.key);
        connect(a, &QAction::triggered, this, [this, key] { emit buttonClicked(key); });
        buttons_[i] = a;
    }
}

QAction* PanelToolbar::button(const QString& key) const
{
    for (QAction* a : buttons_)
        if (a->objectName() == key)
            return a;
    return nullptr;
}

QAction* PanelToolbar::button(int n) const
{
    if (n < 1 || n > buttonCount)
        return nullptr;
    return buttons_[static_cast<std::size_t>(n - 1)];
}

void PanelToolbar::setAvailable(const QString& key, bool available)
{
    if (QAction* a = button(key))
        a->setEnabled(available);
}

void PanelToolbar::reduceToOpen()
{
    constexpr int meterButtons = 11;
    for (int n = 1; n <= meterButtons; ++n)
        button(n)->setVisible(n == 2); // "Open"
}

void PanelToolbar::showAll()
{
    for (QAction* a : buttons_)
        a->setVisible(true);
}

void PanelToolbar::setRecording(bool recording)
{
    QAction* a = buttons_[0];
    a->setIcon(picture(recording ? "stop" : "save"));
    a->setToolTip(recording ? QStringLiteral("Stop Recording") : QStringLiteral("Save As"));
}

} // namespace km740
