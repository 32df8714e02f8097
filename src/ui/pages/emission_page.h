#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheetEmisja ("Emisja"); its editors arrive with the work on its part of the program.
class EmissionPage final : public QWidget {
    Q_OBJECT
public:
    explicit EmissionPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
