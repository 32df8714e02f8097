#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "record/vehicle_record.h"

using namespace sequaflow::record;

namespace {

TEST(VehicleLists, EntriesAtBothEndsAndTheSteps) {
    EXPECT_EQ(ListEntryCount(ListField::Layout), 4);
    EXPECT_EQ(ListEntryCount(ListField::Cylinders), 8);
    EXPECT_EQ(ListEntryCount(ListField::Capacity), 134);
    EXPECT_EQ(ListEntryCount(ListField::Nozzle), 81);

    EXPECT_EQ(ListEntryText(ListField::Layout, 0), "R - Rzędowy");
    EXPECT_EQ(ListEntryText(ListField::Layout, 1), "V - Widlasty");
    EXPECT_EQ(ListEntryText(ListField::Layout, 2), "B - Boxer");
    EXPECT_EQ(ListEntryText(ListField::Layout, 3), "W");
    EXPECT_EQ(ListEntryText(ListField::Layout, 4), std::nullopt);

    EXPECT_EQ(ListEntryText(ListField::Cylinders, 0), "1");
    EXPECT_EQ(ListEntryText(ListField::Cylinders, 7), "8");
    EXPECT_EQ(ListEntryText(ListField::Cylinders, 8), std::nullopt);

    EXPECT_EQ(ListEntryText(ListField::Capacity, 0), "0,35 L");
    EXPECT_EQ(ListEntryText(ListField::Capacity, 1), "0,40 L");
    EXPECT_EQ(ListEntryText(ListField::Capacity, 13), "1,00 L");
    EXPECT_EQ(ListEntryText(ListField::Capacity, 25), "1,60 L");
    EXPECT_EQ(ListEntryText(ListField::Capacity, 133), "7,00 L");
    EXPECT_EQ(ListEntryText(ListField::Capacity, 134), std::nullopt);

    EXPECT_EQ(ListEntryText(ListField::Nozzle, 0), "1,00mm");
    EXPECT_EQ(ListEntryText(ListField::Nozzle, 5), "1,25mm");
    EXPECT_EQ(ListEntryText(ListField::Nozzle, 80), "5,00mm");
    EXPECT_EQ(ListEntryText(ListField::Nozzle, -1), std::nullopt);

    EXPECT_EQ(ListEntryText(ListField::Cylinders, PresetEntry(ListField::Cylinders)), "4");
    EXPECT_EQ(ListEntryText(ListField::Capacity, PresetEntry(ListField::Capacity)), "1,60 L");
}

TEST(VehicleFieldsOf, DecodesTheInstallationWords) {
    VehicleRecord r;
    r.word62 = 0x1305;
    r.word63 = 0x1900;
    const VehicleFields f = FieldsOf(r);
    EXPECT_EQ(f.list(ListField::Layout), 1);     // V - Widlasty
    EXPECT_EQ(f.list(ListField::Cylinders), 3);  // "4"
    EXPECT_EQ(f.list(ListField::Nozzle), 5);     // "1,25mm"
    EXPECT_EQ(f.list(ListField::Capacity), 25);  // "1,60 L"
    EXPECT_FALSE(r.neverSaved());

    // The last entries still decode; one past them does not.
    r.word62 = 0x3750;  // W, "8", "5,00mm"
    r.word63 = 0x8500;  // "7,00 L"
    const VehicleFields last = FieldsOf(r);
    EXPECT_EQ(last.list(ListField::Layout), 3);
    EXPECT_EQ(last.list(ListField::Cylinders), 7);
    EXPECT_EQ(last.list(ListField::Nozzle), 80);
    EXPECT_EQ(last.list(ListField::Capacity), 133);
    r.word62 = 0x4851;
    r.word63 = 0x8600;
    for (const auto& v : FieldsOf(r).lists) EXPECT_EQ(v, std::nullopt);
}

TEST(VehicleFieldsOf, BlankControllerShowsNoSelection) {
    VehicleRecord r;
    r.word62 = 0xFFFF;
    r.word63 = 0xFFFF;
    EXPECT_TRUE(r.neverSaved());
    for (const auto& v : FieldsOf(r).lists) EXPECT_EQ(v, std::nullopt);
}

TEST(VehicleFieldsOf, SlicesEachTextAtItsWidthOrFirstZero) {
    VehicleRecord r;
    const std::string text = std::string("WX 1234A    ") + "Opel           " + "Astra          " +
                             "Jan Kowalski Auto-Gaz         " + "2025" + "03" + "14";
    ASSERT_EQ(text.size(), 80u);
    std::memcpy(r.text.data(), text.data(), text.size());
    const VehicleFields f = FieldsOf(r);
    EXPECT_EQ(f.text(TextField::Registration), "WX 1234A    ");
    EXPECT_EQ(f.text(TextField::Make), "Opel           ");
    EXPECT_EQ(f.text(TextField::Model), "Astra          ");
    EXPECT_EQ(f.text(TextField::Installer), "Jan Kowalski Auto-Gaz         ");
    EXPECT_EQ(f.text(TextField::Year), "2025");
    EXPECT_EQ(f.text(TextField::Month), "03");
    EXPECT_EQ(f.text(TextField::Day), "14");

    r.text[3] = 0;   // registration ends early
    r.text[76] = 0;  // month empty
    const VehicleFields cut = FieldsOf(r);
    EXPECT_EQ(cut.text(TextField::Registration), "WX ");
    EXPECT_EQ(cut.text(TextField::Make), "Opel           ");
    EXPECT_EQ(cut.text(TextField::Month), "");
    EXPECT_EQ(cut.text(TextField::Day), "14");
}

}  // namespace
