// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Hearing.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QTextDocument>
#include <QWidget>

namespace km740::test {

namespace {

// "▲" and the like: a picture drawn with a character, named for what it means.
bool pictogram(const QString& text)
{
    for (QChar c : text)
        if (c.isLetterOrNumber())
            return false;
    return true;
}

QString plain(const QString& text)
{
    QString out = text;
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setHtml(text);
        out = doc.toPlainText();
    }
    return out.remove(QLatin1Char('&')).simplified();
}

QString shownText(QObject* o)
{
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        return plain(b->text());
    if (auto* l = qobject_cast<QLabel*>(o))
        return plain(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(o))
        return plain(g->title());
    return {};
}

void collectIdentifiers(const QObject* o, QSet<QString>& ids)
{
    if (!o->objectName().isEmpty())
        ids.insert(o->objectName());
    for (const QObject* c : o->children())
        collectIdentifiers(c, ids);
}

bool needsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Table:
    case QAccessible::ToolBar: return true;
    default: return false;
    }
}

// Their parts speak through them.
bool whole(QAccessible::Role role)
{
    return role == QAccessible::Table || role == QAccessible::ComboBox || role == QAccessible::List ||
           role == QAccessible::Tree || role == QAccessible::SpinBox;
}

void walk(QAccessibleInterface* a, const QSet<QString>& ids, const QString& path, QStringList& faults, int depth)
{
    if (!a || !a->isValid() || depth > 30)
        return;
    QObject* o = a->object();
    const QString name = a->text(QAccessible::Name).simplified();
    const QString here = path + QLatin1Char('/') +
                         (o && !o->objectName().isEmpty() ? o->objectName()
                          : o                             ? QString::fromLatin1(o->metaObject()->className())
                                                          : QStringLiteral("?"));
    if (!name.isEmpty() && ids.contains(name) && name != shownText(o))
        faults << QStringLiteral("%1: announced by the identifier \"%2\"").arg(here, name);
    if (auto* label = qobject_cast<QLabel*>(o)) {
        const QString text = plain(label->text());
        if (!text.isEmpty() && !pictogram(text) && !name.contains(text) && !a->text(QAccessible::Value).contains(text))
            faults << QStringLiteral("%1: shows \"%2\" but is heard as \"%3\"").arg(here, text, name);
    }
    if (needsName(a->role()) && name.isEmpty())
        faults << QStringLiteral("%1: no name").arg(here);
    // On Linux a combo box is announced by its current text; what it is for
    // must come with it.
    if (a->role() == QAccessible::ComboBox && a->text(QAccessible::Description).isEmpty())
        faults << QStringLiteral("%1: a combo box heard only by its current text").arg(here);
    if (whole(a->role()))
        return;
    for (int i = 0; i < a->childCount(); ++i)
        walk(a->child(i), ids, here, faults, depth + 1);
}

} // namespace

QStringList hearingFaults(QWidget* window)
{
    QStringList faults;
    QSet<QString> ids;
    collectIdentifiers(window, ids);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window);
    if (!a)
        return {QStringLiteral("%1: no accessibility interface").arg(window->objectName())};
    const QString title = QString(window->windowTitle()).remove(QStringLiteral("[*]"));
    const QString name = a->text(QAccessible::Name);
    if (!name.isEmpty() && name != title)
        faults << QStringLiteral("%1: announced as \"%2\", titled \"%3\"").arg(window->objectName(), name, title);
    for (int i = 0; i < a->childCount(); ++i)
        walk(a->child(i), ids, window->objectName(), faults, 1);
    return faults;
}

} // namespace km740::test
