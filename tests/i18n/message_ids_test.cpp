#include "i18n/message_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>

#include "i18n/caption_table.h"

namespace sequaflow::i18n {
namespace {

bool KeepsStoredText(const CaptionRow& row) {
    return std::any_of(row.targets().begin(), row.targets().end(),
                       [](const CaptionTarget& t) { return t.isStoredText(); });
}

TEST(MessageIds, EveryNamedIdIsAStoredTextOfTheTable) {
    std::set<int> seen;
    for (int id : msg::kAllMessageIds) {
        EXPECT_TRUE(seen.insert(id).second) << id << " is named twice";
        const CaptionRow* row = FindCaption(id);
        ASSERT_NE(row, nullptr) << id << " is not in the caption table";
        EXPECT_TRUE(KeepsStoredText(*row)) << id << " names a control, not a message";
    }
}

TEST(MessageIds, EveryStoredTextOfTheTableHasAName) {
    const std::set<int> named(std::begin(msg::kAllMessageIds), std::end(msg::kAllMessageIds));
    int stored = 0;
    for (const auto& row : CaptionTable()) {
        if (!KeepsStoredText(row)) continue;
        ++stored;
        EXPECT_TRUE(named.count(row.id)) << row.id << " (" << row.polish << ") has no name";
    }
    EXPECT_EQ(stored, static_cast<int>(named.size()));
}

// Neighbouring ids of opposite meaning: a name on the wrong number shows the opposite text.
TEST(MessageIds, OppositeNamesCarryTheirOwnTexts) {
    const auto polish = [](int id) {
        const CaptionRow* row = FindCaption(id);
        return row != nullptr ? row->polish : std::string_view("<none>");
    };
    EXPECT_EQ(polish(msg::Connected), "Sterownik jest podlaczony");
    EXPECT_EQ(polish(msg::NotConnected), "Sterownik jest niepodlaczony");
    EXPECT_EQ(polish(msg::OnGas), "LPG");
    EXPECT_EQ(polish(msg::OnPetrol), "BENZYNA");
    EXPECT_EQ(polish(msg::Petrol), "Benzyna");
    EXPECT_EQ(polish(msg::Gas), "Gaz");
    EXPECT_EQ(polish(msg::InjectorOn), "Włączony");
    EXPECT_EQ(polish(msg::InjectorOff), "Wyłączony");
    EXPECT_EQ(polish(msg::Start), "START");
    EXPECT_EQ(polish(msg::Abort), "PRZERWIJ");
    EXPECT_EQ(polish(msg::Fault), "Błąd");
    EXPECT_EQ(polish(msg::Healthy), "Sprawny");
    EXPECT_EQ(polish(msg::ComError), "Com błąd");
    EXPECT_EQ(polish(msg::EcuError), "ECU błąd");
    EXPECT_EQ(polish(msg::SettingsResetTitle), "Reset Ustawień");
    EXPECT_EQ(polish(msg::MemoryResetTitle), "Reset Pamięci sterownika");
}

}  // namespace
}  // namespace sequaflow::i18n
