#pragma once

#include <QMouseEvent>
#include <QRect>

namespace sequaflow::ui {

// A left click as a button has it: pressed inside and released inside. Widgets that are not buttons but
// react to a click (the lamp, the tank picture) keep one of these.
class LeftClick {
public:
    // True when the event was the left press (accepted).
    bool press(QMouseEvent* event) {
        if (event->button() != Qt::LeftButton) return false;
        pressed_ = true;
        event->accept();
        return true;
    }
    // True when the event ended a press (accepted); `clicked` says whether it was released inside `area`.
    bool release(QMouseEvent* event, const QRect& area, bool& clicked) {
        clicked = false;
        if (event->button() != Qt::LeftButton || !pressed_) return false;
        pressed_ = false;
        event->accept();
        clicked = area.contains(event->position().toPoint());
        return true;
    }

private:
    bool pressed_ = false;
};

}  // namespace sequaflow::ui
