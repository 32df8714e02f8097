#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>
#include <QtTest>

#include <fstream>

#include "i18n/message_ids.h"
#include "params/factory_defaults.h"
#include "params/file_plausibility.h"
#include "params/parameter_file.h"
#include "ui/configuration_controller.h"
#include "ui/dialogs/compare_dialog.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;
namespace msg = i18n::msg;

namespace {

// `base` changed by `edit`, as a parameter file.
template <typename Edit>
QString WriteFile(const QString& path, params::ProgramState file, Edit edit) {
    edit(file);
    const auto written = params::WriteParameterFile(path.toStdString(), params::EncodeParameterFile(file.image, file.maps));
    return written.ok() ? path : QString();
}

// The factory configuration the simulator starts with, changed by `edit`, as a parameter file.
template <typename Edit>
QString WriteFile(const QString& path, Edit edit) {
    params::ProgramState file;
    for (int n = 0; n < 64; ++n) file.image.storeWord(n, params::kFactoryParameters[static_cast<std::size_t>(n)]);
    for (int k = 0; k < maps::kPoints; ++k) file.maps.setPoint(k, params::kDefaultPoints[static_cast<std::size_t>(k)]);
    for (int i = 0; i < maps::kCells; ++i) file.maps.setCellByte(i / 7, i % 7, params::kDefaultCellByte);
    for (int k = 0; k < maps::kStdCells; ++k) file.maps.setStdByte(k, params::kDefaultCellByte);
    edit(file);
    const auto written = params::WriteParameterFile(path.toStdString(), params::EncodeParameterFile(file.image, file.maps));
    return written.ok() ? path : QString();
}

QStringList Row(const QTableWidget* table, int row) {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(row, c)->text();
    return cells;
}

}  // namespace

class CompareUiTest : public QObject {
    Q_OBJECT
private slots:
    void compareShowsEachDifferenceBetweenTheScreensAndTheFile();
    void anImplausibleFileIsSentOnlyWhenTheUserSaysYes();
    void theLoadsReadBackNamesWhatTheControllerHoldsOtherThanTheFile();
};

void CompareUiTest::compareShowsEachDifferenceBetweenTheScreensAndTheFile() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const QString same = WriteFile(config.parameterFolder() + QStringLiteral("/same.kst"), rig.state, [](auto&) {});
    QVERIFY(config.compareWith(same));
    auto* dialog = config.compareDialog();
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->windowTitle(), rig.text(msg::CompareTitle).arg(QStringLiteral("same.kst")));
    QCOMPARE(dialog->summary()->text(), rig.text(msg::NoDifferences));
    QCOMPARE(dialog->table()->rowCount(), 0);

    const QString other = WriteFile(config.parameterFolder() + QStringLiteral("/other.kst"), rig.state,
                                    [&](params::ProgramState& f) {
        f.image.setSlot(5, 30);
        f.maps.setCell(2, 3, 40);
    });
    QVERIFY(config.compareWith(other));
    dialog = config.compareDialog();
    QCOMPARE(dialog->summary()->text(), rig.text(msg::DifferenceCount).arg(2));
    QCOMPARE(dialog->table()->horizontalHeaderItem(1)->text(), rig.text(msg::ColumnOnScreen));
    QCOMPARE(dialog->table()->horizontalHeaderItem(2)->text(), rig.text(msg::ColumnInFile));
    QCOMPARE(dialog->table()->rowCount(), 2);
    QCOMPARE(Row(dialog->table(), 0),
             (QStringList{QStringLiteral("parameter 5 (min_switch_temperature_c)"), QStringLiteral("25"),
                          QStringLiteral("30")}));
    QCOMPARE(Row(dialog->table(), 1), (QStringList{QStringLiteral("advanced map cell 2,3 (row,column)"),
                                                   QStringLiteral("+15%"), QStringLiteral("+40%")}));

    // The screens' own configuration again: the earlier dialog gives way to the new one.
    const QString equal = WriteFile(config.parameterFolder() + QStringLiteral("/equal.kst"), rig.state, [](auto&) {});
    QVERIFY(config.compareWith(equal));
    QCOMPARE(config.compareDialog()->summary()->text(), rig.text(msg::NoDifferences));
    QCOMPARE(config.compareDialog()->table()->rowCount(), 0);

    // A short file is refused with the file error, no dialog.
    std::ofstream((config.parameterFolder() + QStringLiteral("/short.kst")).toStdString()) << "short";
    rig.dialogs.texts.clear();
    QVERIFY(!config.compareWith(config.parameterFolder() + QStringLiteral("/short.kst")));
    QCOMPARE(rig.dialogs.texts, QStringList{rig.text(msg::FileError)});
}

void CompareUiTest::anImplausibleFileIsSentOnlyWhenTheUserSaysYes() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    const QString file = WriteFile(config.parameterFolder() + QStringLiteral("/odd.kst"),
                                   [](params::ProgramState& f) { f.image.setSlot(21, 9); });  // no ignition type 9
    const auto content = params::ReadParameterFile(file.toStdString());
    QVERIFY(content.ok());
    const QString question = rig.text(msg::ImplausibleFile)
                                 .arg(file, QString::fromStdString(params::FirstImplausibleText(params::CheckPlausibility(*content))));
    QVERIFY(question.contains(QStringLiteral("parameter 21 (ignition_type) is 9, expected 0..6")));

    rig.dialogs.setAnswer(QMessageBox::No);
    auto before = rig.wire.mark();
    QVERIFY(!config.loadFrom(file));
    QCOMPARE(rig.wire.commandsSince(before), QStringList{});
    QCOMPARE(rig.dialogs.texts, QStringList{question});

    rig.dialogs.setAnswer(QMessageBox::Yes);
    rig.dialogs.texts.clear();
    before = rig.wire.mark();
    QVERIFY(config.loadFrom(file));
    QCOMPARE(rig.simParameter(21), std::uint16_t{9});
    QCOMPARE(rig.dialogs.texts.front(), question);
}

void CompareUiTest::theLoadsReadBackNamesWhatTheControllerHoldsOtherThanTheFile() {
    VirtualRig rig(Behind::Simulator);
    rig.activate();
    auto& config = rig.window->configuration();
    // Without the turbo flag the controller's map maximum is +50 %: the file's +90 % goes out as +50 %.
    const QString file = WriteFile(config.parameterFolder() + QStringLiteral("/turbo.kst"), [](params::ProgramState& f) {
        f.maps.setCell(4, 5, 90);
        f.image.setSlot(5, 30);
    });
    QVERIFY(config.loadFrom(file));
    QCOMPARE(rig.dialogs.texts,
             QStringList{rig.text(msg::ControllerHoldsDifferently)
                             .arg(QStringLiteral("advanced map cell 4,5 (row,column): +90% -> +50%"))});
}

QTEST_MAIN(CompareUiTest)
#include "compare_ui_test.moc"
