#include "ui/pages/advanced_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "params/number_text.h"
#include "ui/fields.h"
#include "ui/key_filters.h"
#include "ui/configuration_model.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace {
// The application's standard conversion failure, naming the first text that is not a number.
QString NotANumberText(std::initializer_list<QLineEdit*> edits) {
    for (QLineEdit* e : edits)
        if (!params::ParseDecimal(e->text().toStdString()))
            return QStringLiteral("'%1' is not a valid floating point value").arg(e->text());
    return QString();
}

QLineEdit* FilterEdit(const QString& name, QWidget* parent, char separator) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(120);
    e->installEventFilter(new NumberKeyFilter(live::KeyFilter::Decimal, separator, e));
    e->installEventFilter(new FocusKeyFilter(e));
    return e;
}
}  // namespace

AdvancedPage::AdvancedPage(ConfigurationModel& model, SequenceRunner& runner, QWidget* parent)
    : QWidget(parent), model_(model), runner_(runner) {
    setObjectName(QStringLiteral("TabSheet4"));
    const char sep = model_.decimalSeparator();
    auto* layout = new QVBoxLayout(this);
    group_ = new QGroupBox(QStringLiteral("Mazda/Jalowy"), this);
    group_->setObjectName(QStringLiteral("GroupBoxFiltrLowRpm"));
    auto* form = new QFormLayout(group_);
    rpm_ = FilterEdit(QStringLiteral("EditFiltrRPM"), group_, sep);
    injTime_ = FilterEdit(QStringLiteral("EditFiltrInjTime"), group_, sep);
    dt_ = FilterEdit(QStringLiteral("EditFiltrDt"), group_, sep);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrRPM"), QStringLiteral("Filtr obrotów"), group_), rpm_);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrInjTime"), QStringLiteral("Filtr czasu wtrysku"), group_),
                 injTime_);
    form->addRow(MakeLabel(QStringLiteral("LabelFiltrDt"), QStringLiteral("Filtr zmian"), group_), dt_);
    auto* save = new QPushButton(QStringLiteral("Zapisz"), group_);
    save->setObjectName(QStringLiteral("ButtonFiltrZapis"));
    form->addRow(save);
    layout->addWidget(group_);

    kindLabel_ = MakeLabel(QStringLiteral("LabelFiltr"), QStringLiteral("Filtr niskich obrotów"), this);
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("ComboBoxFiltr"));
    kind_->addItems({QStringLiteral("Brak"), QStringLiteral("Jałowy"), QStringLiteral("Mazda 99-01")});
    layout->addWidget(kindLabel_);
    layout->addWidget(kind_, 0, Qt::AlignLeft);
    layout->addStretch(1);

    connect(save, &QPushButton::clicked, this, &AdvancedPage::applyFilters);
    connect(kind_, &QComboBox::activated, this, &AdvancedPage::applyFilters);
    connect(&model_, &ConfigurationModel::readFinished, this, &AdvancedPage::showParameters);
}

void AdvancedPage::showFilterTexts(const params::FilterTexts& texts) {
    showing_ = true;
    rpm_->setText(QString::fromStdString(texts.rpm));
    injTime_->setText(QString::fromStdString(texts.injTime));
    dt_->setText(QString::fromStdString(texts.dt));
    kind_->setCurrentIndex(texts.item);
    showing_ = false;
}

void AdvancedPage::showParameters() {
    const bool hasFilters = params::HasMeasurementFilters(model_.software());
    group_->setVisible(hasFilters);
    kindLabel_->setVisible(hasFilters);
    kind_->setVisible(hasFilters);
    showFilterTexts(params::FilterTextsOf(model_.image(), model_.decimalSeparator()));
}

void AdvancedPage::applyFilters() {
    if (showing_) return;
    std::optional<params::FilterTexts> texts;
    const bool ran = runner_.exchange([&](link::ControllerLink& line) {
        texts = model_.change([&](params::ProgramState& state) {
            return params::ApplyMeasurementFilters(line.link(), state.image, rpm_->text().toStdString(),
                                                   injTime_->text().toStdString(), dt_->text().toStdString(),
                                                   kind_->currentIndex(), state.decimalSeparator);
        });
    });
    if (!ran) return;
    if (!texts) {
        QMessageBox::warning(this, QString(), NotANumberText({rpm_, injTime_, dt_}));
        return;
    }
    showFilterTexts(*texts);
}

void AdvancedPage::writeDefaultFilters() {
    params::FilterTexts texts;
    const bool ran = runner_.exchange([&](link::ControllerLink& line) {
        texts = model_.change([&](params::ProgramState& state) {
            return params::SetDefaultMeasurementFilters(line.link(), state.image, state.decimalSeparator);
        });
    });
    if (ran) showFilterTexts(texts);
}

}  // namespace sequaflow::ui
