#include "ui/dialogs/vehicle_data_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "record/vehicle_entry.h"
#include "record/vehicle_transfer.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

using record::ListField;
using record::TextField;

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

struct TextSpec {
    const char* edit;
    const char* label;
    const char* caption;
};
// In the order of the record's text fields.
constexpr std::array<TextSpec, record::kTextFieldCount> kTexts{{
    {"NrRejEdit", "Label1", "Nr rejestracyjny:"},
    {"MarkaEdit", "Label7", "Marka:"},
    {"ModelEdit", "Label9", "Model:"},
    {"OpisEdit", "Label2", "Montował:"},
    {"DataRokEdit", "LabelRok", "Rok:"},
    {"DataMiesEdit", "Label4", "Miesiąc:"},
    {"DataDzienEdit", "Label5", "Dzień:"},
}};
// In the order of the record's lists.
constexpr std::array<TextSpec, record::kListFieldCount> kLists{{
    {"ComboBox2", "Label10", "Układ Cylindrów:"},
    {"ComboBox3", "Label11", "Liczba Cylindrów:"},
    {"ComboBox1", "Label6", "Pojemność silnika:"},
    {"ComboBox4", "Label18", "Średnica Dysz Wtryskiwaczy:"},
}};

}  // namespace

VehicleDataDialog::VehicleDataDialog(ConfigurationModel& model, SequenceRunner& runner,
                                     const i18n::MessageStore& messages, QWidget* parent)
    : QDialog(parent), model_(model), runner_(runner), messages_(messages) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("dane samochodu"));
    setModal(true);

    for (int f = 0; f < record::kTextFieldCount; ++f) {
        const auto i = static_cast<std::size_t>(f);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kTexts[i].edit));
        edit->setMaxLength(static_cast<int>(record::kTextFields[i].width));
        edit->installEventFilter(this);
        texts_[i] = edit;
        textLabels_[i] = MakeLabel(QString::fromLatin1(kTexts[i].label), QString::fromUtf8(kTexts[i].caption), this);
    }
    auto* group = new QGroupBox(QString::fromUtf8("Dane Montażu"), this);
    group->setObjectName(QStringLiteral("GroupBoxDaneMont"));
    auto* groupGrid = new QGridLayout(group);
    for (int l = 0; l < record::kListFieldCount; ++l) {
        const auto i = static_cast<std::size_t>(l);
        const auto field = static_cast<ListField>(l);
        auto* box = new QComboBox(group);  // pick-only: not editable
        box->setObjectName(QString::fromLatin1(kLists[i].edit));
        for (int e = 0; e < record::ListEntryCount(field); ++e) box->addItem(FromUtf8(*record::ListEntryText(field, e)));
        box->installEventFilter(this);
        lists_[i] = box;
        listLabels_[i] = MakeLabel(QString::fromLatin1(kLists[i].label), QString::fromUtf8(kLists[i].caption), group);
        groupGrid->addWidget(listLabels_[i], l, 0);
        groupGrid->addWidget(box, l, 1);
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    top->addWidget(textLabels_[0], 0, 0);
    top->addWidget(textEdit(TextField::Registration), 0, 1);
    layout->addLayout(top);
    layout->addWidget(group);

    auto* date = new QGridLayout;
    date->addWidget(MakeLabel(QStringLiteral("Label3"), QString::fromUtf8("Data Montażu:"), this), 1, 0);
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(static_cast<int>(TextField::Year) + k);
        date->addWidget(textLabels_[i], 0, k + 1);
        date->addWidget(texts_[i], 1, k + 1);
    }
    layout->addLayout(date);

    auto* rest = new QGridLayout;
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(static_cast<int>(TextField::Make) + k);
        rest->addWidget(textLabels_[i], k, 0);
        rest->addWidget(texts_[i], k, 1);
    }
    layout->addLayout(rest);

    ok_ = new QPushButton(QStringLiteral("&Zapisz"), this);
    ok_->setObjectName(QStringLiteral("ButOK"));
    cancel_ = new QPushButton(QString::fromUtf8("Wyjdź"), this);
    cancel_->setObjectName(QStringLiteral("ButCancel"));
    for (QPushButton* b : {ok_, cancel_}) b->setAutoDefault(false);  // Enter belongs to the focus chain
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] { (void)save(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // A read leaves the record in the fields as well, not only an opening: the report reads them. An open
    // dialog keeps what the user is typing.
    const auto refill = [this] {
        if (!isVisible()) fill();
    };
    connect(&model_, &ConfigurationModel::readFinished, this, refill);
    connect(&model_, &ConfigurationModel::recordChanged, this, refill);
    fill();
}

void VehicleDataDialog::fill() {
    const record::VehicleEntry entry = record::EntryOf(model_.state().vehicle);
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        texts_[i]->clear();
        texts_[i]->setText(FromUtf8(entry.texts[i]));
    }
    const QString none = Text(messages_, i18n::msg::NoData);
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i]->setPlaceholderText(none);
        lists_[i]->setCurrentIndex(entry.lists[i].value_or(-1));
    }
}

void VehicleDataDialog::prepare(Mode mode) {
    mode_ = mode;
    fill();
    for (QLineEdit* e : texts_) e->setEnabled(mode == Mode::Enter);
    for (QComboBox* b : lists_) b->setEnabled(mode != Mode::Show);
    ok_->setVisible(mode != Mode::Show);
}

void VehicleDataDialog::showVehicleData() {
    prepare(Mode::Show);
    exec();
}

bool VehicleDataDialog::editInstallationData() {
    prepare(Mode::Installation);
    return exec() == QDialog::Accepted;
}

bool VehicleDataDialog::enterVehicleData() {
    prepare(Mode::Enter);
    textEdit(TextField::Registration)->setFocus();
    return exec() == QDialog::Accepted;
}

void VehicleDataDialog::refuse(const record::FieldProblem& problem) {
    QLabel* label = problem.text ? textLabels_[static_cast<std::size_t>(*problem.text)]
                                 : listLabels_[static_cast<std::size_t>(*problem.list)];
    QString name = label->text();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    if (problem.text && *problem.text >= TextField::Year)
        name = findChild<QLabel*>(QStringLiteral("Label3"))->text().remove(QLatin1Char(':')) + QStringLiteral(" - ") +
               name;
    QMessageBox::warning(this, windowTitle(), name + QStringLiteral(": ") + FromUtf8(record::FaultReasonPolish(problem)));
    QWidget* target = problem.text ? static_cast<QWidget*>(textEdit(*problem.text))
                                   : static_cast<QWidget*>(list(*problem.list));
    target->setFocus();
}

bool VehicleDataDialog::save() {
    if (mode_ == Mode::Show) return false;
    record::VehicleEntry entry;
    for (std::size_t i = 0; i < texts_.size(); ++i) entry.texts[i] = texts_[i]->text().toStdString();
    for (std::size_t i = 0; i < lists_.size(); ++i)
        if (lists_[i]->currentIndex() >= 0) entry.lists[i] = lists_[i]->currentIndex();

    const auto scope = mode_ == Mode::Enter ? record::EntryScope::WholeRecord : record::EntryScope::InstallationData;
    record::VehicleRecord rebuilt = model_.state().vehicle;
    if (const auto problem = record::ApplyEntry(rebuilt, entry, scope)) {
        refuse(*problem);
        return false;
    }
    if (!runner_.connected()) {
        QMessageBox::warning(this, windowTitle(), Text(messages_, i18n::msg::NoController));
        return false;
    }
    const bool sent = runner_.exchange([&](link::ControllerLink& line) {
        if (scope == record::EntryScope::WholeRecord) record::SaveVehicleRecord(line.link(), rebuilt);
        else record::WriteInstallationData(line.link(), rebuilt);
    });
    if (!sent) return false;
    model_.change([&](params::ProgramState& state) { state.vehicle = rebuilt; });
    accept();
    return true;
}

void VehicleDataDialog::focusNext(QWidget* from) {
    const std::array<QWidget*, 11> chain{textEdit(TextField::Registration), list(ListField::Layout),
                                         list(ListField::Cylinders),        list(ListField::Capacity),
                                         list(ListField::Nozzle),           textEdit(TextField::Year),
                                         textEdit(TextField::Month),        textEdit(TextField::Day),
                                         textEdit(TextField::Make),         textEdit(TextField::Model),
                                         textEdit(TextField::Installer)};
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        if (chain[i] == from) {
            chain[i + 1]->setFocus();
            return;
        }
}

bool VehicleDataDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
        if (edit != nullptr && edit->text().isEmpty()) return true;  // an empty field keeps the focus
        if (edit == textEdit(TextField::Installer)) {
            if (ok_->isVisible()) ok_->click();
        } else {
            focusNext(static_cast<QWidget*>(watched));
        }
        return true;
    }
    if (event->type() == QEvent::FocusOut && edit != nullptr && edit->isEnabled()) {
        for (const TextField f : {TextField::Year, TextField::Month, TextField::Day}) {
            if (edit != textEdit(f)) continue;
            if (const auto fix = record::DateFieldLeft(f, edit->text().toStdString())) {
                edit->setText(FromUtf8(fix->replacement));
                QMessageBox::information(this, windowTitle(), FromUtf8(std::string(fix->hint)));
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace sequaflow::ui
