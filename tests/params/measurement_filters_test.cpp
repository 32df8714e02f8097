#include <gtest/gtest.h>

#include "link/link.h"
#include "live/conversions.h"
#include "params/measurement_filters.h"
#include "support/scripted_port.h"
#include "support/virtual_link.h"
#include "support/transcript.h"

using namespace sequaflow;
using testing_support::ScriptedPort;

namespace {

struct FilterFixture : ::testing::Test, testing_support::VirtualLink {
    params::ParameterImage image;

    void SetUp() override {
        image.storeWord(params::pn::IgnitionType, 2);
        image.storeWord(params::pn::FirstFlags, 0);
        image.storeWord(params::pn::SecondFlags, 8);
        image.storeWord(params::pn::ThirdFlags, 0);
        image.refreshShadow(params::FlagsWord::Second);
        image.refreshShadow(params::FlagsWord::Third);
    }
    std::vector<int> writtenParams() const {
        std::vector<int> out;
        for (const auto& f : port.written())
            if (f[0] == 'D') out.push_back(f[1]);
        return out;
    }
};

TEST_F(FilterFixture, ValuesAreLimitedAndWrittenInOrder) {
    const auto texts = params::ApplyMeasurementFilters(link, image, "300", "20", "0", 2, ',');
    ASSERT_TRUE(texts);
    EXPECT_EQ(image.slot(60), live::RpmToPeriod(400, 2));
    EXPECT_EQ(image.slot(61), live::MsToTicks(15.0f, false));
    EXPECT_EQ(image.slot(59), 1);  // 0.005 ms is one tick at 230400 Hz
    EXPECT_EQ(writtenParams(), (std::vector<int>{60, 61, 59, 54, 47}));
    EXPECT_EQ(image.slot(47) & (1 << 5), 1 << 5);
    EXPECT_EQ(image.slot(54) & (1 << 3), 1 << 3);
    EXPECT_EQ(image.slot(47) & 0xC, 8);  // the map mode stays
    EXPECT_EQ(texts->injTime, "15,0");
    EXPECT_EQ(texts->dt, "0,00");  // one tick is 0.0043 ms
    EXPECT_EQ(texts->item, 2);

    const auto none = params::ApplyMeasurementFilters(link, image, "6000", "1", "10", 0, ',');
    ASSERT_TRUE(none);
    EXPECT_EQ(none->rpm, "5000");
    EXPECT_EQ(none->item, 0);
    EXPECT_EQ(image.slot(54) & (1 << 3), 0);
}

TEST_F(FilterFixture, TextThatIsNotANumberSendsNothing) {
    EXPECT_FALSE(params::ApplyMeasurementFilters(link, image, "12x", "5", "0,05", 1, ','));
    EXPECT_TRUE(port.written().empty());
}

TEST_F(FilterFixture, FlagsWordsNeverReportedAreNotSent) {
    params::ParameterImage fresh;
    fresh.storeWord(params::pn::IgnitionType, 2);
    ASSERT_TRUE(params::ApplyMeasurementFilters(link, fresh, "1200", "5", "0.05", 2, '.'));
    EXPECT_EQ(writtenParams(), (std::vector<int>{60, 61, 59}));
}

TEST_F(FilterFixture, DefaultsAtStartUp) {
    const auto t = params::SetDefaultMeasurementFilters(link, image, ',');
    EXPECT_EQ(writtenParams(), (std::vector<int>{60, 61, 59}));
    EXPECT_EQ(t.rpm, "1200");
    EXPECT_EQ(t.injTime, "5,0");
    EXPECT_EQ(t.dt, "0,05");
}

}  // namespace
