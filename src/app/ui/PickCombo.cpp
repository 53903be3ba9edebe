// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/PickCombo.h"

#include <QKeyEvent>

namespace km740 {

PickCombo::PickCombo(const QString& name, QWidget* parent) : QComboBox(parent)
{
    setObjectName(name);
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (extra_ && index > 0) {
            // The extra text goes once a listed value is chosen.
            dropExtra();
        }
        emit picked();
    });
}

void PickCombo::setItems(const std::vector<std::string>& items)
{
    QStringList list;
    for (const std::string& s : items)
        list << QString::fromStdString(s);
    setItems(list);
}

void PickCombo::setItems(const QStringList& items)
{
    const QString shown = currentText();
    items_ = items;
    extra_ = false;
    clear();
    addItems(items_);
    if (!shown.isEmpty())
        setText(shown);
}

void PickCombo::setText(const QString& text)
{
    const int at = items_.indexOf(text);
    if (at >= 0) {
        dropExtra();
        setCurrentIndex(at);
        return;
    }
    if (extra_)
        setItemText(0, text);
    else
        insertItem(0, text);
    extra_ = true;
    setCurrentIndex(0);
}

bool PickCombo::showsListed() const
{
    return !extra_ || currentIndex() > 0;
}

void PickCombo::dropExtra()
{
    if (!extra_)
        return;
    const int current = currentIndex();
    extra_ = false;
    removeItem(0);
    if (current > 0)
        setCurrentIndex(current - 1);
}

void PickCombo::keyPressEvent(QKeyEvent* event)
{
    // Typed characters never change the value; arrows, Page keys, Home/End,
    // Space and F4 still pick from the list.
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && typed != QLatin1String(" ")) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace km740
