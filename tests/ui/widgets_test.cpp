// Instrument widgets, offscreen: clamping, repaint discipline, flashing, clicks, texts and what the
// pictures actually show.

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <set>

#include "ui/widgets/colour_button.h"
#include "ui/widgets/instrument_math.h"
#include "ui/widgets/led_lamp.h"
#include "ui/widgets/round_meter.h"
#include "ui/widgets/tank_gauge.h"
#include "ui/widgets/thermometer.h"
#include "ui/widgets/value_slider.h"
#include "ui/widgets/vertical_bar.h"

using namespace sequaflow::ui;

namespace {

class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* w) : QObject(w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

// Handles the paint and layout events already queued; nothing here waits for time to pass.
void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Shows w, then checks that `same` causes no paint and `change` causes one.
void ExpectRepaintOnlyOnChange(QWidget& w, const std::function<void()>& same,
                               const std::function<void()>& change, const char* what) {
    if (!w.isVisible()) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    PaintCounter counter(&w);
    Settle();
    counter.count = 0;
    same();
    Settle();
    QVERIFY2(counter.count == 0, what);
    change();
    Settle();
    QVERIFY2(counter.count > 0, what);
    w.removeEventFilter(&counter);
}

bool Near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QImage Shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool Uniform(const QImage& img) {
    const QRgb first = img.pixel(0, 0);
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            if (img.pixel(x, y) != first) return false;
    return true;
}

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void mathHandlesEmptyRangesAndBadNumbers() {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QCOMPARE(ClampToRange(nan, 1.0, 5.0), 1.0);
        QCOMPARE(ClampToRange(9.0, 1.0, 5.0), 5.0);
        QCOMPARE(ClampToRange(-9.0, 1.0, 5.0), 1.0);
        QCOMPARE(ClampToRange(3.0, 5.0, 1.0), 5.0);  // reversed range: the lower bound wins
        QCOMPARE(FractionInRange(3.0, 2.0, 2.0), 0.0);
        QCOMPARE(FractionInRange(3.0, 1.0, 5.0), 0.5);
        QCOMPARE(FractionInRange(nan, 1.0, 5.0), 0.0);
        QCOMPARE(FractionInRange(1.0, 0.0, std::numeric_limits<double>::infinity()), 0.0);

        QCOMPARE(ScaleDecimals(0.0, 1.0), 0);
        QCOMPARE(ScaleDecimals(0.0, 0.5), 1);
        QCOMPARE(ScaleDecimals(-1.0, 0.25), 2);
        QCOMPARE(ScaleDecimals(0.5, 1.0), 1);  // the start needs a decimal even if the step does not
        QCOMPARE(ScaleDecimals(0.0, 1.0 / 3.0), 3);

        QCOMPARE(LocaleNumber(-0.001, 2), QStringLiteral("0.00"));
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        QCOMPARE(LocaleNumber(2.5, 2), QStringLiteral("2,50"));

        QCOMPARE(ContrastTextColour(QColor(255, 0, 0)), QColor(255, 255, 255));
        QCOMPARE(ContrastTextColour(QColor(0, 128, 0)), QColor(255, 255, 255));
        QCOMPARE(ContrastTextColour(QColor(0, 0, 255)), QColor(255, 255, 255));
        QVERIFY(ContrastTextColour(QColor(255, 128, 0)).lightness() < 100);
        QVERIFY(ContrastTextColour(QColor(240, 240, 240)).lightness() < 100);

        QCOMPARE(MixColours(Qt::black, Qt::white, 0.5).red(), 128);
        QCOMPARE(MixColours(Qt::black, Qt::white, 7.0), QColor(Qt::white));
    }

    void rangeWidgetsClampTheirValues_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("round meter") << 0;
        QTest::newRow("vertical bar") << 1;
        QTest::newRow("thermometer") << 2;
    }

    void rangeWidgetsClampTheirValues() {
        QFETCH(int, kind);
        std::unique_ptr<RangeWidget> w;
        if (kind == 0) w = std::make_unique<RoundMeter>();
        if (kind == 1) w = std::make_unique<VerticalBar>();
        if (kind == 2) w = std::make_unique<Thermometer>();
        QSignalSpy changed(w.get(), &RangeWidget::valueChanged);

        w->setRange(0.0, 8.0);
        w->setValue(12.0);
        QCOMPARE(w->value(), 8.0);
        QCOMPARE(w->fraction(), 1.0);
        w->setValue(-3.0);
        QCOMPARE(w->value(), 0.0);
        w->setValue(2.0);
        QCOMPARE(w->fraction(), 0.25);
        const int before = static_cast<int>(changed.count());
        w->setValue(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(w->value(), 2.0);  // a failed conversion keeps the last reading
        QCOMPARE(changed.count(), before);

        // Narrowing the range pulls the value in and says so.
        w->setRange(3.0, 5.0);
        QCOMPARE(w->value(), 3.0);
        QCOMPARE(changed.count(), before + 1);
        QCOMPARE(changed.last().at(0).toDouble(), 3.0);

        // A reversed or non-finite range is not taken as given.
        w->setRange(6.0, 1.0);
        QCOMPARE(w->minimum(), 6.0);
        QCOMPARE(w->maximum(), 6.0);
        QCOMPARE(w->fraction(), 0.0);
        w->setRange(0.0, std::numeric_limits<double>::infinity());
        QCOMPARE(w->maximum(), 6.0);
        w->setMaximum(10.0);
        w->setMinimum(-2.0);
        QCOMPARE(w->minimum(), -2.0);
        QCOMPARE(w->maximum(), 10.0);
        w->setMinimum(20.0);
        QCOMPARE(w->maximum(), 20.0);
    }

    void repaintsOnlyWhenAShownPropertyChanges() {
        RoundMeter meter;
        meter.resize(200, 200);
        meter.setRange(0, 8);
        meter.setValue(2.0);
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setValue(2.0); }, [&] { meter.setValue(2.5); },
                                  "meter value");
        meter.setValue(100);
        Settle();
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setValue(99); meter.setValue(100); },
                                  [&] { meter.setValue(1); }, "meter clamped value");
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setRange(0, 8); },
                                  [&] { meter.setRange(0, 10); }, "meter range");
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setSignalName(QString()); },
                                  [&] { meter.setSignalName("Obroty"); }, "meter signal name");
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setSignalName("Obroty"); },
                                  [&] { meter.setUnitText("x1000"); }, "meter unit");
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setUnitText("x1000"); meter.setZones({}); },
                                  [&] { meter.setZones({{6, 8, Qt::red}}); }, "meter zones");
        ExpectRepaintOnlyOnChange(meter, [&] { meter.setZones({{6, 8, Qt::red}}); meter.setMajorTicks(8); },
                                  [&] { meter.setMajorTicks(4); }, "meter ticks");

        VerticalBar bar;
        bar.resize(30, 160);
        ExpectRepaintOnlyOnChange(bar, [&] { bar.setValue(0); bar.setBarColour(QColor(0, 128, 0)); },
                                  [&] { bar.setValue(40); }, "bar value");
        ExpectRepaintOnlyOnChange(bar, [&] { bar.setEndColours(QColor(0, 128, 0), QColor(0, 128, 0)); },
                                  [&] { bar.setEndColours(QColor(0, 128, 0), Qt::red); }, "bar colours");
        ExpectRepaintOnlyOnChange(bar, [&] { bar.setCaption(QString()); }, [&] { bar.setCaption("1"); },
                                  "bar caption");

        Thermometer thermo;
        thermo.resize(80, 200);
        ExpectRepaintOnlyOnChange(thermo, [&] { thermo.setValue(-20); thermo.setUnitText("°C"); },
                                  [&] { thermo.setValue(85); }, "thermometer value");
        ExpectRepaintOnlyOnChange(thermo, [&] { thermo.setColour(QColor(0xd3, 0x2f, 0x2f)); },
                                  [&] { thermo.setColour(Qt::blue); }, "thermometer colour");

        LedLamp lamp;
        lamp.resize(120, 30);
        ExpectRepaintOnlyOnChange(lamp, [&] { lamp.setOn(false); lamp.setFlashing(true); },
                                  [&] { lamp.setOn(true); }, "lamp on (flashing while off is not drawn)");
        lamp.setFlashing(false);
        ExpectRepaintOnlyOnChange(lamp, [&] { lamp.setOn(true); lamp.setColour(Qt::red); },
                                  [&] { lamp.setCaption(QStringLiteral("Sprawny")); }, "lamp caption");

        TankGauge tank;
        tank.resize(140, 120);
        ExpectRepaintOnlyOnChange(tank, [&] { tank.setLevel(0); tank.setLevel(-4); },
                                  [&] { tank.setLevel(3); }, "tank level");
        ExpectRepaintOnlyOnChange(tank, [&] { tank.setLevel(3); }, [&] { tank.setLevel(5); },
                                  "tank level again");

        ColourButton button("gaz");
        button.resize(120, 40);
        ExpectRepaintOnlyOnChange(button, [&] { button.setCaption("gaz"); button.clearFaceColour(); },
                                  [&] { button.setFaceColour(QColor(0, 128, 0)); }, "button face");
        ExpectRepaintOnlyOnChange(button, [&] { button.setFaceColour(QColor(0, 128, 0)); },
                                  [&] { button.setOnText("Gaz"); }, "button on-text");
        ExpectRepaintOnlyOnChange(button, [&] { button.setOnText("Gaz"); }, [&] { button.setCaption("LPG"); },
                                  "button caption");
    }

    void lampFlashesOnlyWhileOnShownAndFlashing() {
        LedLamp lamp;
        lamp.resize(40, 40);
        auto* timer = lamp.findChild<QTimer*>();
        QVERIFY(timer);
        QCOMPARE(lamp.flashRate(), 4.0);
        QCOMPARE(timer->interval(), 125);  // 4 Hz: a lit and a dark half per flash

        lamp.setFlashing(true);
        QVERIFY(!timer->isActive());  // hidden: nothing to flash
        lamp.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lamp));
        QVERIFY(!timer->isActive());  // off: nothing to flash
        QVERIFY(!lamp.isLit());

        lamp.setOn(true);
        QVERIFY(timer->isActive());
        QVERIFY(lamp.isLit());
        // Each half period is one timeout, handled here rather than waited for.
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(!lamp.isLit());
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(lamp.isLit());
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(!lamp.isLit());

        // Stopping in the dark half leaves the lamp lit and the timer stopped.
        lamp.setFlashing(false);
        QVERIFY(!timer->isActive());
        QVERIFY(lamp.isLit());

        // A new flash starts with the light on, so a fault shows at once.
        lamp.setFlashing(true);
        QVERIFY(timer->isActive());
        QVERIFY(lamp.isLit());
        lamp.hide();
        QVERIFY(!timer->isActive());
        lamp.show();
        QVERIFY(timer->isActive());
        lamp.setOn(false);
        QVERIFY(!timer->isActive());
        QVERIFY(!lamp.isLit());
        QVERIFY(lamp.isFlashing());

        lamp.setFlashRate(2.0);
        QCOMPARE(timer->interval(), 250);
        lamp.setFlashRate(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(lamp.flashRate(), 2.0);
        lamp.setFlashRate(1000.0);
        QCOMPARE(lamp.flashRate(), 20.0);
    }

    void lampLitAndDarkLookDifferent() {
        LedLamp lamp;
        lamp.resize(40, 40);
        const QImage off = Shot(lamp);
        lamp.setOn(true);
        const QImage on = Shot(lamp);
        QVERIFY(off != on);
        const QColor centre = on.pixelColor(on.width() / 2, on.height() / 2);
        QVERIFY2(centre.red() > 150 && centre.green() < 120, "a red lamp is red when lit");
        lamp.setColour(QColor(0, 128, 0));
        const QImage green = Shot(lamp);
        const QColor g = green.pixelColor(green.width() / 2, green.height() / 2);
        QVERIFY(g.green() > g.red());
    }

    void clicksAreReportedOnceAndOnlyForLeftReleaseInside() {
        LedLamp lamp;
        lamp.resize(60, 30);
        TankGauge tank;
        tank.resize(140, 120);
        for (QWidget* w : {static_cast<QWidget*>(&lamp), static_cast<QWidget*>(&tank)}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QSignalSpy clicked(w, SIGNAL(clicked()));
            QTest::mouseClick(w, Qt::LeftButton);
            QCOMPARE(clicked.count(), 1);
            QTest::mouseClick(w, Qt::RightButton);
            QCOMPARE(clicked.count(), 1);
            // Pressed inside, released outside: the user changed their mind.
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(w->width() + 20, 5));
            QCOMPARE(clicked.count(), 1);
            // A release without a press in this widget is no click.
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(clicked.count(), 1);
        }

        ColourButton button("benzyna");
        QSignalSpy pressed(&button, &QPushButton::clicked);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(pressed.count(), 1);
    }

    void tankShowsSixDistinctPictures() {
        TankGauge tank;
        tank.resize(140, 120);
        std::set<qint64> seen;
        QList<QImage> pictures;
        for (int level = 0; level < TankGauge::kLevels; ++level) {
            tank.setLevel(level);
            QCOMPARE(tank.level(), level);
            const QImage img = Shot(tank);
            for (const QImage& earlier : pictures) QVERIFY2(img != earlier, "each level has its own picture");
            pictures.append(img);
        }
        tank.setLevel(9);
        QCOMPARE(tank.level(), 5);
        tank.setLevel(-1);
        QCOMPARE(tank.level(), 0);

        // Fuller tanks show more liquid: count green pixels.
        auto greenPixels = [&](int level) {
            tank.setLevel(level);
            const QImage img = Shot(tank);
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const QColor c = img.pixelColor(x, y);
                    if (c.green() > c.red() + 40 && c.green() > c.blue() + 20) ++n;
                }
            return n;
        };
        QCOMPARE(greenPixels(0), 0);
        QCOMPARE(greenPixels(1), 0);  // reserve is red
        int previous = 0;
        for (int level = 2; level <= 5; ++level) {
            const int n = greenPixels(level);
            QVERIFY2(n > previous, qPrintable(QStringLiteral("level %1").arg(level)));
            previous = n;
        }
    }

    void barFillsFromStartWithItsEndColours() {
        VerticalBar bar;
        bar.resize(30, 200);
        bar.setRange(0.0, 1.1);
        bar.setEndColours(QColor(0, 128, 0), QColor(255, 0, 0));
        bar.setValue(1.1);
        QImage img = Shot(bar);
        const int cx = img.width() / 2;
        QVERIFY(Near(img.pixelColor(cx, 5), QColor(255, 0, 0), 40));
        QVERIFY(Near(img.pixelColor(cx, img.height() - 6), QColor(0, 128, 0), 40));

        // Half full: the top half shows the empty track, the colour at the tip is between the ends.
        bar.setValue(0.55);
        img = Shot(bar);
        const QColor top = img.pixelColor(cx, 10);
        QVERIFY(top.red() > 200 && top.green() > 200 && top.blue() > 200);
        const QColor tip = img.pixelColor(cx, img.height() / 2 + 6);
        QVERIFY(tip.red() > 60 && tip.red() < 200);

        bar.setValue(0.0);
        img = Shot(bar);
        const QColor bottom = img.pixelColor(cx, img.height() - 6);
        QVERIFY(bottom.red() > 200 && bottom.green() > 200);

        // Horizontal: fills from the left, the end colour at the right.
        bar.setOrientation(Qt::Horizontal);
        bar.resize(200, 24);
        bar.setValue(1.1);
        img = Shot(bar);
        QVERIFY(Near(img.pixelColor(img.width() - 6, 12), QColor(255, 0, 0), 40));
        QVERIFY(Near(img.pixelColor(5, 12), QColor(0, 128, 0), 40));

        // A caption takes room from the bar and asks for more.
        const QSize plain = bar.sizeHint();
        bar.setCaption(QStringLiteral("Cyl. 8"));
        QVERIFY(bar.sizeHint().width() > plain.width());
        bar.setOrientation(Qt::Vertical);
        bar.resize(40, 200);
        img = Shot(bar);
        QVERIFY(!Near(img.pixelColor(20, img.height() - 3), QColor(0, 128, 0), 60));
    }

    void meterNeedleAndThermometerColumnFollowTheValue() {
        RoundMeter meter;
        meter.resize(200, 200);
        meter.setValueTextVisible(false);
        meter.setValue(0);
        const QImage atMin = Shot(meter);
        meter.setValue(8);
        const QImage atMax = Shot(meter);
        QVERIFY(atMin != atMax);
        // The needle is red: at the minimum it points down-left, at the maximum down-right.
        auto redIn = [](const QImage& img, QRect area) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x) {
                    const QColor c = img.pixelColor(x, y);
                    if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++n;
                }
            return n;
        };
        const QRect lowerLeft(40, 110, 55, 50);
        const QRect lowerRight(105, 110, 55, 50);
        QVERIFY(redIn(atMin, lowerLeft) > 20);
        QVERIFY(redIn(atMin, lowerRight) == 0);
        QVERIFY(redIn(atMax, lowerRight) > 20);
        QVERIFY(redIn(atMax, lowerLeft) == 0);

        Thermometer thermo;
        thermo.resize(100, 260);
        thermo.setColour(QColor(0, 0, 255));
        thermo.setValue(120);
        QImage img = Shot(thermo);
        auto blueAt = [&](int y) {
            const QColor c = img.pixelColor(30, y);  // middle of the tube
            return c.blue() > 150 && c.red() < 120;
        };
        QVERIFY(blueAt(60));
        QVERIFY(blueAt(200));
        thermo.setValue(-20);
        img = Shot(thermo);
        QVERIFY(!blueAt(60));
        QVERIFY(blueAt(230));  // the bulb stays filled
    }

    void textsAreShownAndFollowTheLocale() {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        RoundMeter meter;
        meter.setProperty("signalName", QStringLiteral("Ciśnienie"));
        meter.setProperty("unitText", QStringLiteral("Bar"));
        QCOMPARE(meter.signalName(), QStringLiteral("Ciśnienie"));
        QCOMPARE(meter.unitText(), QStringLiteral("Bar"));
        meter.setRange(0, 4);
        meter.setValue(1.25);
        meter.setValueDecimals(2);
        QCOMPARE(meter.valueText(), QStringLiteral("1,25"));
        meter.setValueDecimals(-3);
        QCOMPARE(meter.valueText(), QStringLiteral("1"));

        // The names change the picture.
        meter.resize(200, 200);
        const QImage named = Shot(meter);
        meter.setSignalName(QString());
        QVERIFY(Shot(meter) != named);

        Thermometer thermo;
        thermo.setValue(85.4);
        QCOMPARE(thermo.valueText(), QStringLiteral("85°C"));

        LedLamp lamp;
        lamp.setCaption(QStringLiteral("Błąd"));
        QCOMPARE(lamp.property("caption").toString(), QStringLiteral("Błąd"));
        QVERIFY(lamp.sizeHint().width() > lamp.sizeHint().height() * 2);

        ColourButton button;
        button.setCaption(QStringLiteral("gaz"));
        QCOMPARE(button.text(), QStringLiteral("gaz"));  // the caption is the button's text
        const QSize small = button.sizeHint();
        button.setOnText(QStringLiteral("Benzyna"));
        QVERIFY(button.sizeHint().height() > small.height());
        QCOMPARE(button.effectiveFaceColour(), button.palette().color(QPalette::Button));
        button.setFaceColour(QColor(255, 128, 0));
        QCOMPARE(button.effectiveFaceColour(), QColor(255, 128, 0));
        button.clearFaceColour();
        QVERIFY(!button.faceColour().isValid());
    }

    void colourButtonPaintsItsFace() {
        ColourButton button(QStringLiteral("benzyna"));
        button.resize(140, 44);
        button.setFaceColour(QColor(255, 0, 0));
        QImage img = Shot(button);
        QVERIFY(Near(img.pixelColor(6, 22), QColor(255, 0, 0), 40));
        button.setFaceColour(QColor(0, 128, 0));
        img = Shot(button);
        QVERIFY(Near(img.pixelColor(6, 22), QColor(0, 128, 0), 40));
        button.setEnabled(false);
        img = Shot(button);
        QVERIFY(!Near(img.pixelColor(6, 22), QColor(0, 128, 0), 40));  // disabled looks washed out
    }

    void sliderKeepsValuesSignalsAndText() {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        ValueSlider slider;
        slider.setRange(-1.0, 3.0);
        slider.setSingleStep(0.01);
        slider.setDecimals(2);
        slider.setSuffix(QStringLiteral(" ms"));
        QSignalSpy changed(&slider, &ValueSlider::valueChanged);
        QSignalSpy edited(&slider, &ValueSlider::valueEdited);
        QCOMPARE(slider.slider()->maximum(), 400);

        slider.setValue(0.5);
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(slider.valueText(), QStringLiteral("0,50 ms"));
        QCOMPARE(slider.slider()->value(), 150);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(edited.count(), 0);
        slider.setValue(0.5);
        QCOMPARE(changed.count(), 1);

        // A value from the controller is kept exactly; the knob goes to the nearest step.
        slider.setValue(0.3993);
        QCOMPARE(slider.value(), 0.3993);
        QCOMPARE(slider.slider()->value(), 140);
        QCOMPARE(slider.valueText(), QStringLiteral("0,40 ms"));

        slider.setValue(10.0);
        QCOMPARE(slider.value(), 3.0);
        slider.setValue(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(slider.value(), 3.0);

        // The user moves the knob: both signals, and a value that is exactly on the step.
        slider.slider()->setValue(225);
        QCOMPARE(slider.value(), 1.25);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.last().at(0).toDouble(), 1.25);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        slider.slider()->setFocus();
        QTest::keyClick(slider.slider(), Qt::Key_Left);
        QCOMPARE(slider.value(), 1.24);
        QCOMPARE(edited.count(), 2);

        // Narrowing the range clamps the value and reports it.
        slider.setRange(-1.0, 1.0);
        QCOMPARE(slider.value(), 1.0);
        QCOMPARE(changed.last().at(0).toDouble(), 1.0);
        QCOMPARE(slider.slider()->maximum(), 200);

        // A huge range is cut into a bounded number of steps.
        slider.setRange(0.0, 1e9);
        QVERIFY(slider.slider()->maximum() <= 100000);
        slider.setSingleStep(0.0);
        slider.setSingleStep(-1.0);
        QVERIFY(slider.singleStep() > 0.0);

        // The value text grows with the font of the page.
        auto* label = slider.findChild<QLabel*>();
        QVERIFY(label);
        const qreal before = label->font().pointSizeF();
        QFont f = slider.font();
        f.setPointSizeF(f.pointSizeF() * 2);
        slider.setFont(f);
        QVERIFY(label->font().pointSizeF() > before * 1.5);
        QVERIFY(label->font().bold());
    }

    void pairedSlidersFollowEachOtherWithoutLooping() {
        ValueSlider a;
        ValueSlider b;
        for (ValueSlider* s : {&a, &b}) {
            s->setRange(-1.0, 3.0);
            s->setSingleStep(0.01);
            s->setDecimals(2);
        }
        connect(&a, &ValueSlider::valueChanged, &b, &ValueSlider::setValue);
        connect(&b, &ValueSlider::valueChanged, &a, &ValueSlider::setValue);
        QSignalSpy aEdited(&a, &ValueSlider::valueEdited);
        QSignalSpy bEdited(&b, &ValueSlider::valueEdited);
        QSignalSpy bChanged(&b, &ValueSlider::valueChanged);
        a.slider()->setValue(300);
        QCOMPARE(a.value(), 2.0);
        QCOMPARE(b.value(), 2.0);
        QCOMPARE(aEdited.count(), 1);
        QCOMPARE(bEdited.count(), 0);  // the follower was not edited by the user
        QCOMPARE(bChanged.count(), 1);
    }

    void smallestSizesStillDraw() {
        const QString shots = qEnvironmentVariable("SEQUAFLOW_WIDGET_SHOTS");
        RoundMeter meter;
        meter.setSignalName(QStringLiteral("Obroty"));
        meter.setValue(3);
        VerticalBar bar;
        bar.setValue(50);
        bar.setCaption(QStringLiteral("8"));
        Thermometer thermo;
        thermo.setValue(60);
        LedLamp lamp;
        lamp.setOn(true);
        lamp.setCaption(QStringLiteral("Sprawny"));
        TankGauge tank;
        tank.setLevel(4);
        ColourButton button(QStringLiteral("automat"));
        button.setOnText(QStringLiteral("Gaz"));
        const QList<QWidget*> all{&meter, &bar, &thermo, &lamp, &tank, &button};
        int i = 0;
        for (QWidget* w : all) {
            w->resize(w->minimumSizeHint());
            QVERIFY(!w->minimumSizeHint().isEmpty());
            const QImage img = Shot(*w);
            QVERIFY2(!Uniform(img), w->metaObject()->className());
            if (!shots.isEmpty()) img.save(QDir(shots).filePath(QStringLiteral("small_%1.png").arg(i++)));
            w->resize(1, 1);  // degenerate sizes must not crash
            (void)Shot(*w);
        }
    }

    // Renders every widget at a small and a large size; with SEQUAFLOW_WIDGET_SHOTS set to a folder the
    // pictures are saved there for a look.
    void galleryRendersAtTwoSizes() {
        const QString shots = qEnvironmentVariable("SEQUAFLOW_WIDGET_SHOTS");
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
        for (const double scale : {1.0, 2.0}) {
            QWidget gallery;
            gallery.setStyleSheet(QString());
            auto* grid = new QGridLayout(&gallery);
            auto* rpm = new RoundMeter;
            rpm->setSignalName(QStringLiteral("Obroty"));
            rpm->setUnitText(QStringLiteral("x1000 obr/min"));
            rpm->setZones({{6.0, 8.0, QColor(0xd9, 0x53, 0x4f)}});
            rpm->setValue(2.35);
            auto* pressure = new RoundMeter;
            pressure->setRange(0, 4);
            pressure->setSignalName(QStringLiteral("Ciśnienie"));
            pressure->setUnitText(QStringLiteral("Bar"));
            pressure->setValueDecimals(2);
            pressure->setValue(1.2);
            grid->addWidget(rpm, 0, 0, 2, 2);
            grid->addWidget(pressure, 0, 2, 2, 2);
            auto* bars = new QWidget;
            auto* barRow = new QHBoxLayout(bars);
            for (int i = 0; i < 8; ++i) {
                auto* bar = new VerticalBar;
                bar->setRange(0, 2000);
                bar->setBarColour(i % 2 ? QColor(0, 0, 255) : QColor(255, 0, 0));
                bar->setCaption(QString::number(i + 1));
                bar->setValue(300 + 200 * i);
                barRow->addWidget(bar);
            }
            auto* lambda = new VerticalBar;
            lambda->setRange(0.0, 1.1);
            lambda->setEndColours(QColor(0, 128, 0), QColor(255, 0, 0));
            lambda->setCaption(QStringLiteral("λ1"));
            lambda->setValue(0.8);
            barRow->addWidget(lambda);
            grid->addWidget(bars, 0, 4, 2, 3);
            auto* red = new Thermometer;
            red->setValue(78);
            auto* gas = new Thermometer;
            gas->setColour(QColor(0x1e, 0x88, 0xe5));
            gas->setValue(24);
            grid->addWidget(red, 0, 7, 2, 1);
            grid->addWidget(gas, 0, 8, 2, 1);
            for (int level = 0; level < TankGauge::kLevels; ++level) {
                auto* tank = new TankGauge;
                tank->setLevel(level);
                grid->addWidget(tank, 2, level + (level > 2 ? 1 : 0));
            }
            auto* error = new LedLamp;
            error->setCaption(QStringLiteral("Błąd"));
            error->setOn(true);
            auto* okLamp = new LedLamp;
            okLamp->setCaption(QStringLiteral("Sprawny"));
            okLamp->setColour(QColor(0, 128, 0));
            grid->addWidget(error, 3, 0, 1, 2);
            grid->addWidget(okLamp, 3, 2, 1, 2);
            auto* petrol = new ColourButton(QStringLiteral("benzyna"));
            petrol->setFaceColour(QColor(255, 0, 0));
            auto* automat = new ColourButton(QStringLiteral("automat"));
            automat->setFaceColour(QColor(255, 128, 0));
            auto* lpg = new ColourButton(QStringLiteral("gaz"));
            auto* fuel = new ColourButton(QStringLiteral("Paliwo"));
            fuel->setFaceColour(QColor(0, 128, 0));
            fuel->setOnText(QStringLiteral("Gaz"));
            grid->addWidget(petrol, 4, 0, 1, 2);
            grid->addWidget(automat, 4, 2, 1, 2);
            grid->addWidget(lpg, 4, 4, 1, 2);
            grid->addWidget(fuel, 4, 6, 1, 3);
            auto* slider = new ValueSlider;
            slider->setRange(-1.0, 3.0);
            slider->setSingleStep(0.01);
            slider->setDecimals(2);
            slider->setSuffix(QStringLiteral(" ms"));
            slider->setValue(0.4);
            grid->addWidget(slider, 5, 0, 1, 9);

            gallery.resize(QSize(900, 620) * scale);
            QFont f = gallery.font();
            f.setPointSizeF(f.pointSizeF() * scale);
            gallery.setFont(f);
            gallery.show();
            QVERIFY(QTest::qWaitForWindowExposed(&gallery));
            Settle();
            for (QWidget* w : gallery.findChildren<QWidget*>()) {
                if (qobject_cast<QSlider*>(w) || w->layout()) continue;
                QVERIFY2(!Uniform(Shot(*w)), w->metaObject()->className());
            }
            if (!shots.isEmpty()) {
                QDir().mkpath(shots);
                QVERIFY(gallery.grab().save(
                    QDir(shots).filePath(QStringLiteral("gallery_%1.png").arg(static_cast<int>(scale)))));
            }
        }
    }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
