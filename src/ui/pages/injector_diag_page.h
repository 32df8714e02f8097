#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// TabSheet10: injector diagnostics; the switches and times sit on the right-hand panel beside it.
class InjectorDiagPage final : public QWidget {
    Q_OBJECT
public:
    explicit InjectorDiagPage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
