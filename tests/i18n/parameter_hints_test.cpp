#include "i18n/parameter_hints.h"

#include <gtest/gtest.h>

#include <string>

#include "i18n/message_store.h"
#include "i18n/utf8.h"

namespace sequaflow::i18n {
namespace {

TEST(WrapHintText, BreaksAtTheFirstSpaceAfterColumnForty) {
    const std::string forty(40, 'a');
    EXPECT_EQ(WrapHintText(forty, 40), forty);
    EXPECT_EQ(WrapHintText(forty + " b", 40), forty + "\nb");
    // A space at column 40 is still inside the line; the word runs on to the next space.
    EXPECT_EQ(WrapHintText(std::string(39, 'a') + " bbbb cc", 40), std::string(39, 'a') + " bbbb\ncc");
    // Only the first space past the limit breaks; the column then starts again.
    EXPECT_EQ(WrapHintText(forty + "  b", 40), forty + "\n b");
    const std::string twoLines = WrapHintText(forty + " " + forty + " end", 40);
    EXPECT_EQ(twoLines, forty + "\n" + forty + "\nend");
}

TEST(WrapHintText, ExistingLineBreaksDoNotRestartTheColumn) {
    // 30 characters, a line break, 15 more: the column passes 40 on the second line.
    const std::string text = std::string(30, 'a') + "\n" + std::string(15, 'b') + " c";
    EXPECT_EQ(WrapHintText(text, 40), std::string(30, 'a') + "\n" + std::string(15, 'b') + "\nc");
}

TEST(WrapHintText, CountsCharactersNotBytes) {
    std::string polish;
    for (int i = 0; i < 40; ++i) polish += "\xC5\x82";  // 40 characters, 80 bytes
    EXPECT_EQ(WrapHintText(polish + " x", 40), polish + "\nx");
    EXPECT_EQ(WrapHintText("\xC5\x82\xC5\x82 x", 40), "\xC5\x82\xC5\x82 x");
}

TEST(ParameterHints, RangeGoesInFrontAndTheWholeHintIsWrapped) {
    MessageStore store;
    store.apply(11005, "Engine speed threshold for the changeover to gas.");
    const ParameterHint& rpm = kParameterHints[1];
    ASSERT_EQ(rpm.control, "EditRPMprzelNaLPG");
    // The range line counts towards the first line's column, so the break comes earlier.
    EXPECT_EQ(BuildParameterHint(rpm, store), "[500 -:- 3000]\nEngine speed threshold for\nthe changeover to gas.");

    store.apply(11017, "12 V or 5 V");
    const ParameterHint& signal = kParameterHints[9];
    ASSERT_EQ(signal.control, "ComboBoxSygnalObrotow");
    EXPECT_EQ(BuildParameterHint(signal, store), "12 V or 5 V");
}

TEST(ParameterHints, EveryHintTextIsAKnownMessage) {
    MessageStore store;
    int withRange = 0;
    for (const auto& hint : kParameterHints) {
        EXPECT_FALSE(store.text(hint.textId).empty()) << hint.control;
        withRange += hint.low.empty() ? 0 : 1;
        EXPECT_TRUE(utf8::isValid(BuildParameterHint(hint, store))) << hint.control;
    }
    EXPECT_EQ(withRange, 7);
}

}  // namespace
}  // namespace sequaflow::i18n
