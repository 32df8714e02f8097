#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet7 ("Mapa"); its editors arrive with the work on its part of the program.
class StandardMapPage final : public QWidget {
    Q_OBJECT
public:
    explicit StandardMapPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
