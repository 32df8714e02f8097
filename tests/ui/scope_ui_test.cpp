#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "live/scope.h"
#include "ui/pages/oscilloscope_page.h"
#include "ui/scope_selectors.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace scope = live::scope;

namespace {

const char* const kGroups[] = {"RadioGroupRPMDIAG", "RadioGroupBarManDIAG", "CheckAbVBarSonda1", "CheckAbVBarSonda2",
                               "RadioGroupTempDIAG", "RadioGroupBDIAG",     "RadioGroupGDIAG"};

struct ScopeRig : VirtualRig {
    explicit ScopeRig(Behind behind) : VirtualRig(behind, 0, true) {}
    ui::OscilloscopePage* page() const {
        return qobject_cast<ui::OscilloscopePage*>(window->page(QStringLiteral("TabSheet2")));
    }
    ui::RadioGroup* group(const char* name) const { return find<ui::RadioGroup>(name); }
    void click(const char* name, int item) { group(name)->item(item)->click(); }
    void frames(int n) {
        for (int i = 0; i < n; ++i) window->readings().tick();
    }
    // Item index of every group, in the order of kGroups.
    QList<int> items() const {
        QList<int> out;
        for (const char* g : kGroups) out << group(g)->itemIndex();
        return out;
    }
};

}  // namespace

class ScopeUiTest : public QObject {
    Q_OBJECT
private slots:
    void aChoiceClearsTheOtherSelectors();
    void framesMoveOnlyTheChosenHistory();
    void theShownPictureHasTheTraceWhereTheValueSays();
    void simulatedEngineTrace();
};

void ScopeUiTest::aChoiceClearsTheOtherSelectors() {
    ScopeRig rig(Behind::Script);
    rig.activate();
    // Engine speed at start.
    QCOMPARE(rig.items(), (QList<int>{0, -1, -1, -1, -1, -1, -1}));
    QCOMPARE(rig.page()->channel().value_or(-1), scope::Rpm);

    rig.click("RadioGroupBDIAG", 2);
    QCOMPARE(rig.items(), (QList<int>{-1, -1, -1, -1, -1, 2, -1}));
    QVERIFY(!rig.group("RadioGroupRPMDIAG")->item(0)->isChecked());
    QCOMPARE(rig.page()->channel().value_or(-1), scope::Petrol1 + 2);

    rig.click("RadioGroupTempDIAG", 0);
    QCOMPARE(rig.items(), (QList<int>{-1, -1, -1, -1, 0, -1, -1}));
    QVERIFY(!rig.group("RadioGroupBDIAG")->item(2)->isChecked());
    QVERIFY(rig.group("RadioGroupTempDIAG")->item(0)->isChecked());
    QCOMPARE(rig.page()->channel().value_or(-1), scope::GasTemp);

    // Clicking the chosen item again keeps it chosen.
    rig.click("RadioGroupTempDIAG", 0);
    QVERIFY(rig.group("RadioGroupTempDIAG")->item(0)->isChecked());
    QCOMPARE(rig.page()->channel().value_or(-1), scope::GasTemp);

    rig.click("RadioGroupGDIAG", 3);
    QCOMPARE(rig.items(), (QList<int>{-1, -1, -1, -1, -1, -1, 3}));
    QCOMPARE(rig.page()->channel().value_or(-1), scope::Gas1 + 3);

    // The probe selectors sit in their probe's group and are hidden with it (no probe after this read).
    QVERIFY(rig.find<QWidget>("GroupLambda1")->isAncestorOf(rig.group("CheckAbVBarSonda1")->item(0)));
    QVERIFY(!rig.group("CheckAbVBarSonda1")->item(0)->isVisibleTo(rig.window.get()));
    QVERIFY(rig.group("RadioGroupGDIAG")->item(7)->isVisibleTo(rig.window.get()));
}

void ScopeUiTest::framesMoveOnlyTheChosenHistory() {
    ScopeRig rig(Behind::Script);
    rig.script.params[8] = 2304;  // longest gas time 10 ms: injection range 0..11 ms
    rig.script.petrolTicks = 1152;  // 5 ms
    rig.activate();
    const auto& bank = rig.page()->histories();
    const auto rpmBefore = bank.history(scope::Rpm).values();

    rig.click("RadioGroupBDIAG", 0);
    rig.frames(4);
    const live::ScopeHistory& petrol = bank.history(scope::Petrol1);
    for (int i = 0; i < 4; ++i) QCOMPARE(petrol.at(i), 5.0f);
    QCOMPARE(petrol.at(4), 0.0f);
    QCOMPARE(petrol.high(), 11.0f);
    QVERIFY(bank.history(scope::Rpm).values() == rpmBefore);
    QVERIFY(!bank.history(scope::Petrol1 + 1).drawn());
    QVERIFY(!bank.history(scope::Gas1).drawn());

    // Back to engine speed: its history goes on where it stopped, the petrol one stays.
    rig.click("RadioGroupRPMDIAG", 0);
    rig.frames(2);
    QCOMPARE(bank.history(scope::Rpm).at(0), 3000.0f);  // period 9216 on ignition type 0
    QCOMPARE(bank.history(scope::Rpm).at(1), 3000.0f);
    QCOMPARE(bank.history(scope::Rpm).at(2), rpmBefore[0]);
    QCOMPARE(petrol.at(3), 5.0f);
    QCOMPARE(petrol.at(4), 0.0f);
}

void ScopeUiTest::theShownPictureHasTheTraceWhereTheValueSays() {
    ScopeRig rig(Behind::Script);
    rig.script.params[8] = 2304;
    rig.script.petrolTicks = 1152;
    rig.activate();
    rig.click("RadioGroupBDIAG", 0);
    rig.frames(60);  // drawn or not, the history moves while the page is hidden

    rig.window->resize(1400, 900);  // room for the designed box
    rig.showActive();
    rig.window->showPage(rig.page());
    QCoreApplication::processEvents();
    const QImage image = rig.page()->image();
    QCOMPARE(image.size(), QSize(650, 495));
    // 5 of 11 ms in 495 pixels: 495 - 5 * 45 - 1 = 269.
    const QColor red(255, 0, 0);
    QCOMPARE(image.pixelColor(50, 269), red);
    QCOMPARE(image.pixelColor(40, 269), red);
    QCOMPARE(image.pixelColor(50, 268), QColor(Qt::white));
    QCOMPARE(image.pixelColor(50, 270), QColor(Qt::white));
    // Older than the 60 samples the history is zero: the trace is on the bottom row there, not at 269.
    QCOMPARE(image.pixelColor(130, 269), QColor(Qt::white));
    // The cursor, blue, where the trace is not.
    QCOMPARE(image.pixelColor(256, 100), QColor(0, 0, 255));

    // Shown, every frame is drawn at once.
    rig.script.petrolTicks = 2304;  // 10 ms: 495 - 450 - 1 = 44
    rig.frames(3);
    QCOMPARE(rig.page()->image().pixelColor(1, 44), red);  // column 0 is the border

    // On a small window the box narrows, and the picture is drawn again at its size, not cut off.
    rig.window->resize(rig.window->minimumSizeHint());
    QCoreApplication::processEvents();
    const QSize box = rig.find<QWidget>("OneOscyloskopPaint")->size();
    QVERIFY(box.width() < 650);
    QCOMPARE(rig.page()->image().size(), box);
    QCOMPARE(rig.page()->image().pixelColor(box.width() - 1, 100), QColor(Qt::black));  // the right border
}

void ScopeUiTest::simulatedEngineTrace() {
    ScopeRig rig(Behind::Simulator);
    rig.activate();
    rig.window->resize(1400, 900);
    rig.showActive();
    rig.window->showPage(rig.page());
    rig.frames(300);
    const live::ScopeHistory& rpm = rig.page()->histories().history(scope::Rpm);
    QVERIFY(rpm.drawn());
    // The newest sample is what the readings show.
    QCOMPARE(QString::number(static_cast<int>(rpm.at(0))) + QStringLiteral("rpm"),
             rig.find<QLineEdit>("EditRPM")->text());
    // Column 1 (column 0 is the border) holds the trace's second point, black for engine speed.
    const int y = static_cast<int>(495 - rpm.at(1) * (495.0 / 8000.0) - 1);
    QVERIFY(y >= 0 && y < 494);
    QCOMPARE(rig.page()->image().pixelColor(1, y), QColor(Qt::black));
    const QByteArray dir = qgetenv("SEQUAFLOW_GRAB_DIR");
    if (!dir.isEmpty()) {
        rig.window->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/scope_window.png"));
        rig.page()->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/scope_page.png"));
    }
}

QTEST_MAIN(ScopeUiTest)
#include "scope_ui_test.moc"
