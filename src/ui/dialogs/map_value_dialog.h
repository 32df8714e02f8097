#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QLineEdit;
class QPushButton;

namespace sequaflow::ui {

// Dialog TForm7 "Modyfikator Mapy": the value typed for a block of map cells or the step of a gradient.
// Its field keeps the last text from one use to the next unless the caller fills it first.
class MapValueDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MapValueDialog(QWidget* parent = nullptr);

    // Shows the dialog modally; the field's text on OK, nullopt on abort or close.
    std::optional<QString> ask();
    // Shows it with `text` in the field (the cell the operation starts from).
    std::optional<QString> ask(const QString& text);

    QString text() const;
    QLineEdit* field() const { return edit_; }
    QPushButton* okButton() const { return ok_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit_;
    QPushButton* ok_;
    QPushButton* abort_;
};

}  // namespace sequaflow::ui
