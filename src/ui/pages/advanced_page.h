#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet4 ("Zaawansowane[F5]"); its editors arrive with the work on its part of the program.
class AdvancedPage final : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
