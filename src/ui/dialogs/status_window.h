#pragma once

#include <QDialog>
#include <functional>

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
    StatusWindow(std::function<bool()> connected, QWidget* parent = nullptr);

    void setStatus(const QString& text);
    QString status() const;

signals:
    void detectionStopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool()> connected_;
    QLabel* label_;
    QLineEdit* status_;
    QPushButton* cancel_;
    QTimer* timer_;
};

}  // namespace sequaflow::ui
