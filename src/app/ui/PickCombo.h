// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QStringList>

#include <string>
#include <vector>

namespace km740 {

// A combo box whose value is picked from its list, never typed. It can still
// show a text that is not in the list (what the meter reported, or kNoValueText):
// that text stands as an extra entry until the user picks a listed one.
class PickCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PickCombo(const QString& name, QWidget* parent = nullptr);

    void setItems(const std::vector<std::string>& items);
    void setItems(const QStringList& items);
    // Selects the listed entry with exactly this text, or shows the text as
    // an extra entry.
    void setText(const QString& text);
    void setText(const std::string& text) { setText(QString::fromStdString(text)); }
    QString text() const { return currentText(); }
    std::string stdText() const { return currentText().toStdString(); }
    // True when the text shown is one of the list's.
    bool showsListed() const;

signals:
    // The user picked an entry (mouse or keyboard).
    void picked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void dropExtra();

    QStringList items_;
    bool extra_ = false; // entry 0 is a text not in the list
};

} // namespace km740
