// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/PanelToolbar.h"

#include <QAction>
#include <QIcon>

static void initPanelResources() { Q_INIT_RESOURCE(panel); }

namespace km740 {

namespace {

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
    for (const ToolKeyInfo& info : toolKeys) {
        QAction* a = addAction(picture(info.picture), QString::fromLatin1(info.name));
        a->setObjectName(QString::fromLatin1(info.name));
        a->setToolTip(QString::fromLatin1(info.tooltip));
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, key = info.key] { emit buttonClicked(key); });
        buttons_[toolKeyIndex(info.key)] = a;
    }
}

QAction* PanelToolbar::button(ToolKey key) const { return buttons_[toolKeyIndex(key)]; }

QAction* PanelToolbar::button(int n) const
{
    if (n < 1 || n > buttonCount)
        return nullptr;
    return buttons_[static_cast<std::size_t>(n - 1)];
}

void PanelToolbar::setAvailable(ToolKey key, bool available) { button(key)->setEnabled(available); }

void PanelToolbar::reduceToLostLink()
{
    for (const ToolKeyInfo& info : toolKeys)
        button(info.key)->setVisible(info.inLostLink);
}

void PanelToolbar::showAll()
{
    for (QAction* a : buttons_)
        a->setVisible(true);
}

void PanelToolbar::setRecording(bool recording)
{
    QAction* a = button(ToolKey::Save);
    a->setIcon(picture(recording ? "stop" : toolKeyInfo(ToolKey::Save).picture));
    a->setToolTip(QString::fromLatin1(recording ? "Stop Recording" : toolKeyInfo(ToolKey::Save).tooltip));
}

} // namespace km740
