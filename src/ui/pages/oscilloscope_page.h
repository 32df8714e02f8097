#pragma once

#include <QWidget>

namespace sequaflow::ui {

class Session;

// Page TabSheet2 ("Oscyloskopy"); its editors arrive with the work on its part of the program.
class OscilloscopePage final : public QWidget {
    Q_OBJECT
public:
    explicit OscilloscopePage(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

}  // namespace sequaflow::ui
