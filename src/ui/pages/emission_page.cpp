#include "ui/pages/emission_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/key_filters.h"
#include "ui/parameter_controls.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace {
namespace msg = i18n::msg;

QString Utf8(const char* text) { return QString::fromUtf8(text); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// The six setting groups as the caption table names their controls, two settings each.
struct GroupNames {
    const char* group;
    const char* labels[2];
    const char* buttons[3];
};
constexpr GroupNames kGroups[] = {
    {"GroupBox13", {"Label40", "Label42"}, {"Button17", "Button18", "Button19"}},
    {"GroupBox12", {"Label22", "Label23"}, {"Button20", "Button21", "Button22"}},
    {"GroupBox7", {"Label20", "Label21"}, {"Button23", "Button24", "Button25"}},
    {"GroupBox8", {"Label18", "Label19"}, {"Button26", "Button27", "Button28"}},
    {"GroupBox9", {"Label9", "Label10"}, {"Button29", "Button30", "Button31"}},
    {"GroupBox10", {"Label3", "Label4"}, {"Button32", "Button33", "Button34"}},
};

// The description of each setting, in setting order.
constexpr int kSettingHelp[maps::kLambdaSettings] = {
    msg::LambdaHelpUpperThreshold, msg::LambdaHelpLowerThreshold, msg::LambdaHelpCorrectionMax,
    msg::LambdaHelpCorrectionMin,  msg::LambdaHelpRiseUp,         msg::LambdaHelpRiseDown,
    msg::LambdaHelpDurationDown,   msg::LambdaHelpDurationUp,     msg::LambdaHelpLoadMin,
    msg::LambdaHelpLoadMax,        msg::LambdaHelpSpeedMin,       msg::LambdaHelpSpeedMax,
};
constexpr int kSwitchHelp[maps::kLambdaSwitches] = {
    msg::LambdaHelpInertiaFilter, msg::LambdaHelpLambdaOk, msg::LambdaHelpSpeedLimits,
    msg::LambdaHelpInjectionLimits, msg::LambdaHelpSlowProbe,
};

live::KeyFilter FilterOf(maps::LambdaUnit unit) {
    return unit == maps::LambdaUnit::Whole ? live::KeyFilter::SignedDigit : live::KeyFilter::Decimal;
}

}  // namespace

EmissionPage::EmissionPage(ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
                           QWidget* parent)
    : QWidget(parent), model_(model), runner_(runner), messages_(messages) {
    setObjectName(QStringLiteral("TabSheetEmisja"));
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoEmisja"));
    memo_->setReadOnly(true);
    memo_->setFocusPolicy(Qt::NoFocus);
    memo_->setPlainText(QStringLiteral("Wybierz parametr aby zobaczyc jego opis."));
    memo_->setMinimumHeight(44);
    memo_->setMaximumHeight(90);

    // Two columns of groups, so the page fits beside the gauges on a 1024 x 768 screen.
    auto* page = new QVBoxLayout(this);
    page->setSpacing(4);
    page->addWidget(buildLambdaGroups());
    page->addWidget(buildTemperatureMap());
    page->addWidget(memo_);
    page->addStretch(1);
}

QWidget* EmissionPage::buildLambdaGroups() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    const char sep = model_.decimalSeparator();
    for (int g = 0; g < 6; ++g) {
        const auto& names = kGroups[g];
        const auto& first = maps::kLambdaFields[static_cast<std::size_t>(2 * g)];
        auto* group = new QGroupBox(Utf8(first.group), box);
        group->setObjectName(QString::fromLatin1(names.group));
        auto* layout = new QGridLayout(group);
        layout->setContentsMargins(6, 4, 6, 4);
        layout->setVerticalSpacing(2);
        for (int k = 0; k < 2; ++k) {
            const int index = 2 * g + k;
            const auto& info = maps::kLambdaFields[static_cast<std::size_t>(index)];
            auto* edit = new QLineEdit(Utf8(info.startText), group);
            edit->setObjectName(QString::fromLatin1(info.field));
            edit->setFixedWidth(64);
            edit->installEventFilter(new NumberKeyFilter(FilterOf(maps::UnitOf(index)), sep, edit));
            ShowHelpOnFocus(edit, memo_, messages_, kSettingHelp[index]);
            settings_[static_cast<std::size_t>(index)] = edit;
            layout->addWidget(MakeLabel(QString::fromLatin1(names.labels[k]), Utf8(info.label), group), k, 0);
            layout->addWidget(edit, k, 1);
        }
        // Each group shows these three; they have never done anything.
        auto* inert = new QHBoxLayout;
        inert->setSpacing(2);
        const char* captions[3] = {"Odczyt", "Zapis", "Reset"};
        for (int b = 0; b < 3; ++b) {
            auto* button = new QPushButton(QString::fromLatin1(captions[b]), group);
            button->setObjectName(QString::fromLatin1(names.buttons[b]));
            button->setFocusPolicy(Qt::NoFocus);
            button->setFixedWidth(54);
            inert->addWidget(button);
        }
        inert->addStretch(1);
        layout->addLayout(inert, 2, 0, 1, 3);
        layout->setColumnStretch(2, 1);
        if (g == 5) {
            // The switches sit in the engine-speed group, beside its fields.
            auto* lists = new QGridLayout;
            lists->setSpacing(2);
            for (int s = 0; s < maps::kLambdaSwitches; ++s) {
                const auto& info = maps::kLambdaSwitchFields[static_cast<std::size_t>(s)];
                auto* list = new QComboBox(group);
                list->setObjectName(QString::fromLatin1(info.field));
                list->addItems({Utf8(info.off), Utf8(info.on)});
                if (s == 3) list->addItem(QString());
                list->setCurrentIndex(info.startItem);
                ShowHelpOnFocus(list, memo_, messages_, kSwitchHelp[s]);
                switches_[static_cast<std::size_t>(s)] = list;
                lists->addWidget(list, s, 0);
            }
            layout->addLayout(lists, 0, 3, 4, 1);
            layout->setRowStretch(3, 1);
            layout->setColumnMinimumWidth(2, 12);
            layout->setColumnStretch(2, 0);
            layout->setColumnStretch(4, 1);
            grid->addWidget(group, 3, 0, 1, 2);
        } else {
            grid->addWidget(group, g / 2, g % 2);
        }
    }
    auto* whole = new QVBoxLayout;
    whole->setSpacing(2);
    const auto button = [&](const char* name, const char* caption, void (EmissionPage::*slot)()) {
        auto* b = new QPushButton(Utf8(caption), box);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
        whole->addWidget(b);
    };
    button("Button38", "Zapisz wszystko", &EmissionPage::saveAll);
    button("Button39", "Odczytaj wszystko", &EmissionPage::readAll);
    button("Button42", "Zresetuj wszystko", &EmissionPage::resetAll);
    whole->addStretch(1);
    grid->addLayout(whole, 2, 1, Qt::AlignTop);
    // Present on the page, used by nothing.
    auto* unused = new QLineEdit(box);
    unused->setObjectName(QStringLiteral("EditKorWolZm"));
    unused->hide();
    return box;
}

QWidget* EmissionPage::buildTemperatureMap() {
    auto* group = new QGroupBox(Utf8(maps::kTemperatureMapGroup), this);
    group->setObjectName(QStringLiteral("GroupBoxMapTemp"));
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    // The captions above their rows; the fields staggered below: K1 before T1, Kk between T(k-1) and Tk,
    // K6 after T5.
    grid->addWidget(MakeLabel(QStringLiteral("Label44"), Utf8(maps::kBreakpointsLabel), group), 0, 0, 1, 6);
    grid->addWidget(MakeLabel(QStringLiteral("Label45"), Utf8(maps::kEnrichmentsLabel), group), 2, 0, 1, 6);
    const char sep = model_.decimalSeparator();
    const auto field = [&](const QString& name, const QString& text) {
        auto* e = new QLineEdit(text, group);
        e->setObjectName(name);
        e->setFixedWidth(32);
        e->setAlignment(Qt::AlignRight);
        e->installEventFilter(new NumberKeyFilter(live::KeyFilter::SignedDigit, sep, e));
        ShowHelpOnFocus(e, memo_, messages_, msg::LambdaHelpTemperatureRange);
        return e;
    };
    for (int k = 0; k < maps::kTempEnrichments; ++k) {
        enrichments_[static_cast<std::size_t>(k)] = field(QStringLiteral("EditT%1K").arg(k + 1), QStringLiteral("0"));
        grid->addWidget(enrichments_[static_cast<std::size_t>(k)], 3, 2 * k);
    }
    for (int k = 0; k < maps::kTempPoints; ++k) {
        breakpoints_[static_cast<std::size_t>(k)] =
            field(QStringLiteral("EditT%1").arg(k + 1), Utf8(maps::kBreakpointStartTexts[static_cast<std::size_t>(k)]));
        grid->addWidget(breakpoints_[static_cast<std::size_t>(k)], 1, 1 + 2 * k);
    }
    grid->addWidget(new QLabel(QStringLiteral("[°C]"), group), 1, 11);
    grid->addWidget(new QLabel(QStringLiteral("[%]"), group), 3, 11);
    grid->setColumnStretch(12, 1);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(2);
    mapActive_ = new QComboBox(group);
    mapActive_->setObjectName(QStringLiteral("ComboBoxMapaTemp"));
    mapActive_->addItems({Utf8(maps::kTemperatureMapItems[0]), Utf8(maps::kTemperatureMapItems[1])});
    ShowHelpOnFocus(mapActive_, memo_, messages_, msg::LambdaHelpTemperatureMap);
    auto* read = new QPushButton(QStringLiteral("Czytaj"), group);
    read->setObjectName(QStringLiteral("ButtonOdczytMapy"));
    auto* save = new QPushButton(QStringLiteral("Zapisz Zmiany"), group);
    save->setObjectName(QStringLiteral("Button16"));
    controls->addWidget(mapActive_);
    controls->addWidget(read);
    controls->addWidget(save);
    controls->addStretch(1);
    grid->addLayout(controls, 4, 0, 1, 13);
    connect(read, &QPushButton::clicked, this, &EmissionPage::readMap);
    connect(save, &QPushButton::clicked, this, &EmissionPage::saveMap);
    return group;
}

void EmissionPage::saveAll() {
    maps::LambdaSaveInput input;
    for (std::size_t i = 0; i < settings_.size(); ++i) input.texts[i] = settings_[i]->text().toStdString();
    for (std::size_t k = 0; k < switches_.size(); ++k) input.switches[k] = switches_[k]->currentIndex();
    std::optional<maps::LambdaSaveReport> report;
    (void)runner_.exchange([&](link::ControllerLink& line) {
        report = model_.change([&](params::ProgramState& state) {
            return maps::SaveLambdaSettings(line.link(), state, input);
        });
    });
    if (!report) return;
    if (report->failure) {
        refuse(*report->failure, settings_[static_cast<std::size_t>(report->failure->field)]);
        return;
    }
    if (report->flagsUnknown) tellFlagsUnknown();
}

void EmissionPage::readAll() {
    bool ran = runner_.exchange([&](link::ControllerLink& line) {
        (void)model_.change([&](params::ProgramState& state) { return maps::ReadLambdaSettings(line.link(), state); });
    });
    if (ran) showLambda();
}

void EmissionPage::resetAll() {
    const int mapItem = mapActive_->currentIndex();
    std::optional<maps::ResetReport> report;
    (void)runner_.exchange([&](link::ControllerLink& line) {
        report = model_.change([&](params::ProgramState& state) {
            return maps::ResetLambdaAndTemperature(line.link(), state, mapItem);
        });
    });
    // The fields keep their texts: a read shows what the controller now holds.
    if (report && report->flagsUnknown) tellFlagsUnknown();
}

void EmissionPage::saveMap() {
    maps::TemperatureMapTexts texts;
    texts.activation = mapActive_->currentIndex();
    for (std::size_t k = 0; k < enrichments_.size(); ++k) texts.enrichments[k] = enrichments_[k]->text().toStdString();
    for (std::size_t k = 0; k < breakpoints_.size(); ++k) texts.breakpoints[k] = breakpoints_[k]->text().toStdString();
    std::optional<maps::TemperatureSaveReport> report;
    (void)runner_.exchange([&](link::ControllerLink& line) {
        report = model_.change([&](params::ProgramState& state) {
            return maps::SaveTemperatureMap(line.link(), state, texts);
        });
    });
    if (!report) return;
    // A limited value shows its limit, also when a later field stopped the save.
    for (std::size_t k = 0; k < enrichments_.size(); ++k) enrichments_[k]->setText(FromStd(report->shown.enrichments[k]));
    for (std::size_t k = 0; k < breakpoints_.size(); ++k) breakpoints_[k]->setText(FromStd(report->shown.breakpoints[k]));
    if (report->failure) {
        const int f = report->failure->field;
        refuse(*report->failure, f < maps::kFirstBreakpointField
                                     ? enrichments_[static_cast<std::size_t>(f)]
                                     : breakpoints_[static_cast<std::size_t>(f - maps::kFirstBreakpointField)]);
        return;
    }
    if (report->flagsUnknown) tellFlagsUnknown();
}

void EmissionPage::readMap() {
    mapActive_->setCurrentIndex(maps::TemperatureMapItem(model_.image()));
    bool ran = runner_.exchange([&](link::ControllerLink& line) {
        (void)model_.change([&](params::ProgramState& state) { return maps::ReadTemperatureMap(line.link(), state); });
    });
    if (ran) showMap();
}

void EmissionPage::showLambda() {
    const auto texts = maps::LambdaTextsOf(model_.state());
    for (std::size_t i = 0; i < settings_.size(); ++i) settings_[i]->setText(FromStd(texts[i]));
    // The switches as the last parameter read left them: nothing is asked for them.
    const auto items = maps::LambdaSwitchItems(model_.image());
    for (std::size_t k = 0; k < switches_.size(); ++k) switches_[k]->setCurrentIndex(items[k]);
}

void EmissionPage::showMap() {
    const auto texts = maps::TemperatureMapTextsOf(model_.state());
    for (std::size_t k = 0; k < enrichments_.size(); ++k) enrichments_[k]->setText(FromStd(texts.enrichments[k]));
    for (std::size_t k = 0; k < breakpoints_.size(); ++k) breakpoints_[k]->setText(FromStd(texts.breakpoints[k]));
}

void EmissionPage::refuse(const maps::FieldFailure& failure, QLineEdit* field) {
    QMessageBox::warning(this, QString(), FromStd(failure.message));
    field->setFocus();
    field->selectAll();
}

void EmissionPage::tellFlagsUnknown() {
    runner_.say(QStringLiteral("Parametr 47 nie był odczytany ze sterownika: przełączniki nie zostały zapisane"));
}

}  // namespace sequaflow::ui
