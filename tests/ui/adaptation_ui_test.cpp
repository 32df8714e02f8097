#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <array>
#include <set>

#include "adapt/adaptation.h"
#include "i18n/message_ids.h"
#include "live/conversions.h"
#include "params/number_text.h"
#include "sim/fault_injector.h"
#include "ui/connection_controller.h"
#include "ui/language_controller.h"
#include "ui/live_feed.h"
#include "ui/main_menu.h"
#include "ui/pages/adaptation_page.h"
#include "ui/readings_controller.h"
#include "ui_rig.h"

using namespace sequaflow;
using adapt::Step;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

namespace msg = i18n::msg;

// The window against the simulated engine held at 2600 rpm with a warm reducer, connected and read.
struct AdaptRig : VirtualRig {
    AdaptRig() : VirtualRig(Behind::Simulator) {
        controller->engine().holdRpm(2600);
        controller->engine().setReducerTemperature(60);
        activate();
    }
    ui::AdaptationPage& page() { return window->adaptationPage(); }
    QPushButton* button() const { return find<QPushButton>("ButtonRozpocznijAuto"); }
    QString memo() const { return find<QPlainTextEdit>("MemoAutoadaptacja")->toPlainText(); }
    int progress() const { return find<QProgressBar>("ProgressAd")->value(); }
    int stepBar() const { return find<QProgressBar>("ProgressBar1")->value(); }
    QString field(const char* name) const { return find<QLineEdit>(name)->text(); }
    bool languageMenuShown() { return window->menu().menu(QStringLiteral("Jzyk1"))->menuAction()->isVisible(); }
    bool readingsOn() { return window->readings().timer()->isActive(); }

    // One timeout of the step timer after its interval has passed.
    void tick() {
        pacer.pause(page().adaptation().intervalMs());
        page().tick();
    }
    // The installer: does what the memo says with the fuel buttons of the window (the simulated engine
    // holds its speed by itself).
    void followInstruction() {
        if (memo() == text(msg::SwitchToPetrol)) find<QPushButton>("ButtonBenzyna")->click();
        else if (memo() == text(msg::SwitchToGas)) find<QPushButton>("ButtonLPG")->click();
    }
    // Ticks until `done` holds or the procedure stops; false when `limit` ticks were not enough.
    template <typename F>
    bool tickUntil(F done, int limit = 20000) {
        for (int i = 0; i < limit && page().running(); ++i) {
            if (done()) return true;
            followInstruction();
            tick();
        }
        return done();
    }
    // To the end of the procedure; false when it still runs after `limit` ticks.
    bool runToEnd(int limit = 20000) {
        (void)tickUntil([] { return false; }, limit);
        return !page().running();
    }
};

double Number(const QString& text) {
    return params::ParseDecimal(text.toStdString()).value_or(-9999.0);
}

}  // namespace

class AdaptationUiTest : public QObject {
    Q_OBJECT
private slots:
    void wholeRunAt2600WritesWhatThePageShows();
    void startWithoutConnectionSaysSoAndSendsNothing();
    void abortAndLanguageChangeWhileRunning();
    void leavingThePageAsksAndYesAbortsKeepingWhatWasWritten();
    void lostLineAndSilentControllerStopItAndLeaveTheProgramUsable();
    void lostLineInTheFinalWritesSaysWhatWentOut();
    void closingTheWindowStopsTheProcedure();
    void nozzleBoxShowsTheFixedTable();
};

void AdaptationUiTest::wholeRunAt2600WritesWhatThePageShows() {
    AdaptRig rig;
    rig.window->showPage(&rig.page());
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationIntro));
    QVERIFY(rig.readingsOn());
    rig.find<QLineEdit>("EditObciazBenz")->setText(QStringLiteral("stale"));

    std::set<int> stepMaxima;
    int highestProgress = 0;
    QProgressBar* stepBar = rig.find<QProgressBar>("ProgressBar1");
    connect(stepBar, &QProgressBar::valueChanged, this, [&] { stepMaxima.insert(stepBar->maximum()); });
    connect(rig.find<QProgressBar>("ProgressAd"), &QProgressBar::valueChanged, this,
            [&](int v) { highestProgress = std::max(highestProgress, v); });
    QSignalSpy frames(&rig.window->feed(), &ui::LiveFeed::frameAccepted);

    rig.button()->click();
    QVERIFY(rig.page().running());
    QCOMPARE(rig.button()->text(), QStringLiteral("PRZERWIJ"));
    QVERIFY(!rig.readingsOn());
    QVERIFY(!rig.window->connection().autoconnectTimer()->isActive());
    QVERIFY(!rig.languageMenuShown());
    QCOMPARE(rig.field("EditObciazBenz"), QString());
    QCOMPARE(rig.memo(), rig.text(10525));
    QCOMPARE(rig.page().timer()->interval(), 100);
    QVERIFY(rig.page().timer()->isActive());
    QCOMPARE(rig.page().timer()->timerType(), Qt::PreciseTimer);

    // Parameter 1 goes out when step 6 ends, parameter 3 is zeroed on entering step 8.
    QVERIFY(rig.tickUntil([&] { return rig.page().adaptation().step() == Step::SettlePetrol; }));
    const QString correction = rig.field("EditAutoadapKorekta");
    QVERIFY(correction.startsWith(QLatin1Char('+')) || correction.startsWith(QLatin1Char('-')));
    QCOMPARE(rig.field("EditWzbogacanieMieszanki"), correction);
    QCOMPARE(int(rig.simParameter(1)), 100 + int(Number(correction)));
    QCOMPARE(rig.page().timer()->interval(), rig.page().adaptation().intervalMs());
    QVERIFY(rig.tickUntil([&] { return rig.page().adaptation().step() == Step::SteadyPetrol; }));
    QCOMPARE(rig.simParameter(3), std::uint16_t(0));
    QCOMPARE(rig.field("EditPrzesuniecie"), QStringLiteral("0,00"));
    QCOMPARE(rig.page().timer()->interval(), 50);
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationHoldSpeed));

    QVERIFY(rig.runToEnd());
    const auto& report = rig.page().adaptation().report();
    QVERIFY(report.has_value());

    // Every field holds a result; the writes show in the editors and match the controller.
    for (const char* name : {"EditObciazBenz", "EditObciazLPG", "EditPsysMax", "EditAutoadapKorekta",
                             "EditSredniBenzyna", "EditPsysMin", "EditSredniLPG", "EditRoznicaWolne"})
        QVERIFY2(!rig.field(name).isEmpty(), name);
    QCOMPARE(int(rig.simParameter(1)), 100 + int(Number(rig.field("EditAutoadapKorekta"))));
    const QString offset = rig.field("EditPrzesuniecie");
    QCOMPARE(offset + QStringLiteral(" ms"), rig.field("EditRoznicaWolne"));
    const float sentOffset =
        live::SignedTicksToMs(static_cast<std::int16_t>(rig.simParameter(3)), rig.state.image.fastClock());
    QVERIFY2(std::abs(sentOffset - Number(offset)) < 0.01, qPrintable(offset));
    const QString lowest = rig.field("EditPsysMin");
    QVERIFY(lowest.endsWith(QStringLiteral(" Bar")));
    QCOMPARE(rig.field("EditCisnienieBeep") + QStringLiteral(" Bar"), lowest);
    QVERIFY(std::abs(Number(rig.field("EditCisnienieWylaczenia")) - (Number(rig.field("EditCisnienieBeep")) - 0.05)) <
            0.006);
    QCOMPARE(rig.find<QComboBox>("ComboBoxPodcisnienieReduktora")->currentIndex(), 1);
    for (int n : {1, 3, 18, 22, 24}) QCOMPARE(int(rig.simParameter(n)), int(rig.state.image.slot(n)));

    // The maps: every advanced cell the correction, the standard map the profile around it, as shown.
    const int c = std::min(int(Number(rig.field("EditWzbogacanieMieszanki"))), rig.state.maps.cellMaximum());
    for (std::uint8_t cell : rig.controller->running().grid) QCOMPARE(int(cell), 100 + c);
    const std::array<int, 12> profile = {-4, -2, 0, 0, 0, 2, 3, 5, 6, 6, 5, 4};
    for (int k = 0; k < 12; ++k) {
        const int shown = rig.field(qPrintable(QStringLiteral("Edit_%1").arg(k + 13))).toInt();
        QCOMPARE(shown, std::clamp(profile[std::size_t(k)] + c, -25, rig.state.maps.cellMaximum()));
        QCOMPARE(int(rig.controller->running().stdMap[std::size_t(k)]), 100 + shown);
    }

    // The verdict in the memo; idle again with the readings back and the language menu still away.
    QStringList verdict;
    for (int id : adapt::VerdictMessages(report->verdict)) verdict << rig.text(id);
    QCOMPARE(rig.memo(), verdict.join(QLatin1Char('\n')));
    QVERIFY(verdict.size() == 1 || verdict.front() == rig.text(msg::AdaptationFinished));
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QCOMPARE(rig.progress(), 0);
    QCOMPARE(rig.stepBar(), 0);
    QVERIFY(rig.readingsOn());
    QVERIFY(!rig.page().timer()->isActive());
    QVERIFY(!rig.languageMenuShown());
    QVERIFY(!rig.window->connection().autoconnectTimer()->isActive());

    // The bars moved through the load steps, the averages and the final writes; the gauges moved too.
    for (int max : {500, 300, 84, 12}) QVERIFY2(stepMaxima.count(max) == 1, qPrintable(QString::number(max)));
    QCOMPARE(highestProgress, 100);
    QVERIFY(frames.count() > 1000);
    const int rpm = rig.field("EditObrotomierzAd").toInt();
    QVERIFY2(rpm > 2300 && rpm < 2900, qPrintable(rig.field("EditObrotomierzAd")));
}

void AdaptationUiTest::startWithoutConnectionSaysSoAndSendsNothing() {
    VirtualRig rig(Behind::Nothing);
    rig.activate();
    auto& page = rig.window->adaptationPage();
    QVERIFY(!rig.link().connected());
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButtonRozpocznijAuto")->click();
    QCOMPARE(rig.dialogs.texts, QStringList{QString::fromUtf8("Brak połączenia")});
    QVERIFY(!page.running());
    QVERIFY(!page.timer()->isActive());
    QCOMPARE(rig.find<QPushButton>("ButtonRozpocznijAuto")->text(), QStringLiteral("START"));
    QCOMPARE(rig.find<QPlainTextEdit>("MemoAutoadaptacja")->toPlainText(), rig.text(msg::AdaptationIntro));
    QVERIFY(rig.window->menu().menu(QStringLiteral("Jzyk1"))->menuAction()->isVisible());
    QVERIFY(rig.window->readings().timer()->isActive());
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
}

void AdaptationUiTest::abortAndLanguageChangeWhileRunning() {
    AdaptRig rig;
    rig.button()->click();
    QVERIFY(rig.tickUntil([&] {
        return rig.page().adaptation().measurements().petrolLoadCount >= 30 &&
               rig.memo() == rig.text(msg::AdaptationPumpPedal);
    }));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationPumpPedal));
    QVERIFY(rig.progress() > 0);
    QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->maximum(), 500);

    // A language change while running: the abort caption and the same instruction in the new language.
    const QString polishPump = rig.memo();
    QCOMPARE(int(rig.window->languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
    QVERIFY(rig.page().running());
    QCOMPARE(rig.button()->text(), rig.text(msg::Abort));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationPumpPedal));
    QVERIFY(rig.memo() != polishPump);
    QVERIFY(!rig.languageMenuShown());

    const auto before = rig.wire.mark();
    rig.button()->click();
    QVERIFY(!rig.page().running());
    QVERIFY(!rig.page().timer()->isActive());
    QVERIFY(rig.languageMenuShown());
    QVERIFY(rig.readingsOn());
    QCOMPARE(rig.button()->text(), rig.text(msg::Start));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationIntro));
    QCOMPARE(rig.progress(), 0);
    QCOMPARE(rig.stepBar(), 0);
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
    // A stray timeout after the abort does nothing.
    rig.page().tick();
    QVERIFY(rig.wire.commandsSince(before).isEmpty());

    // Idle: a language change gives the start caption and the prepare text.
    QCOMPARE(int(rig.window->languages().selectLanguage(1).outcome), int(i18n::LanguageOutcome::Applied));
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationIntro));
}

void AdaptationUiTest::leavingThePageAsksAndYesAbortsKeepingWhatWasWritten() {
    AdaptRig rig;
    auto* pages = rig.window->pages();
    QWidget* parameters = rig.window->page(QStringLiteral("TabSheet3"));
    rig.window->showPage(&rig.page());
    rig.button()->click();
    QVERIFY(rig.tickUntil([&] { return rig.page().adaptation().step() == Step::SteadyPetrol; }));
    QCOMPARE(rig.simParameter(3), std::uint16_t(0));
    const std::uint16_t correction = rig.simParameter(1);

    rig.dialogs.setAnswer(QMessageBox::No);
    rig.window->showPage(parameters);
    QCOMPARE(rig.dialogs.texts.last(), rig.text(msg::LeaveAdaptation));
    QCOMPARE(pages->currentWidget(), &rig.page());
    QVERIFY(rig.page().running());
    QVERIFY(rig.page().timer()->isActive());
    QVERIFY(!rig.readingsOn());
    QVERIFY(!rig.languageMenuShown());
    rig.tick();
    QVERIFY(rig.page().running());

    rig.dialogs.setAnswer(QMessageBox::Yes);
    const auto before = rig.wire.mark();
    rig.window->showPage(parameters);
    QCOMPARE(pages->currentWidget(), parameters);
    QVERIFY(!rig.page().running());
    QVERIFY(!rig.page().timer()->isActive());
    QVERIFY(rig.readingsOn());
    QVERIFY(rig.languageMenuShown());
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QCOMPARE(rig.memo(), rig.text(msg::AdaptationIntro));
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
    // Nothing written is undone: the correction and the zeroed offset stay in the controller.
    QCOMPARE(rig.simParameter(3), std::uint16_t(0));
    QCOMPARE(rig.simParameter(1), correction);

    // Leaving while idle asks too; the results stay and the readings come back.
    rig.window->showPage(&rig.page());
    rig.window->readings().timer()->stop();
    rig.window->showPage(parameters);
    QCOMPARE(pages->currentWidget(), parameters);
    QVERIFY(rig.readingsOn());
    QCOMPARE(rig.dialogs.texts.count(rig.text(msg::LeaveAdaptation)), 3);
    QVERIFY(!rig.field("EditObciazLPG").isEmpty());
}

void AdaptationUiTest::lostLineAndSilentControllerStopItAndLeaveTheProgramUsable() {
    AdaptRig rig;
    rig.button()->click();
    for (int i = 0; i < 5; ++i) rig.tick();
    QVERIFY(rig.page().running());

    rig.sim->unplug();
    rig.sim->setOpenError(link::PortErrorCode::NotFound);
    rig.tick();
    const QString lost = QString::fromUtf8("Autoadaptacja przerwana: utracono połączenie ze sterownikiem");
    QVERIFY(!rig.page().running());
    QVERIFY(!rig.page().timer()->isActive());
    QCOMPARE(rig.statusBar(), lost);
    QVERIFY2(rig.memo().startsWith(lost + QLatin1Char('\n')), qPrintable(rig.memo()));
    QVERIFY(rig.memo().endsWith(rig.text(msg::AdaptationIntro)));
    QVERIFY(rig.memo().contains(QString::fromUtf8("Nic nie zostało zapisane")));
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QVERIFY(rig.readingsOn());
    QVERIFY(rig.languageMenuShown());
    QVERIFY(rig.window->connection().reconnectTimer()->isActive());
    QVERIFY(rig.window->feed().stale());

    // The controller comes back: the reconnect finds it and the procedure can run again.
    rig.sim->setOpenError(std::nullopt);
    VirtualRig::fire(rig.window->connection().reconnectTimer());
    QVERIFY(rig.link().connected());
    rig.button()->click();
    QVERIFY(rig.page().running());
    QVERIFY(!rig.readingsOn());

    // Run into step 6 so something was written, then the controller stops answering.
    QVERIFY(rig.tickUntil([&] { return rig.page().adaptation().step() == Step::SettlePetrol; }));
    const QString correction = rig.field("EditAutoadapKorekta");
    rig.sim->setFaults(sim::FaultInjector(sim::FaultSpec{.drop = 1.0}, 1));
    int ticks = 0;
    while (rig.page().running() && ticks < 100) {
        rig.tick();
        ++ticks;
    }
    const QString silent = QString::fromUtf8("Autoadaptacja przerwana: sterownik nie odpowiada");
    QVERIFY(!rig.page().running());
    QCOMPARE(ticks, 11);
    QCOMPARE(rig.statusBar(), silent);
    QVERIFY2(rig.memo().startsWith(silent + QLatin1Char('\n')), qPrintable(rig.memo()));
    QVERIFY2(rig.memo().contains(QStringLiteral("parametr 1 = ") + correction), qPrintable(rig.memo()));
    QVERIFY(rig.readingsOn());
    QVERIFY(rig.languageMenuShown());
}

void AdaptationUiTest::lostLineInTheFinalWritesSaysWhatWentOut() {
    AdaptRig rig;
    rig.button()->click();
    QVERIFY(rig.tickUntil([&] { return rig.page().adaptation().step() == Step::SteadyGas; }));
    // The device goes away part way through the advanced map, while the bars move.
    bool unplugged = false;
    connect(rig.find<QProgressBar>("ProgressAd"), &QProgressBar::valueChanged, this, [&](int value) {
        if (unplugged || value < 90) return;
        rig.sim->unplug();
        rig.sim->setOpenError(link::PortErrorCode::NotFound);
        unplugged = true;
    });
    QVERIFY(rig.runToEnd());
    QVERIFY(unplugged);
    const QString memo = rig.memo();
    QVERIFY2(memo.startsWith(QString::fromUtf8("Autoadaptacja przerwana: utracono połączenie ze sterownikiem\n")),
             qPrintable(memo));
    QVERIFY2(memo.contains(QStringLiteral("parametr 1 = ")) && memo.contains(QStringLiteral("parametr 3 = ")) &&
                 memo.contains(QStringLiteral("parametr 24 = ")),
             qPrintable(memo));
    const int value = std::min(int(Number(rig.field("EditWzbogacanieMieszanki"))), rig.state.maps.cellMaximum());
    const QString c = (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value);
    const auto cells = QRegularExpression(QString::fromUtf8("mapa zaawansowana: (\\d+) komórek = ") +
                                          QRegularExpression::escape(c) + QLatin1Char('\n'))
                           .match(memo);
    QVERIFY2(cells.hasMatch(), qPrintable(memo));
    QVERIFY(cells.captured(1).toInt() > 0 && cells.captured(1).toInt() < 84);
    QVERIFY(!memo.contains(QStringLiteral("mapa podstawowa")));
    QVERIFY(memo.endsWith(rig.text(msg::AdaptationIntro)));
    QCOMPARE(rig.progress(), 0);
    QCOMPARE(rig.stepBar(), 0);
    QCOMPARE(rig.button()->text(), QStringLiteral("START"));
    QVERIFY(rig.readingsOn());
    QVERIFY(rig.languageMenuShown());
}

void AdaptationUiTest::closingTheWindowStopsTheProcedure() {
    AdaptRig rig;
    rig.button()->click();
    for (int i = 0; i < 3; ++i) rig.tick();
    QVERIFY(rig.page().running());
    QVERIFY(rig.window->close());
    QVERIFY(!rig.page().running());
    QVERIFY(!rig.page().timer()->isActive());
    QVERIFY(!rig.readingsOn());
    QVERIFY(!rig.link().portOpen());
    const auto before = rig.wire.mark();
    rig.page().tick();
    QVERIFY(rig.wire.commandsSince(before).isEmpty());
}

void AdaptationUiTest::nozzleBoxShowsTheFixedTable() {
    VirtualRig rig(Behind::Nothing);
    auto* nozzles = rig.find<QPushButton>("ButtonDyszki");
    QVERIFY(nozzles);
    QVERIFY(nozzles->isHidden());
    QVERIFY(rig.find<QWidget>("GroupBoxAd")->isHidden());
    nozzles->click();
    QCOMPARE(rig.dialogs.texts,
             QStringList{QString::fromUtf8(
                 "Zalecane dysze wtryskiwaczy :\nValtek:\n10-20 kM/cyl 1.5  - 2.0  \n20-30 kM/cyl 2.0  - 2.5\n"
                 "30-40 kM/cyl 2.5 - 3.0\n40-60 kM/cyl 3.0  - 3.5\n\nMartix:\n10-20 kM/cyl 1.7  - 2.0\n"
                 "20-30 kM/cyl 2.0  - 2.7\n30-40 kM/cyl 2.7 ->")});
}

QTEST_MAIN(AdaptationUiTest)
#include "adaptation_ui_test.moc"
