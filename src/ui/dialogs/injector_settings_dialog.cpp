#include "ui/dialogs/injector_settings_dialog.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/fields.h"
#include "ui/parameter_controls.h"

namespace sequaflow::ui {

namespace {

struct FieldRow {
    int param;
    const char* name;
    const char* label;
    const char* caption;
    int maxLength;  // 0: none
};
// In the order they are written.
constexpr FieldRow kRows[] = {
    {params::pn::MaxGasTime, "EditParametryMaxInj", "LabelMaxInjTime", "Maksymalny czas wtrysku gazu", 0},
    {params::pn::MinGasOpening, "EditMinimalnyCzasWtrysku", "LabelMinimalnyCzasWtrysku",
     "Minimalne otwarcie wtrysku gazu", 0},
    {params::pn::FullOpeningTime, "EditPelneOtwarcie", "LabelPelneOtwarcie", "Pełne otwarcie wtrysku", 6},
    {params::pn::HoldingCurrent, "EditProcentowePodtrzymanie", "LabelProcentowePodtrzymanie",
     "Procentowe podtrzymanie", 6},
    {params::pn::GasInjectionDelay, "EditOpoznienieWtryskiwaczy", "LabelOpoznienieWtryskiwaczy",
     "Opóź. zał. wtrysku gazu do benz", 6},
};

class LeaveCopy final : public QObject {
public:
    LeaveCopy(InjectorSettingsDialog* dialog, int index, void (InjectorSettingsDialog::*copy)(int), QObject* parent)
        : QObject(parent), dialog_(dialog), index_(index), copy_(copy) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut && dialog_->isVisible()) (dialog_->*copy_)(index_);
        return false;
    }

private:
    InjectorSettingsDialog* dialog_;
    int index_;
    void (InjectorSettingsDialog::*copy_)(int);
};

}  // namespace

InjectorSettingsDialog::InjectorSettingsDialog(ParameterControls& controls, QWidget* parent)
    : QDialog(parent), controls_(controls) {
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Ustawienie wtryskiwaczy"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldRow& row = kRows[i];
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(row.name));
        if (row.maxLength > 0) field->setMaxLength(row.maxLength);
        field->setMaximumWidth(120);
        field->installEventFilter(new LeaveCopy(this, static_cast<int>(i), &InjectorSettingsDialog::copyOut, field));
        fields_[i] = field;
        form->addRow(MakeLabel(QString::fromLatin1(row.label), QString::fromUtf8(row.caption), this), field);
    }
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* InjectorSettingsDialog::field(int param) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (kRows[i].param == param) return fields_[i];
    return nullptr;
}

void InjectorSettingsDialog::copyOut(int index) {
    const auto i = static_cast<std::size_t>(index);
    if (QLineEdit* main = controls_.editor(kRows[i].param)) main->setText(fields_[i]->text());
}

void InjectorSettingsDialog::edit() {
    const params::InjectorTexts shown = params::InjectorTextsOf(controls_.model().image(), controls_.separator());
    const std::array<const std::string*, 5> fallback = {&shown.maxTime, &shown.minOpening, &shown.fullOpening,
                                                        &shown.holding, &shown.delay};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLineEdit* main = controls_.editor(kRows[i].param);
        fields_[i]->setText(main != nullptr ? main->text() : QString::fromStdString(*fallback[i]));
    }
    fields_[0]->setFocus();
    if (exec() == QDialog::Accepted) save();
}

void InjectorSettingsDialog::save() {
    for (std::size_t i = 0; i < fields_.size(); ++i) copyOut(static_cast<int>(i));
    const params::InjectorTexts texts{fields_[0]->text().toStdString(), fields_[1]->text().toStdString(),
                                      fields_[2]->text().toStdString(), fields_[3]->text().toStdString(),
                                      fields_[4]->text().toStdString()};
    const char sep = controls_.separator();
    (void)controls_.run([&](link::Link& link, params::ProgramState& state) {
        return params::WriteInjectorSettings(link, state.image, texts, sep);
    });
}

}  // namespace sequaflow::ui
