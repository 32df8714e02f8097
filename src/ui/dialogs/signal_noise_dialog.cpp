#include "ui/dialogs/signal_noise_dialog.h"

namespace sequaflow::ui {

SignalNoiseDialog::SignalNoiseDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm6"));
}

}  // namespace sequaflow::ui
