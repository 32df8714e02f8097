#include <gtest/gtest.h>

#include <vector>

#include "maps/map_model.h"
#include "params/factory_defaults.h"
#include "params/factory_reset.h"
#include "params/fake_ecu.h"
#include "support/transcript.h"

using namespace sequaflow;
using namespace sequaflow::params;
using testing_support::FakeEcu;
using testing_support::Transcript;
using testing_support::VirtualLink;

namespace {

struct Reset : ::testing::Test, VirtualLink {
    FakeEcu ecu;
    ParameterImage image;
    maps::MapModel model;
    void SetUp() override {
        ecu.attach(port);
        // What a read found before the reset: counters and the values the reset keeps.
        for (int n = 0; n < 64; ++n) image.setSlot(n, 7000 + n);
        image.setSlot(kFlags1Shadow, 0x1FFF);
        image.setSlot(kFlags2Shadow, 0xFFFF);
        image.setSlot(kFlags3Shadow, 0x00FF);
        image.setSlot(kInjectorSelectionShadow, 0xFF);
    }
};

TEST_F(Reset, ExactFramesAndPausesMatchTheGoldenTranscript) {
    Transcript t(link);
    (void)FactoryReset(link, image, model, 6, t.progress());
    testing_support::ExpectMatchesGolden("factory_reset", t.str());
}

TEST_F(Reset, ImageHoldsFactoryValuesAndKeepsCountersAndLaterParameters) {
    EXPECT_TRUE(FactoryReset(link, image, model, 6).completed());
    for (int n = 0; n < 64; ++n) {
        const bool kept = (n >= 35 && n <= 38) || n >= 55;
        if (kept) {
            EXPECT_EQ(image.slot(n), 7000 + n) << n;
            EXPECT_EQ(ecu.params[static_cast<std::size_t>(n)], 7000 + n) << "sent as read: " << n;
        } else if (n != 47) {
            EXPECT_EQ(image.wire(n), kFactoryParameters[static_cast<std::size_t>(n)]) << n;
            EXPECT_EQ(ecu.params[static_cast<std::size_t>(n)], kFactoryParameters[static_cast<std::size_t>(n)]) << n;
        }
    }
    EXPECT_EQ(image.slot(48), -20);
    EXPECT_EQ(image.slot(49), -20);
    EXPECT_EQ(image.slot(pn::SecondFlags), 0x0008);  // map mode 2, everything else clear
    EXPECT_EQ(ecu.params[47], 0x0008);
    EXPECT_EQ(image.slot(kFlags1Shadow), 0x0250);
    EXPECT_EQ(image.slot(pn::ThirdFlags), 0);
    EXPECT_EQ(image.slot(kInjectorSelectionShadow), 0);
}

TEST_F(Reset, TheTankPresetIsWhatStaysAndIsSent) {
    EXPECT_TRUE(FactoryReset(link, image, model, 6).completed());
    const std::uint16_t expected[] = {3980, 3900, 3800, 3366};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(image.slot(30 + i), expected[i]);
        EXPECT_EQ(ecu.params[static_cast<std::size_t>(30 + i)], expected[i]);
    }
    // Nothing of the interim thresholds ever reached the line.
    const int interim[] = {3750, 3400, 3100, 2200};
    for (const auto& f : port.written())
        if (f[0] == 'E' && f[1] >= 30 && f[1] <= 33) {
            EXPECT_NE(f[2] << 8 | f[3], interim[f[1] - 30]);
        }
}

TEST_F(Reset, InjectorTypeFollowsTheLengthOfTheList) {
    EXPECT_TRUE(FactoryReset(link, image, model, 6).completed());
    EXPECT_EQ(image.field(field::InjectorType), 5u);
    VirtualLink other;
    ParameterImage second;
    maps::MapModel secondModel;
    EXPECT_TRUE(FactoryReset(other.link, second, secondModel, 4).completed());
    EXPECT_EQ(second.field(field::InjectorType), 1u);
    EXPECT_EQ(second.slot(pn::FirstFlags), 0x0210);
}

TEST_F(Reset, MapsPointsAndCorrectionStoreTakeTheirDefaults) {
    EXPECT_TRUE(FactoryReset(link, image, model, 6).completed());
    for (int r = 0; r < maps::kRows; ++r)
        for (int c = 0; c < maps::kColumns; ++c) {
            EXPECT_EQ(maps::GridCellText(model.cell(r, c)), "+15");
            EXPECT_EQ(ecu.grid[static_cast<std::size_t>(7 * r + c)], 115);
        }
    for (int k = 0; k < maps::kStdCells; ++k) EXPECT_EQ(ecu.standard[static_cast<std::size_t>(k)], 115);
    for (int k = 0; k < maps::kPoints; ++k) {
        EXPECT_EQ(model.point(k), kDefaultPoints[static_cast<std::size_t>(k)]);
        EXPECT_EQ(ecu.points[static_cast<std::size_t>(k)], kDefaultPoints[static_cast<std::size_t>(k)]);
    }
    // Twelve lambda words into correction-store words 27..38, then the temperature map into 21..26 and 16..20.
    std::vector<int> storeWords;
    for (const auto& f : port.written())
        if (f[0] == '7') storeWords.push_back(f[1]);
    ASSERT_EQ(storeWords.size(), 12u + 12u + 11u);
    EXPECT_EQ(storeWords[12], 27);
    EXPECT_EQ(storeWords[23], 38);
    EXPECT_EQ(storeWords[24], 21);
    EXPECT_EQ(storeWords[30], 16);
    EXPECT_EQ(storeWords[34], 20);
}

TEST_F(Reset, CellsAreCappedByALowerMaximum) {
    model.setCellMaximum(10);
    EXPECT_TRUE(FactoryReset(link, image, model, 6).completed());
    EXPECT_EQ(model.cell(0, 0), 10);
    EXPECT_EQ(ecu.grid[0], 110);
}

TEST_F(Reset, TakesTheMandatedTimeAndReportsEveryPhase) {
    std::vector<std::string> phases;
    const auto result = FactoryReset(link, image, model, 6, [&](const ProgressStep& s) {
        if (phases.empty() || phases.back() != s.phase) phases.emplace_back(s.phase);
    });
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(phases, (std::vector<std::string>{"Param.", "Mapa 1p", "Mapa 1", "Mapa 2", "Lambda", "Temp."}));
    int total = 0;
    for (int p : pacer.pauses()) total += p;
    // Tank writes 5 x 60, the set 63 x 70 + 70, 84 cells x 50, 17 points x 60, 12 cells x 50, 12 lambda
    // words x 50, parameter 47 twice x 60, 11 temperature words x 50; the receive waits are not used.
    EXPECT_EQ(total, 5 * 60 + 63 * 70 + 70 + 84 * 50 + 17 * 60 + 12 * 50 + 12 * 50 + 2 * 60 + 11 * 50);
}

}  // namespace
