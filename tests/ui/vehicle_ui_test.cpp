#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "i18n/message_ids.h"
#include "ui/dialogs/vehicle_data_dialog.h"
#include "ui/main_menu.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
using Mode = ui::VehicleDataDialog::Mode;

namespace {

namespace msg = i18n::msg;

QStringList RecordWrite(int word, std::uint16_t value) {
    const auto hex = [](int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); };
    const int hi = value >> 8, lo = value & 0xFF;
    return {QStringLiteral("send 4D %1 00 00 %2 3A  RecordWordSelect %3").arg(hex(word), hex((0x4D + word) & 0xFF)).arg(word),
            QStringLiteral("pause 30"),
            QStringLiteral("send 55 %1 %2 %3 %4 3A  RecordWordStore %5 = 0x%6")
                .arg(hex(word), hex(hi), hex(lo), hex((0x55 + word + hi + lo) & 0xFF))
                .arg(word)
                .arg(QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper())};
}

// Fills TForm5 when it is shown and presses Zapisz, before the rig's answerer would reject it.
class EntryFiller final : public QObject {
public:
    EntryFiller() { QCoreApplication::instance()->installEventFilter(this); }
    ~EntryFiller() override { QCoreApplication::instance()->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = event->type() == QEvent::Show ? qobject_cast<ui::VehicleDataDialog*>(watched) : nullptr;
        if (dialog == nullptr) return false;
        ++shown;
        QMetaObject::invokeMethod(
            dialog,
            [dialog] {
                const auto set = [dialog](const char* name, const char* text) {
                    dialog->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromUtf8(text));
                };
                set("NrRejEdit", "GD 12345");
                set("MarkaEdit", "Fiat");
                set("ModelEdit", "Punto");
                set("OpisEdit", "Gaz-Żuławy");
                set("DataRokEdit", "2025");
                set("DataMiesEdit", "06");
                set("DataDzienEdit", "30");
                for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox1", "ComboBox4"})
                    dialog->findChild<QComboBox*>(QString::fromLatin1(list))->setCurrentIndex(2);
                dialog->findChild<QPushButton*>(QStringLiteral("ButOK"))->click();
            },
            Qt::QueuedConnection);
        return true;  // the rig's answerer does not see this dialog
    }
};

}  // namespace

class VehicleUiTest : public QObject {
    Q_OBJECT
private slots:
    void showingSendsNothingAndDisablesEverything();
    void installationDataWritesOnlyWords62And63();
    void refusedFieldIsNamedAndNothingIsSent();
    void enteredRecordIsSavedWhole();
    void firstRunNoOrCancelEndsTheProgram();
    void firstRunEntrySavesAndAppliesTheDefaults();
};

void VehicleUiTest::showingSendsNothingAndDisablesEverything() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    const auto before = rig.wire.mark();
    rig.window->menu().action(QStringLiteral("OdczytajDaneSamochodu1"))->trigger();
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(rig.dialogs.texts.last(), QStringLiteral("sequaflow::ui::VehicleDataDialog"));
    auto* dialog = rig.find<ui::VehicleDataDialog>("TForm5");
    QCOMPARE(dialog->mode(), Mode::Show);
    QCOMPARE(rig.find<QLineEdit>("NrRejEdit")->text(), QStringLiteral("WX 4711 AB  "));
    QCOMPARE(rig.find<QLineEdit>("DataRokEdit")->text(), QStringLiteral("2024"));
    QCOMPARE(rig.find<QComboBox>("ComboBox1")->currentText(), QStringLiteral("1,60 L"));
    QCOMPARE(rig.find<QComboBox>("ComboBox3")->currentText(), QStringLiteral("4"));
    QVERIFY(!rig.find<QLineEdit>("OpisEdit")->isEnabled());
    QVERIFY(!rig.find<QComboBox>("ComboBox2")->isEnabled());
    QVERIFY(!rig.find<QPushButton>("ButOK")->isVisibleTo(dialog));
    QCOMPARE(rig.find<QLineEdit>("NrRejEdit")->maxLength(), 12);
    QCOMPARE(rig.find<QLineEdit>("OpisEdit")->maxLength(), 30);
    QCOMPARE(rig.find<QComboBox>("ComboBox4")->count(), 81);
}

void VehicleUiTest::installationDataWritesOnlyWords62And63() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto* dialog = rig.find<ui::VehicleDataDialog>("TForm5");
    dialog->prepare(Mode::Installation);
    QVERIFY(rig.find<QComboBox>("ComboBox2")->isEnabled());
    QVERIFY(!rig.find<QLineEdit>("NrRejEdit")->isEnabled());
    rig.find<QComboBox>("ComboBox2")->setCurrentIndex(1);  // V
    rig.find<QComboBox>("ComboBox4")->setCurrentIndex(5);  // 1,25mm
    const auto before = rig.wire.mark();
    rig.find<QPushButton>("ButOK")->click();
    QStringList expected{QStringLiteral("pause 10")};
    expected << RecordWrite(62, 0x1305) << QStringLiteral("pause 10") << RecordWrite(63, 0x1900)
             << QStringLiteral("pause 10");
    QCOMPARE(rig.wire.framesAndPausesSince(before), expected);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(rig.controller->stores().record[62], std::uint16_t{0x1305});
    QCOMPARE(rig.state.vehicle.word62, std::uint16_t{0x1305});
}

void VehicleUiTest::refusedFieldIsNamedAndNothingIsSent() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto* dialog = rig.find<ui::VehicleDataDialog>("TForm5");
    dialog->setResult(0);
    dialog->prepare(Mode::Enter);
    rig.find<QLineEdit>("MarkaEdit")->setText(QString::fromUtf8("Лада"));
    const auto before = rig.wire.mark();
    QVERIFY(!dialog->save());
    QCOMPARE(rig.dialogs.texts.last(), QString::fromUtf8("Marka: znaku \"Л\" nie można zapisać w sterowniku"));

    rig.find<QLineEdit>("MarkaEdit")->setText(QStringLiteral("Lada"));
    rig.find<QLineEdit>("DataMiesEdit")->setText(QStringLiteral("02"));
    rig.find<QLineEdit>("DataDzienEdit")->setText(QStringLiteral("30"));
    QVERIFY(!dialog->save());
    QCOMPARE(rig.dialogs.texts.last(), QString::fromUtf8("Data Montażu - Dzień: taka data nie istnieje"));

    rig.find<QLineEdit>("DataDzienEdit")->setText(QStringLiteral("28"));
    rig.find<QComboBox>("ComboBox1")->setCurrentIndex(-1);  // "Brak Danej"
    QVERIFY(!dialog->save());
    QCOMPARE(rig.dialogs.texts.last(), QString::fromUtf8("Pojemność silnika: wybierz pozycję z listy"));
    QVERIFY(rig.wire.framesAndPausesSince(before).isEmpty());
    QCOMPARE(dialog->result(), 0);
}

void VehicleUiTest::enteredRecordIsSavedWhole() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto* dialog = rig.find<ui::VehicleDataDialog>("TForm5");
    dialog->prepare(Mode::Enter);
    rig.find<QLineEdit>("NrRejEdit")->setText(QStringLiteral("GD 1"));
    const auto before = rig.wire.mark();
    QVERIFY(dialog->save());
    const QStringList sent = rig.wire.commandsSince(before);
    QCOMPARE(sent.size(), 4 + 120);
    QCOMPARE(sent.count(QStringLiteral("RecordWordStore")), 62);
    const auto& record = rig.controller->stores().record;
    QCOMPARE(record[0], std::uint16_t{0x4744});  // "GD"
    QCOMPARE(record[1], std::uint16_t{0x2031});  // " 1"
    QCOMPARE(record[2], std::uint16_t{0x2020});
    QCOMPARE(record[63], std::uint16_t{0x1900});
}

void VehicleUiTest::firstRunNoOrCancelEndsTheProgram() {
    sim::ControllerOptions blank;
    blank.blank = true;
    {
        VirtualRig rig(Behind::Simulator, 0, true, blank);
        rig.dialogs.setAnswer(QMessageBox::No);
        rig.activate();
        QVERIFY(rig.dialogs.texts.contains(rig.text(msg::VehicleDataNotSaved)));
        QVERIFY(!rig.dialogs.texts.contains(QStringLiteral("sequaflow::ui::VehicleDataDialog")));
        QVERIFY(!rig.link().portOpen());  // the window closed
    }
    {
        VirtualRig rig(Behind::Simulator, 0, true, blank);
        rig.dialogs.setAnswer(QMessageBox::Yes);
        rig.activate();
        QCOMPARE(rig.dialogs.texts.last(), QStringLiteral("sequaflow::ui::VehicleDataDialog"));  // cancelled
        QVERIFY(!rig.link().portOpen());
        QCOMPARE(rig.controller->stores().record[63], std::uint16_t{0xFFFF});
    }
}

void VehicleUiTest::firstRunEntrySavesAndAppliesTheDefaults() {
    sim::ControllerOptions blank;
    blank.blank = true;
    VirtualRig rig(Behind::Simulator, 0, true, blank);
    rig.dialogs.setAnswer(QMessageBox::Yes);
    EntryFiller filler;
    rig.activate();
    QCOMPARE(filler.shown, 1);
    QVERIFY(rig.link().portOpen());
    const auto& record = rig.controller->stores().record;
    QCOMPARE(record[62], std::uint16_t{0x2202});
    QCOMPARE(record[63], std::uint16_t{0x0200});
    QCOMPARE(record[0], std::uint16_t{0x4744});  // "GD"
    QCOMPARE(record[23] >> 8, 0xAF);  // "Ż" at byte 46
    // After the record, the first-run settings went out.
    const QStringList sent = rig.wire.commandsSince(0);
    const auto lastStore = sent.lastIndexOf(QStringLiteral("RecordWordStore"));
    QVERIFY(sent.mid(lastStore).contains(QStringLiteral("ParamSet")));
}

QTEST_MAIN(VehicleUiTest)
#include "vehicle_ui_test.moc"
