// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/PanelToolbar.h"

#include "app/ui/KeyHints.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>

static void initPanelResources()
{
    Q_INIT_RESOURCE(panel);
}

namespace km740 {

namespace {

// The desktop's own keys where it has one (Save, Open, Help), else Ctrl and
// a letter of the tooltip.
QKeySequence shortcutOf(ToolKey key)
{
    switch (key) {
    case ToolKey::Save: return QKeySequence::Save;
    case ToolKey::Open: return QKeySequence::Open;
    case ToolKey::RecOption: return QKeySequence(Qt::CTRL | Qt::Key_R);
    case ToolKey::List: return QKeySequence(Qt::CTRL | Qt::Key_L);
    case ToolKey::Graph: return QKeySequence(Qt::CTRL | Qt::Key_G);
    case ToolKey::RecSetup: return QKeySequence(Qt::CTRL | Qt::Key_E);
    case ToolKey::RTC: return QKeySequence(Qt::CTRL | Qt::Key_T);
    case ToolKey::Logger: return QKeySequence(Qt::CTRL | Qt::Key_D);
    case ToolKey::Btn: return QKeySequence(Qt::CTRL | Qt::Key_K);
    case ToolKey::Erase: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete);
    case ToolKey::Setup: return QKeySequence(Qt::CTRL | Qt::Key_M);
    case ToolKey::User: return QKeySequence::HelpContents;
    case ToolKey::AddText: return QKeySequence(Qt::CTRL | Qt::Key_H);
    case ToolKey::Measurements: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M);
    }
    return {};
}

QIcon picture(const char* name)
{
    return QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name)));
}

} // namespace

PanelToolbar::PanelToolbar(QWidget* parent) : QToolBar(parent)
{
    initPanelResources();
    setObjectName(QStringLiteral("Toolbar1"));
    setAccessibleName(tr("Meter keys"));
    setWindowTitle(accessibleName());
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(32, 32));
    for (const ToolKeyInfo& info : toolKeys) {
        // The button is announced by its text: what the tooltip calls it.
        QAction* a = addAction(picture(info.picture), QString::fromLatin1(info.tooltip));
        a->setObjectName(QString::fromLatin1(info.name));
        a->setShortcut(shortcutOf(info.key));
        a->setToolTip(withShortcut(QString::fromLatin1(info.tooltip), a->shortcut()));
        a->setEnabled(false);
        // A key taken off the bar (no meter) is dead from the keyboard too.
        connect(a, &QAction::triggered, this, [this, a, key = info.key] {
            if (a->isVisible())
                emit buttonClicked(key);
        });
        buttons_[toolKeyIndex(info.key)] = a;
    }
    letTabReach(this);
}

QAction* PanelToolbar::button(ToolKey key) const
{
    return buttons_[toolKeyIndex(key)];
}

QAction* PanelToolbar::button(int n) const
{
    if (n < 1 || n > buttonCount)
        return nullptr;
    return buttons_[static_cast<std::size_t>(n - 1)];
}

void PanelToolbar::setAvailable(ToolKey key, bool available)
{
    button(key)->setEnabled(available);
}

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
    const QString text = QString::fromLatin1(recording ? "Stop Recording" : toolKeyInfo(ToolKey::Save).tooltip);
    a->setIcon(picture(recording ? "stop" : toolKeyInfo(ToolKey::Save).picture));
    a->setText(text);
    a->setToolTip(withShortcut(text, a->shortcut()));
}

} // namespace km740
