#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "i18n/message_store.h"
#include "params/config_compare.h"

class QLabel;
class QTableWidget;

namespace sequaflow::ui {

// File > "Compare with file…": each element where the configuration on screen and the file differ.
class CompareDialog final : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const i18n::MessageStore& messages, const QString& fileName,
                  const std::vector<params::Difference>& differences, QWidget* parent);

    QTableWidget* table() const { return table_; }
    QLabel* summary() const { return summary_; }

private:
    QTableWidget* table_;
    QLabel* summary_;
};

}  // namespace sequaflow::ui
