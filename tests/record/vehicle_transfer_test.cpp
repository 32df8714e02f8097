#include <gtest/gtest.h>

#include <cstring>

#include "link/commands.h"
#include "params/fake_ecu.h"
#include "params/read_everything.h"
#include "record/vehicle_entry.h"
#include "record/vehicle_transfer.h"
#include "sim/controller.h"
#include "sim/sim_port.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::record;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

struct RecordTransfer : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    void SetUp() override { ecu.attach(port); }

    static VehicleRecord Saved() {
        VehicleRecord r;
        VehicleEntry e;
        e.text(TextField::Registration) = "KR 5G21";
        e.text(TextField::Make) = "Škoda";
        e.text(TextField::Model) = "Fabia";
        e.text(TextField::Installer) = "Auto-Gaz Kraków";
        e.text(TextField::Year) = "2024";
        e.text(TextField::Month) = "11";
        e.text(TextField::Day) = "05";
        e.lists = {0, 3, 25, 2};
        EXPECT_EQ(ApplyEntry(r, e, EntryScope::WholeRecord), std::nullopt);
        return r;
    }
};

TEST_F(RecordTransfer, FullSaveSendsTheInstallationWordsThenTheText) {
    const VehicleRecord r = Saved();
    Transcript t(link);
    SaveVehicleRecord(link, r);
    testing_support::ExpectMatchesGolden("vehicle_record_save", t.str());
    // "KR" = 0x4B52, "Š" in Windows-1250 is 0x8A; word 40 carries the zero byte after the day.
    EXPECT_EQ(ecu.record[0], 0x4B52);
    EXPECT_EQ(ecu.record[6], 0x8A6B);  // "Šk"
    EXPECT_EQ(ecu.record[39], 0x3035);  // "05"
    EXPECT_EQ(ecu.record[40] >> 8, 0);
    EXPECT_EQ(ecu.record[62], 0x0302);
    EXPECT_EQ(ecu.record[63], 0x1900);
}

TEST_F(RecordTransfer, InstallationDataSendsOnlyWords62And63WithTheMarkerCleared) {
    ecu.record.fill(0xFFFF);
    VehicleRecord r = Saved();
    r.word63 = 0x19FF;  // a marker left from a blank controller never goes back
    Transcript t(link);
    WriteInstallationData(link, r);
    EXPECT_EQ(t.str(),
              "pause 10\n"
              "send 4D 3E 00 00 8B 3A  RecordWordSelect 62\n"
              "pause 30\n"
              "send 55 3E 03 02 98 3A  RecordWordStore 62 = 0x0302\n"
              "pause 10\n"
              "send 4D 3F 00 00 8C 3A  RecordWordSelect 63\n"
              "pause 30\n"
              "send 55 3F 19 00 AD 3A  RecordWordStore 63 = 0x1900\n"
              "pause 10\n");
    EXPECT_EQ(ecu.record[0], 0xFFFF);
    EXPECT_EQ(ecu.record[63], 0x1900);
}

TEST_F(RecordTransfer, ReadTakesAnsweredWordsAndKeepsBytesOfRejectedOnes) {
    const VehicleRecord saved = Saved();
    for (int w = 0; w < 61; ++w) ecu.record[w] = static_cast<std::uint16_t>(saved.text[2 * w] << 8 | saved.text[2 * w + 1]);
    ecu.record[60] = 0x4142;  // "AB": byte 120 is zeroed all the same
    ecu.record[61] = 0x1234;
    ecu.record[62] = 0x1305;
    ecu.record[63] = 0x1900;

    VehicleRecord r;
    Transcript t(link);
    t.clear();
    ASSERT_TRUE(ReadVehicleRecord(link, r, t.progress()).completed());
    testing_support::ExpectMatchesGolden("vehicle_record_read", t.str());
    EXPECT_EQ(r.text[119], saved.text[119]);
    EXPECT_EQ(r.text[120], 0);
    EXPECT_EQ(r.text[121], 0x42);
    EXPECT_EQ(r.word62, 0x1305);
    EXPECT_EQ(FieldsOf(r).text(TextField::Model), "Fabia          ");

    // A second read with word 3 and word 63 unanswered keeps their previous values.
    ecu.record[3] = 0x5A5A;
    ecu.record[4] = 0x5A5A;
    ecu.record[63] = 0xFFFF;
    ecu.silent = {{link::code::RecordWordRead, 3}, {link::code::RecordWordRead, 63}};
    ASSERT_TRUE(ReadVehicleRecord(link, r, {}).completed());
    EXPECT_EQ(r.text[6], saved.text[6]);
    EXPECT_EQ(r.text[7], saved.text[7]);
    EXPECT_EQ(r.text[8], 0x5A);
    EXPECT_EQ(r.word63, 0x1900);
}

TEST(RecordRead, ReadEverythingFillsTheProgramState) {
    link::VirtualPacer pacer;
    sim::Controller controller{sim::ControllerOptions{}};
    sim::SimPort simPort(controller, pacer);
    link::Link link(simPort, pacer);
    link.setPortName("sim");
    ASSERT_TRUE(link.openPort().ok());

    VehicleRecord written;
    VehicleEntry e;
    e.texts = {"PO 77777", "Fiat", "Panda", "Gaz-Serwis", "2023", "06", "30"};
    e.lists = {2, 1, 0, 80};
    ASSERT_EQ(ApplyEntry(written, e, EntryScope::WholeRecord), std::nullopt);
    SaveVehicleRecord(link, written);

    params::ProgramState state;
    const auto report = params::ReadEverything(link, state, {});
    EXPECT_FALSE(report.vehicleDataMissing());
    EXPECT_EQ(state.vehicle.word62, 0x2150);
    EXPECT_EQ(state.vehicle.word63, 0x0000);
    EXPECT_EQ(0, std::memcmp(state.vehicle.text.data(), written.text.data(), 81));
    EXPECT_EQ(EntryOf(state.vehicle).text(TextField::Model), "Panda          ");
}

}  // namespace
