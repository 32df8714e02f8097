#include "ui/dialogs/idle_correction_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "params/number_text.h"
#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/fields.h"
#include "ui/key_filters.h"
#include "ui/parameter_controls.h"

namespace sequaflow::ui {

IdleCorrectionDialog::IdleCorrectionDialog(ParameterControls& controls, QWidget* parent)
    : QDialog(parent), controls_(controls) {
    setObjectName(QStringLiteral("TForm11"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* intro = MakeLabel(QStringLiteral("Label1"),
                            QString::fromUtf8("Wybierz wtryskiwacze na których  chcesz  ustawić dodatkową korektę "
                                              "czasu wtrysku biegu jałowego. Stosowane w silnikach widlastych dla "
                                              "wyrównania czasów wtrysku na poszczególne strony"),
                            this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* group = new QGroupBox(QStringLiteral("Poprawka Dodatkowa"), this);
    group->setObjectName(QStringLiteral("GroupBoxPoprawka2"));
    auto* g = new QGridLayout(group);
    auto* caption = MakeLabel(QStringLiteral("LabelDodPrzesuniecie"),
                              QString::fromUtf8("Dodatkowa korekta czasu wtrysku biegu jałowego"), group);
    caption->setWordWrap(true);
    g->addWidget(caption, 0, 0, 1, 4);
    correction_ = new QLineEdit(group);
    correction_->setObjectName(QStringLiteral("EditPrzesuniecie2"));
    correction_->setMaximumWidth(100);
    correction_->installEventFilter(
        new NumberKeyFilter(live::KeyFilter::SignedDecimal, controls_.separator(), correction_));
    auto* unitRow = new QHBoxLayout;
    unitRow->addWidget(correction_);
    unitRow->addWidget(MakeLabel(QStringLiteral("LabelPrzesuniecie2"), QStringLiteral("[ms]"), group));
    unitRow->addStretch(1);
    g->addLayout(unitRow, 1, 0, 1, 4);
    for (int k = 0; k < 8; ++k) {
        auto* box = new QCheckBox(QStringLiteral("Wtrysk%1").arg(k + 1), group);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        boxes_[static_cast<std::size_t>(k)] = box;
        g->addWidget(box, 2 + k / 4, k % 4);
    }
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    auto* apply = new QPushButton(QString::fromUtf8("Wprowadź"), this);
    apply->setObjectName(QStringLiteral("ButtonPrzesuniecie2"));
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, [this] {
        if (this->apply()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setMinimumWidth(420);
}

std::uint8_t IdleCorrectionDialog::selection() const {
    std::uint8_t bits = 0;
    for (std::size_t k = 0; k < boxes_.size(); ++k)
        if (boxes_[k]->isChecked()) bits = static_cast<std::uint8_t>(bits | (1u << k));
    return bits;
}

void IdleCorrectionDialog::edit() {
    const params::ParameterImage& image = controls_.model().image();
    correction_->setText(QString::fromStdString(params::ExtraCorrectionText(image, controls_.separator())));
    const std::uint8_t bits = params::ExtraCorrectionSelection(image);
    for (std::size_t k = 0; k < boxes_.size(); ++k) boxes_[k]->setChecked((bits >> k) & 1u);
    // No title of its own in the language files: the group's caption says what it is.
    if (auto* group = findChild<QGroupBox*>(QStringLiteral("GroupBoxPoprawka2"))) setWindowTitle(group->title());
    (void)exec();
}

bool IdleCorrectionDialog::apply() {
    const std::string text = correction_->text().toStdString();
    if (!params::ParseDecimal(text)) {
        // Stopped before anything is sent; the dialog stays open for the correction.
        QMessageBox::warning(this, QString(), QStringLiteral("'%1' is not a valid floating point value").arg(correction_->text()));
        return false;
    }
    const std::uint8_t bits = selection();
    const char sep = controls_.separator();
    if (!controls_.run([&](link::Link& link, params::ProgramState& state) {
            return params::ApplyExtraCorrection(link, state.image, text, bits, sep);
        }))
        return false;
    // The injector settings are sent again from the main window's editors, as they stand.
    params::InjectorTexts texts = params::InjectorTextsOf(controls_.model().image(), sep);
    const auto fromEditor = [this](int param, std::string& into) {
        if (QLineEdit* e = controls_.editor(param)) into = e->text().toStdString();
    };
    fromEditor(params::pn::MaxGasTime, texts.maxTime);
    fromEditor(params::pn::MinGasOpening, texts.minOpening);
    fromEditor(params::pn::FullOpeningTime, texts.fullOpening);
    fromEditor(params::pn::HoldingCurrent, texts.holding);
    fromEditor(params::pn::GasInjectionDelay, texts.delay);
    (void)controls_.run([&](link::Link& link, params::ProgramState& state) {
        return params::WriteInjectorSettings(link, state.image, texts, sep);
    });
    return true;
}

}  // namespace sequaflow::ui
