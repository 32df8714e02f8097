#pragma once

#include <QDialog>
#include <QString>

#include "i18n/message_store.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace sequaflow::ui {

// File > "Restore backup…": the backups in the backup folder, newest first, and the one to load.
class BackupDialog final : public QDialog {
    Q_OBJECT
public:
    BackupDialog(const i18n::MessageStore& messages, QString folder, QWidget* parent);

    // The file of the row chosen, empty when none.
    QString chosenPath() const;
    QTableWidget* table() const { return table_; }
    QPushButton* loadButton() const { return load_; }

private:
    void fill();

    const i18n::MessageStore& messages_;
    QString folder_;
    QTableWidget* table_;
    QLabel* empty_;
    QPushButton* load_;
};

}  // namespace sequaflow::ui
