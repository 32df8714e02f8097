#pragma once

#include <QDialog>
#include <functional>

#include "i18n/message_store.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace sequaflow::ui {

// TForm13: the small always-on-top window shown while the automatic detection runs. It closes itself once
// the controller is connected; closing it in any way stops the detection.
class StatusWindow final : public QDialog {
    Q_OBJECT
public:
    StatusWindow(std::function<bool()> connected, const i18n::MessageStore& messages, QWidget* parent = nullptr);

    void setStatus(const QString& text);
    QString status() const;
    // Its title and button in the language now chosen (the label is a caption-table target).
    void languageChanged();

signals:
    void detectionStopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool()> connected_;
    const i18n::MessageStore& messages_;
    QLabel* label_;
    QLineEdit* status_;
    QPushButton* cancel_;
    QTimer* timer_;
};

}  // namespace sequaflow::ui
