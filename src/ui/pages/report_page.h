#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet9 ("Odczyt konfiguracji (F10)"); its editors arrive with the work on its part of the program.
class ReportPage final : public QWidget {
    Q_OBJECT
public:
    explicit ReportPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
