#include "i18n/caption_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "i18n/combo_index_memory.h"
#include "i18n/message_store.h"
#include "i18n/utf8.h"

namespace sequaflow::i18n {
namespace {

TEST(CaptionTable, IdsWithTwoTargetsAreExactlyTheSharedCaptions) {
    std::set<int> twoTargets;
    for (const auto& row : CaptionTable())
        if (row.targetCount == 2) twoTargets.insert(row.id);
    EXPECT_EQ(twoTargets, (std::set<int>{10101, 10102, 10114, 10203, 10352, 10370}));

    const CaptionRow* status = FindCaption(10114);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->targets()[0].control, "LabelStatus");
    EXPECT_EQ(status->targets()[1].kind, TargetKind::Message);

    const CaptionRow* oscilloscope = FindCaption(10203);
    ASSERT_NE(oscilloscope, nullptr);
    EXPECT_EQ(oscilloscope->targets()[1].kind, TargetKind::ListEntry);
    EXPECT_EQ(oscilloscope->targets()[1].control, "ComboBoxOscyloskopParametry");
    EXPECT_EQ(oscilloscope->targets()[1].entry, 0);

    const CaptionRow* refresh = FindCaption(10370);
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->targets()[0].form, "TForm1");
    EXPECT_EQ(refresh->targets()[1].form, "TForm12");
}

TEST(CaptionTable, LookupFindsKnownIdsOnly) {
    EXPECT_EQ(FindCaption(10000)->targets()[0].control, "Plik1");
    EXPECT_EQ(FindCaption(15001)->targets()[0].control, "sbMapAdv");
    for (int unknown : {0, 9999, 10006, 10210, 11018, 12070, 15002, -1}) EXPECT_EQ(FindCaption(unknown), nullptr) << unknown;
}

TEST(CaptionTable, FixedTextFieldsCarryTheirLengths) {
    std::map<int, std::size_t> lengths;
    for (const auto& row : CaptionTable())
        if (row.fieldLength() > 0) lengths[row.id] = row.fieldLength();
    EXPECT_EQ(lengths.size(), 6u);
    EXPECT_EQ(lengths[12050], 49u);
    EXPECT_EQ(lengths[12051], 49u);
    EXPECT_EQ(lengths[12054], 99u);
    EXPECT_EQ(lengths[12056], 51u);
    for (const auto& [id, length] : lengths)
        EXPECT_LE(utf8::countCharacters(FindCaption(id)->polish), length) << id;
}

TEST(CaptionTable, ListEntriesOfEachBoxAreNumberedWithoutGaps) {
    // Each list-entry id replaces an entry that the form design creates; gaps would mean a wrong index.
    std::map<std::string, std::set<int>> entries;
    for (const auto& row : CaptionTable())
        for (const auto& t : row.targets())
            if (t.kind == TargetKind::ListEntry) entries[std::string(t.form) + "." + std::string(t.control)].insert(t.entry);
    for (const auto& [box, indices] : entries) {
        if (indices.size() == 1) continue;  // boxes whose first entry alone is translated
        EXPECT_EQ(*indices.begin(), 0) << box;
        EXPECT_EQ(static_cast<std::size_t>(*indices.rbegin()) + 1, indices.size()) << box;
    }
    EXPECT_EQ(entries["TForm1.ComboBoxDeltaRpm"].size(), 10u);
    EXPECT_EQ(entries["TForm1.ComboBoxCewka"].size(), 7u);
    EXPECT_EQ(FindCaption(10453)->targets()[0].entry, 0);
}

TEST(CaptionTable, EveryTargetNamesWhatItChanges) {
    for (const auto& row : CaptionTable()) {
        EXPECT_TRUE(utf8::isValid(row.polish)) << row.id;
        EXPECT_FALSE(row.polish.empty()) << row.id;
        for (const auto& t : row.targets()) {
            if (t.isStoredText()) {
                EXPECT_TRUE(t.control.empty()) << row.id;
            } else {
                EXPECT_FALSE(t.control.empty()) << row.id;
                EXPECT_TRUE(t.form.starts_with("TForm")) << row.id;
            }
            EXPECT_EQ(t.kind == TargetKind::WidgetText, t.part != WidgetPart::None) << row.id;
        }
    }
    EXPECT_TRUE(FindCaption(10820)->targets()[0].isWindowCaption());
    EXPECT_FALSE(FindCaption(10800)->targets()[0].isWindowCaption());
}

TEST(CaptionTable, KeptComboBoxesAreDistinct) {
    std::set<std::string> names;
    for (const auto& combo : kKeptComboBoxes) names.insert(std::string(combo.form) + "." + std::string(combo.control));
    EXPECT_EQ(names.size(), kKeptComboBoxes.size());
}

TEST(MessageStore, StartsWithBuiltInTextsAndOverlaysEntries) {
    MessageStore store;
    EXPECT_EQ(store.text(12050), "Błąd");
    EXPECT_EQ(store.text(11114), "Opis wolnozmienna ");
    EXPECT_EQ(store.text(13012), "Zalecane dysze wtryskiwaczy ");
    EXPECT_EQ(store.text(424242), "");

    EXPECT_NE(store.apply(10114, "first"), nullptr);
    EXPECT_NE(store.apply(10114, "second"), nullptr);
    EXPECT_EQ(store.text(10114), "second");
    EXPECT_EQ(store.apply(99999, "ignored"), nullptr);
    EXPECT_EQ(store.text(10122), "Benzyna");  // untouched ids keep their text

    store.reset();
    EXPECT_EQ(store.text(10114), "Status");
}

TEST(MessageStore, FixedTextFieldsAreCutToTheirLengthWithoutSplittingCharacters) {
    MessageStore store;
    store.apply(12050, std::string(60, 'x'));
    EXPECT_EQ(store.text(12050), std::string(49, 'x'));
    std::string polish;
    for (int i = 0; i < 120; ++i) polish += "\xC4\x85";  // "ą", two bytes each
    store.apply(12054, polish);
    EXPECT_EQ(utf8::countCharacters(store.text(12054)), 99u);
    EXPECT_TRUE(utf8::isValid(store.text(12054)));
    store.apply(12056, std::string(51, 'y'));
    EXPECT_EQ(store.text(12056).size(), 51u);
    // Ordinary messages are not cut.
    store.apply(12055, std::string(300, 'z'));
    EXPECT_EQ(store.text(12055).size(), 300u);
}

}  // namespace
}  // namespace sequaflow::i18n
