#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet11 ("Błędy"); its editors arrive with the work on its part of the program.
class ErrorsPage final : public QWidget {
    Q_OBJECT
public:
    explicit ErrorsPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
