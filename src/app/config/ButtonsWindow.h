// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/MeterLink.h"

#include <QColor>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace km740 {

class MeterDrawing;
struct AppState;
class WindowContext;

// Form Buttons, "Control Panel": the meter's six keys pressed from the
// desktop, over a drawing of the meter whose display copy follows every
// status poll. Each key has three click targets: a button of the keypad
// block, and the key's image and label on the drawing.
class ButtonsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int keyCount = 6;

    // The toolbar key: one window; KeypadOpen while it is open.
    static void open(WindowContext& context);

    explicit ButtonsWindow(WindowContext& context, QWidget* parent = nullptr);
    ~ButtonsWindow() override;

    // The display copy, redrawn from the last poll.
    void showPolledSegments();
    // Any of a key's three targets: sends the key unless the meter is in use.
    void onKeyClick(Key key);

    MeterDrawing* drawing() const { return drawing_; }
    QPushButton* button(Key key) const { return targets(key).button; }
    QLabel* image(Key key) const { return targets(key).image; }
    QLabel* label(Key key) const { return targets(key).label; }
    QFrame* shape(Key key) const { return targets(key).shape; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct KeyTargets {
        QPushButton* button = nullptr;
        QLabel* image = nullptr;
        QLabel* label = nullptr;
        QFrame* shape = nullptr;
    };
    const KeyTargets& targets(Key key) const { return keys_[static_cast<std::size_t>(key)]; }
    void setShapeColour(Key key, const QColor& colour);
    QColor shapeColour(Key key) const;

    WindowContext& context_;
    AppState& state_; // the context's
    MeterDrawing* drawing_ = nullptr;
    std::array<KeyTargets, keyCount> keys_{};
    QColor savedColour_; // the pressed key's colour, given back on release
};

} // namespace km740
