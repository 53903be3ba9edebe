// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/config/ButtonsWindow.h"

#include "app/ui/KeyHints.h"

#include "app/config/MeterDrawing.h"
#include "app/ui/AppState.h"
#include "app/ui/MeterWorker.h"
#include "app/ui/WindowContext.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace km740 {

namespace {

struct KeyLook {
    Key key;
    const char* name;    // Up, Down, ...
    const char* glyph;   // drawn on the key
    const char* caption; // the key's label on the drawing
    QRect rect;          // the key on the drawing
};

constexpr std::array<KeyLook, ButtonsWindow::keyCount> keyLooks{{
    {Key::up, "Up", "\u25B2", "UP", QRect(125, 392, 70, 42)},
    {Key::down, "Down", "\u25BC", "DOWN", QRect(125, 492, 70, 42)},
    {Key::left, "Left", "\u25C0", "LEFT", QRect(76, 442, 70, 42)},
    {Key::right, "Right", "\u25B6", "RIGHT", QRect(174, 442, 70, 42)},
    {Key::enter, "Enter", "\u25B6\u2759", "ENTER", QRect(200, 350, 70, 42)},
    {Key::menu, "Menu", "\u2261", "MENU", QRect(50, 350, 70, 42)},
}};

const QColor keyColour(0x5d, 0x67, 0x70);

// The control names use "cmdUp" for Up, "CmdDown" for the others.
QString buttonName(const KeyLook& k)
{
    return k.key == Key::up ? QStringLiteral("cmdUp") : QStringLiteral("Cmd%1").arg(QLatin1String(k.name));
}

} // namespace

void ButtonsWindow::open(WindowContext& context)
{
    ButtonsWindow* w = context.windows().shown<ButtonsWindow>();
    if (!w)
        w = context.windows().adopt(new ButtonsWindow(context));
    context.state().keypadOpen = true;
    w->show();
    w->raise();
    w->activateWindow();
}

ButtonsWindow::ButtonsWindow(WindowContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), state_(context.state())
{
    setObjectName(QStringLiteral("Buttons"));
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("Control Panel"));

    auto* outer = new QHBoxLayout(this);
    drawing_ = new MeterDrawing(this);
    outer->addWidget(drawing_);

    // The keypad block: two columns, Menu/Enter, Left/Right, Down/Up.
    auto* block = new QGridLayout;
    outer->addLayout(block);
    const std::array<std::pair<Key, QPoint>, keyCount> placing{{
        {Key::menu, {0, 0}},
        {Key::enter, {0, 1}},
        {Key::left, {1, 0}},
        {Key::right, {1, 1}},
        {Key::down, {2, 0}},
        {Key::up, {2, 1}},
    }};

    for (const KeyLook& k : keyLooks) {
        KeyTargets& t = keys_[static_cast<std::size_t>(k.key)];
        const QString name = QLatin1String(k.name);

        t.shape = new QFrame(drawing_);
        t.shape->setObjectName(QStringLiteral("Shape%1").arg(name));
        t.shape->setGeometry(k.rect);
        t.shape->setAutoFillBackground(true);
        t.shape->setFrameStyle(QFrame::Panel | QFrame::Raised);
        t.shape->setLineWidth(2);
        setShapeColour(k.key, keyColour);

        t.image = new QLabel(QString::fromUtf8(k.glyph), t.shape);
        t.image->setObjectName(QStringLiteral("Ima%1").arg(name));
        t.image->setAccessibleName(name);
        t.image->setAlignment(Qt::AlignCenter);
        t.image->setGeometry(0, 2, k.rect.width(), 24);
        t.image->setStyleSheet(QStringLiteral("color: #f1f3f4; font-size: 16px;"));
        t.image->setCursor(Qt::PointingHandCursor);
        t.image->installEventFilter(this);

        t.label = new QLabel(QLatin1String(k.caption), t.shape);
        t.label->setObjectName(QStringLiteral("Lbl%1").arg(name));
        t.label->setAccessibleDescription(name);
        t.label->setAlignment(Qt::AlignCenter);
        t.label->setGeometry(0, 26, k.rect.width(), 14);
        t.label->setStyleSheet(QStringLiteral("color: #d5dade; font-size: 9px; font-weight: bold;"));
        t.label->setCursor(Qt::PointingHandCursor);
        t.label->installEventFilter(this);

        t.button = new QPushButton(this);
        t.button->setObjectName(buttonName(k));
        t.button->setAccessibleName(name);
        t.button->setToolTip(name);
        t.button->setFixedSize(44, 32);
        connect(t.button, &QPushButton::clicked, this, [this, key = k.key] { onKeyClick(key); });
    }
    for (const auto& [key, at] : placing)
        block->addWidget(targets(key).button, at.x(), at.y());
    block->setRowStretch(3, 1);

    connect(&context_, &WindowContext::polled, this, &ButtonsWindow::showPolledSegments);
    showPolledSegments();
}

ButtonsWindow::~ButtonsWindow()
{
    state_.keypadOpen = false;
}

void ButtonsWindow::showPolledSegments()
{
    drawing_->showSegments(context_.state().live.segments);
}

void ButtonsWindow::onKeyClick(Key key)
{
    AppState& s = context_.state();
    MeterWorker* worker = context_.worker();
    if (s.meterInUse || s.linkBusy || !worker)
        return;
    worker->post<Done>(
        this, [key](MeterLink& link) { return link.pressKey(key); }, [](const Status&) {});
}

void ButtonsWindow::setShapeColour(Key key, const QColor& colour)
{
    QFrame* shape = targets(key).shape;
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, colour);
    shape->setPalette(p);
}

QColor ButtonsWindow::shapeColour(Key key) const
{
    return targets(key).shape->palette().color(QPalette::Window);
}

bool ButtonsWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    for (const KeyLook& k : keyLooks) {
        const KeyTargets& t = targets(k.key);
        if (watched != t.image && watched != t.label)
            continue;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        if (type == QEvent::MouseButtonPress) {
            // Press feedback: the key whitens while it is held.
            savedColour_ = shapeColour(k.key);
            setShapeColour(k.key, Qt::white);
        } else {
            setShapeColour(k.key, savedColour_);
            // A click is a release over the target that was pressed.
            if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                onKeyClick(k.key);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace km740
