#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet6 ("Map [F5]"); its editors arrive with the work on its part of the program.
class GridMapPage final : public QWidget {
    Q_OBJECT
public:
    explicit GridMapPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
