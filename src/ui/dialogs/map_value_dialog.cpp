#include "ui/dialogs/map_value_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "ui/fields.h"

namespace sequaflow::ui {

MapValueDialog::MapValueDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Modyfikator Mapy"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Ustal Wartość:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMaxLength(4);
    // Digits and signs only, typed or pasted; "+" alone or "1-2" still get through and are refused as a
    // number by the operation, with its message.
    edit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9+-]*")), edit_));
    row->addWidget(label);
    row->addWidget(edit_);
    layout->addLayout(row);

    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("BitBtnOK"));
    SetTextId(ok_, i18n::msg::Ok);
    ok_->setDefault(true);
    abort_ = new QPushButton(QStringLiteral("Abort"), this);
    abort_->setObjectName(QStringLiteral("BitBtnAbort"));
    SetTextId(abort_, i18n::msg::Cancel);
    buttons->addWidget(ok_);
    buttons->addWidget(abort_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(abort_, &QPushButton::clicked, this, &QDialog::reject);
}

QString MapValueDialog::text() const { return edit_->text(); }

std::optional<QString> MapValueDialog::ask() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return edit_->text();
}

std::optional<QString> MapValueDialog::ask(const QString& text) {
    edit_->setText(text.left(edit_->maxLength()));
    return ask();
}

void MapValueDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
}

}  // namespace sequaflow::ui
