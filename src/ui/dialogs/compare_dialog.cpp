#include "ui/dialogs/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "ui/fields.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

CompareDialog::CompareDialog(const i18n::MessageStore& messages, const QString& fileName,
                             const std::vector<params::Difference>& differences, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)), summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(Text(messages, msg::CompareTitle).arg(fileName));
    summary_->setObjectName(QStringLiteral("CompareSummary"));
    summary_->setText(differences.empty()
                          ? Text(messages, msg::NoDifferences)
                          : Text(messages, msg::DifferenceCount).arg(static_cast<qulonglong>(differences.size())));
    table_->setObjectName(QStringLiteral("CompareTable"));
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels({Text(messages, msg::ColumnItem), Text(messages, msg::ColumnOnScreen),
                                       Text(messages, msg::ColumnInFile)});
    table_->setRowCount(static_cast<int>(differences.size()));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const auto& d = differences[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(params::ItemName(d.item))));
        table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(params::SideText(d, true))));
        table_->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(params::SideText(d, false))));
    }
    table_->setVisible(!differences.empty());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(620, 420);
}

}  // namespace sequaflow::ui
