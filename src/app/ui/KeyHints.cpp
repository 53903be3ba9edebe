// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/KeyHints.h"

#include <QAction>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace km740 {

QString withShortcut(const QString& text, const QKeySequence& key)
{
    if (key.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
}

void setActionKey(QAction* action, const QKeySequence& key)
{
    const QString tip = action->toolTip();
    action->setShortcut(key);
    action->setToolTip(withShortcut(tip, key));
}

void addCloseKeys(QWidget* window, bool escape)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Close);
    if (escape)
        keys << QKeySequence(Qt::Key_Escape);
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}

void letTabReach(QToolBar* toolbar)
{
    for (QAction* a : toolbar->actions())
        if (QWidget* w = toolbar->widgetForAction(a); w && w->focusPolicy() == Qt::NoFocus)
            w->setFocusPolicy(Qt::TabFocus);
    // The button that shows the keys a narrow window has no room for.
    if (auto* more = toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QObject::tr("More keys"));
}

} // namespace km740
