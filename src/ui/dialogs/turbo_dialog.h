#pragma once

#include <QDialog>

class QScrollBar;

namespace sequaflow::ui {

class ParameterControls;

// Dialog TForm15: the boost pressure of a turbo engine. Its scroll bar follows parameter 12 (a read, the
// turbo switched off); OK writes the position, Cancel leaves it where the user left it and sends nothing.
class TurboDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TurboDialog(ParameterControls& controls, QWidget* parent = nullptr);

    // Shows the dialog; OK writes parameter 12.
    void edit();
    // What OK does: parameter 12 from the position.
    void save();
    QScrollBar* scrollBar() const { return scroll_; }

private:
    void showBoost();

    ParameterControls& controls_;
    QScrollBar* scroll_;
};

}  // namespace sequaflow::ui
