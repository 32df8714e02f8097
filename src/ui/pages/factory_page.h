#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet8 ("Fabr.[F12]"); its editors arrive with the work on its part of the program.
class FactoryPage final : public QWidget {
    Q_OBJECT
public:
    explicit FactoryPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
