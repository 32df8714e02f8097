#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet3 ("Parametry"); its editors arrive with the work on its part of the program.
class ParametersPage final : public QWidget {
    Q_OBJECT
public:
    explicit ParametersPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
