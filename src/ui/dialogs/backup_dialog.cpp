#include "ui/dialogs/backup_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "params/backup_store.h"
#include "ui/fields.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

namespace {
constexpr int kPathRole = Qt::UserRole;
}  // namespace

BackupDialog::BackupDialog(const i18n::MessageStore& messages, QString folder, QWidget* parent)
    : QDialog(parent), messages_(messages), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("BackupDialog"));
    setWindowTitle(Text(messages_, msg::BackupsTitle));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("BackupTable"));
    table_->setHorizontalHeaderLabels(
        {Text(messages_, msg::ColumnDate), Text(messages_, msg::ColumnSerial), Text(messages_, msg::ColumnFile)});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    empty_ = new QLabel(this);
    empty_->setObjectName(QStringLiteral("NoBackupsLabel"));
    empty_->setWordWrap(true);
    layout->addWidget(empty_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    load_ = buttons->addButton(Text(messages_, msg::LoadBackup), QDialogButtonBox::AcceptRole);
    load_->setObjectName(QStringLiteral("LoadBackupButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { load_->setEnabled(!chosenPath().isEmpty()); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });
    fill();
    resize(560, 380);
}

void BackupDialog::fill() {
    const auto listed = params::ListBackups(folder_.toStdString());
    std::vector<params::BackupEntry> backups;
    if (listed) backups = *listed;
    table_->setRowCount(static_cast<int>(backups.size()));
    for (int row = 0; row < static_cast<int>(backups.size()); ++row) {
        const auto& b = backups[static_cast<std::size_t>(row)];
        const QString serial = b.serial ? QStringLiteral("%1").arg(*b.serial, 5, 10, QLatin1Char('0')) : QStringLiteral("-");
        const QString file = QString::fromStdString(b.fileName);
        auto* date = new QTableWidgetItem(QString::fromStdString(params::BackupTimeText(b.time)));
        date->setData(kPathRole, QString::fromStdString(b.path));
        table_->setItem(row, 0, date);
        table_->setItem(row, 1, new QTableWidgetItem(serial));
        table_->setItem(row, 2, new QTableWidgetItem(file));
    }
    table_->resizeColumnsToContents();
    if (!backups.empty()) table_->selectRow(0);
    // A folder that cannot be read says why; an empty one says where it looked.
    empty_->setText(listed ? Text(messages_, msg::NoBackups).arg(folder_) : QString::fromStdString(listed.error().detail));
    empty_->setVisible(backups.empty());
    table_->setVisible(!backups.empty());
    load_->setEnabled(!chosenPath().isEmpty());
}

QString BackupDialog::chosenPath() const {
    const auto selected = table_->selectionModel()->selectedRows();
    if (selected.isEmpty()) return {};
    const QTableWidgetItem* item = table_->item(selected.front().row(), 0);
    return item != nullptr ? item->data(kPathRole).toString() : QString();
}

}  // namespace sequaflow::ui
