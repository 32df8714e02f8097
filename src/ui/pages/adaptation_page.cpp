#include "ui/pages/adaptation_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

#include "i18n/message_ids.h"
#include "params/parameter_numbers.h"
#include "params/parameter_settings.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/parameter_controls.h"
#include "ui/readings_controller.h"
#include "ui/sequence_runner.h"
#include "ui/widgets/round_meter.h"

namespace sequaflow::ui {

namespace {

namespace msg = i18n::msg;
using adapt::Step;
using adapt::TickOutcome;
using adapt::Written;

// The result fields of GroupBoxAd with their labels and the labels' default texts, in ResultTexts order.
struct ResultField {
    const char* field;
    const char* label;
    const char* text;
};
constexpr std::array<ResultField, 8> kResultFields = {{
    {"EditObciazBenz", "Label1AD", "obciazenie na benzynie"},
    {"EditObciazLPG", "Label2AD", "obciazenie na gazie"},
    {"EditPsysMax", "Label3AD", "maksymalne cisnienie gazu"},
    {"EditAutoadapKorekta", "Label4AD", "korekta"},
    {"EditSredniBenzyna", "Label5AD", "czas wtrysku benzyny na biegu jalowym"},
    {"EditPsysMin", "Label6AD", "minimalne cisnienie gazu"},
    {"EditSredniLPG", "Label7AD", "czas wtrysku gazu na biegu jalowym"},
    {"EditRoznicaWolne", "Label8AD", "Korekta czasu wtrysku na biegu jalowym"},
}};

std::array<const std::string*, 8> ResultTextsInOrder(const adapt::ResultTexts& r) {
    return {&r.petrolLoad,    &r.gasLoad,        &r.highestPressure, &r.correction,
            &r.petrolAverage, &r.lowestPressure, &r.gasAverage,      &r.offset};
}

// The nozzle sizes by engine power per cylinder for two injector makes; fixed, nothing is computed.
constexpr const char* kNozzleTable =
    ":\nValtek:\n10-20 kM/cyl 1.5  - 2.0  \n20-30 kM/cyl 2.0  - 2.5\n30-40 kM/cyl 2.5 - 3.0\n40-60 kM/cyl 3.0  - 3.5\n"
    "\nMartix:\n10-20 kM/cyl 1.7  - 2.0\n20-30 kM/cyl 2.0  - 2.7\n30-40 kM/cyl 2.7 ->";

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// What the controller already holds after a stop part way, one line for the memo.
QString WrittenSummary(const std::vector<Written>& written) {
    if (written.empty()) return QString::fromUtf8("Nic nie zostało zapisane w sterowniku.");
    QStringList parts;
    for (const Written& w : written) {
        switch (w.what) {
            case Written::What::Parameter:
                parts << QStringLiteral("parametr %1 = %2").arg(w.param).arg(FromStd(w.text));
                break;
            case Written::What::AdvancedMap:
                parts << QString::fromUtf8("mapa zaawansowana: %1 komórek = %2%3")
                             .arg(w.cells)
                             .arg(w.value > 0 ? QStringLiteral("+") : QString())
                             .arg(w.value);
                break;
            case Written::What::StandardMap: {
                QStringList values;
                for (int v : w.values) values << QString::number(v);
                parts << QStringLiteral("mapa podstawowa: %1").arg(values.join(QLatin1Char(' ')));
                break;
            }
        }
    }
    return QString::fromUtf8("Zapisano w sterowniku: ") + parts.join(QStringLiteral("; "));
}

QString StopReasonText(TickOutcome outcome) {
    switch (outcome) {
        case TickOutcome::NoAnswer: return QString::fromUtf8("Autoadaptacja przerwana: sterownik nie odpowiada");
        case TickOutcome::LineLost:
            return QString::fromUtf8("Autoadaptacja przerwana: utracono połączenie ze sterownikiem");
        default: return QString::fromUtf8("Autoadaptacja przerwana");
    }
}

}  // namespace

AdaptationPage::AdaptationPage(ParameterControls& controls, ReadingsController& readings, const LiveFeed& feed,
                               const i18n::MessageStore& messages, QProgressBar* stepBar, QWidget* parent)
    : QWidget(parent), controls_(controls), readings_(readings), feed_(feed), messages_(messages), stepBar_(stepBar) {
    setObjectName(QStringLiteral("TabSheet5"));
    timer_.setObjectName(QStringLiteral("TimerAdaptacja"));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AdaptationPage::tick);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoAutoadaptacja"));
    memo_->setReadOnly(true);
    memo_->setFocusPolicy(Qt::NoFocus);
    memo_->setMinimumHeight(110);
    memo_->setMaximumHeight(150);
    QFont big = memo_->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    memo_->setFont(big);

    meter_ = new RoundMeter(this);
    meter_->setObjectName(QStringLiteral("ObrotomierzAd"));
    meter_->setRange(0, 8);
    meter_->setSignalName(QStringLiteral("Obroty"));
    meter_->setUnitText(QStringLiteral("x1000"));
    meter_->setFixedSize(280, 280);
    rpmText_ = MakeValueField(QStringLiteral("EditObrotomierzAd"), this);

    button_ = new QPushButton(QStringLiteral("START"), this);
    button_->setObjectName(QStringLiteral("ButtonRozpocznijAuto"));
    button_->setMinimumSize(160, 60);
    QFont bold = button_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    button_->setFont(bold);
    connect(button_, &QPushButton::clicked, this, &AdaptationPage::startOrAbort);

    progressLabel_ = MakeLabel(QStringLiteral("LabelPostepAd"), QStringLiteral("Postep"), this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressAd"));
    progress_->setRange(0, 100);
    progress_->setValue(0);

    // The results are kept in their fields (the correction is what the mixture editor gets) but not shown.
    results_ = new QGroupBox(this);
    results_->setObjectName(QStringLiteral("GroupBoxAd"));
    auto* resultGrid = new QGridLayout(results_);
    for (std::size_t i = 0; i < kResultFields.size(); ++i) {
        const auto& r = kResultFields[i];
        auto* label = MakeLabel(QString::fromLatin1(r.label), QString::fromLatin1(r.text), results_);
        fields_[i] = MakeValueField(QString::fromLatin1(r.field), results_);
        resultGrid->addWidget(label, static_cast<int>(i), 0);
        resultGrid->addWidget(fields_[i], static_cast<int>(i), 1);
    }
    results_->hide();

    nozzles_ = new QPushButton(QStringLiteral("zalecane dysze"), this);
    nozzles_->setObjectName(QStringLiteral("ButtonDyszki"));
    nozzles_->hide();
    connect(nozzles_, &QPushButton::clicked, this, &AdaptationPage::showNozzles);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memo_);
    auto* middle = new QHBoxLayout;
    // The meter and its figure together, the pair centred in the room the memo leaves.
    auto* speed = new QVBoxLayout;
    speed->addStretch(1);
    speed->addWidget(meter_, 0, Qt::AlignHCenter);
    speed->addWidget(rpmText_, 0, Qt::AlignHCenter);
    speed->addStretch(1);
    middle->addLayout(speed, 1);
    middle->addWidget(button_, 0, Qt::AlignVCenter);
    layout->addLayout(middle, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progressLabel_);
    bottom->addWidget(progress_, 1);
    layout->addLayout(bottom);
    layout->addWidget(results_);
    layout->addWidget(nozzles_);

    showPrepare();
    connect(&feed_, &LiveFeed::frameAccepted, this, &AdaptationPage::showReadings);
}

void AdaptationPage::showReadings() {
    const auto& v = feed_.view();
    meter_->setValue(v.rpmGauge);
    SetTextIfChanged(rpmText_, QString::fromStdString(v.rpmPlain));
}

void AdaptationPage::startOrAbort() {
    if (adaptation_.running()) abort();
    else start();
}

void AdaptationPage::start() {
    if (!controls_.runner().connected()) {
        QMessageBox::warning(this, QString(), QString::fromUtf8("Brak połączenia"));
        return;
    }
    emit started();
    adaptation_.start();
    shownWritten_ = 0;
    progress_->setValue(0);
    for (QLineEdit* field : fields_) field->clear();
    setCaption();
    showInstruction();
    shownStep_ = adaptation_.stepSerial();
    timer_.start(adaptation_.intervalMs());
}

void AdaptationPage::abort() {
    timer_.stop();
    adaptation_.abort();
    setCaption();
    progress_->setValue(0);
    if (stepBar_ != nullptr) stepBar_->setValue(0);
    showPrepare();
    emit finished(true);
}

void AdaptationPage::shutDown() {
    timer_.stop();
    adaptation_.abort();
}

void AdaptationPage::tick() {
    if (!adaptation_.running()) {
        timer_.stop();
        return;
    }
    const Step before = adaptation_.step();
    const unsigned stepBefore = adaptation_.stepSerial();
    TickOutcome outcome = TickOutcome::Running;
    // The final writes block the tick for a few seconds: their progress is shown as they go.
    const SequenceControl control([this](const params::ProgressStep&) { showProgress(); });
    const bool ran = controls_.runner().exchange([&](link::ControllerLink& line) {
        adapt::LinkLiveSource source(line.link(), [this](const live::LiveWords&) { readings_.showAccepted(); });
        controls_.model().change([&](params::ProgramState& state) {
            outcome = adaptation_.tick(line.link(), state, source, control);
        });
    });
    if (!ran) return;  // another sequence holds the line: the next timeout tries again
    showWritten();
    showResults();

    switch (outcome) {
        case TickOutcome::Running:
            showInstruction();
            showProgress();
            // The steps that look at the speed show the value they judged by.
            if ((before == Step::ToGas || before == Step::BackToPetrol) && adaptation_.stepSerial() == stepBefore)
                SetTextIfChanged(rpmText_, QString::number(adaptation_.shownRpm()));
            if (adaptation_.stepSerial() != shownStep_) {
                shownStep_ = adaptation_.stepSerial();
                timer_.start(adaptation_.intervalMs());
            }
            break;
        case TickOutcome::Completed:
            timer_.stop();
            setCaption();
            progress_->setValue(0);
            if (stepBar_ != nullptr) stepBar_->setValue(0);
            showVerdict();
            emit finished(false);
            break;
        case TickOutcome::NoAnswer:
        case TickOutcome::LineLost:
        case TickOutcome::Cancelled: stopped(outcome); break;
        case TickOutcome::Idle: timer_.stop(); break;
    }
}

void AdaptationPage::stopped(TickOutcome outcome) {
    timer_.stop();
    setCaption();
    progress_->setValue(0);
    if (stepBar_ != nullptr) stepBar_->setValue(0);
    const QString reason = StopReasonText(outcome);
    memo_->setPlainText(reason + QLatin1Char('\n') + WrittenSummary(adaptation_.written()) + QLatin1Char('\n') +
                        Text(messages_, msg::AdaptationIntro));
    shownInstruction_ = adaptation_.instructionSerial();
    controls_.runner().say(reason);
    emit finished(true);
}

void AdaptationPage::showProgress() {
    progress_->setValue(adaptation_.overallProgress());
    if (stepBar_ != nullptr) {
        stepBar_->setRange(0, std::max(1, adaptation_.stepMaximum()));
        stepBar_->setValue(adaptation_.stepPosition());
    }
}

void AdaptationPage::showInstruction() {
    if (adaptation_.instructionSerial() == shownInstruction_) return;
    shownInstruction_ = adaptation_.instructionSerial();
    memo_->setPlainText(Text(messages_, adapt::MessageId(adaptation_.instruction())));
}

void AdaptationPage::showResults() {
    const auto texts = ResultTextsInOrder(adaptation_.results());
    for (std::size_t i = 0; i < fields_.size(); ++i) SetTextIfChanged(fields_[i], FromStd(*texts[i]));
}

void AdaptationPage::showVerdict() {
    const auto& report = adaptation_.report();
    if (!report) return;
    QStringList lines;
    for (int id : adapt::VerdictMessages(report->verdict)) lines << Text(messages_, id);
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
}

void AdaptationPage::showPrepare() {
    memo_->setPlainText(Text(messages_, msg::AdaptationIntro));
    shownInstruction_ = adaptation_.instructionSerial();
}

void AdaptationPage::showWritten() {
    const auto& written = adaptation_.written();
    if (written.size() <= shownWritten_) return;
    const auto& state = controls_.model().state();
    params::SettingOutcome outcome;
    for (std::size_t i = shownWritten_; i < written.size(); ++i) {
        const Written& w = written[i];
        if (w.what != Written::What::Parameter) continue;  // the map views follow the model's mapsChanged
        if (w.param == params::pn::FirstFlags) {
            // The flags word carries the reducer vacuum the procedure set to "connected".
            const auto item = params::ShownItemOf(state, params::Setting::ReducerVacuum, params::SpeedTextsOf(state));
            outcome.items.push_back({params::Setting::ReducerVacuum, item});
        } else {
            outcome.texts.push_back({w.param, w.text});
        }
    }
    shownWritten_ = written.size();
    controls_.show(outcome);
}

void AdaptationPage::setCaption() {
    button_->setText(Text(messages_, adaptation_.running() ? msg::Abort : msg::Start));
}

void AdaptationPage::showNozzles() {
    QMessageBox::information(this, QString(),
                             Text(messages_, msg::RecommendedNozzles) + QString::fromLatin1(kNozzleTable));
}

bool AdaptationPage::canLeave() {
    const auto answer = QMessageBox::question(this, QString(), Text(messages_, msg::LeaveAdaptation),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
    if (adaptation_.running()) abort();
    emit left();
    return true;
}

void AdaptationPage::languageChanged() {
    setCaption();
    if (adaptation_.running()) {
        memo_->setPlainText(Text(messages_, adapt::MessageId(adaptation_.instruction())));
        shownInstruction_ = adaptation_.instructionSerial();
    } else {
        showPrepare();
    }
}

}  // namespace sequaflow::ui
