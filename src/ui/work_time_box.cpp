#include "ui/work_time_box.h"

#include <QMessageBox>

#include "diag/work_time.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

void ReadAndShowWorkTime(SequenceRunner& runner, ConfigurationModel& model, const i18n::MessageStore& messages,
                         QWidget* parent) {
    const bool ran = runner.exchange([&](link::ControllerLink& line) {
        model.change([&](params::ProgramState& state) { (void)diag::ReadWorkTime(line.link(), state.image); });
    });
    if (!ran) return;
    const auto time = diag::WorkTimeOf(model.image());
    const std::string text = diag::WorkTimeText(
        time, [&](int id) { return Text(messages, id).toStdString(); }, model.state().decimalSeparator);
    QMessageBox box(QMessageBox::Information, QString(), QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("WorkTimeBox"));
    box.exec();
}

}  // namespace sequaflow::ui
