#include <gtest/gtest.h>

#include <string>

#include "i18n/code_page.h"
#include "record/vehicle_entry.h"

using namespace sequaflow;
using namespace sequaflow::record;

namespace {

std::string Bytes(const VehicleRecord& r, std::size_t from, std::size_t n) {
    return std::string(r.text.begin() + static_cast<std::ptrdiff_t>(from),
                       r.text.begin() + static_cast<std::ptrdiff_t>(from + n));
}

VehicleEntry Sample() {
    VehicleEntry e;
    e.text(TextField::Registration) = "WX 1234A";
    e.text(TextField::Make) = "Opel";
    e.text(TextField::Model) = "";
    e.text(TextField::Installer) = "Łódź Gaz";
    e.text(TextField::Year) = "2025";
    e.text(TextField::Month) = "03";
    e.text(TextField::Day) = "14";
    e.list(ListField::Layout) = 1;     // V
    e.list(ListField::Cylinders) = 3;  // "4"
    e.list(ListField::Capacity) = 25;  // "1,60 L"
    e.list(ListField::Nozzle) = 5;     // "1,25mm"
    return e;
}

TEST(CodePageEncoder, PolishLettersAndTheFirstCharacterItCannotHold) {
    const auto polish = i18n::encodeFromUtf8("Łódź ąę Śż", i18n::CodePage::Windows1250);
    ASSERT_TRUE(polish.ok());
    EXPECT_EQ(polish.bytes, "\xA3\xF3\x64\x9F\x20\xB9\xEA\x20\x8C\xBF");

    const auto cyrillic = i18n::encodeFromUtf8("abЖcñ", i18n::CodePage::Windows1250);
    EXPECT_FALSE(cyrillic.ok());
    EXPECT_EQ(cyrillic.unencodable, "Ж");
    EXPECT_TRUE(cyrillic.bytes.empty());

    const auto broken = i18n::encodeFromUtf8("a\xC3", i18n::CodePage::Windows1250);
    EXPECT_EQ(broken.unencodable, "\xEF\xBF\xBD");

    // And back: the decoder reads what the encoder wrote.
    EXPECT_EQ(i18n::decodeToUtf8(polish.bytes, i18n::CodePage::Windows1250).utf8, "Łódź ąę Śż");
}

TEST(VehicleEntry, WholeRecordIsPaddedDatedAndEnded) {
    VehicleRecord r;
    r.text.fill(0x55);  // whatever a read left behind the text
    r.word63 = 0xFFFF;
    ASSERT_EQ(ApplyEntry(r, Sample(), EntryScope::WholeRecord), std::nullopt);
    EXPECT_EQ(Bytes(r, 0, 12), "WX 1234A    ");
    EXPECT_EQ(Bytes(r, 12, 15), "Opel           ");
    EXPECT_EQ(Bytes(r, 27, 15), std::string(15, ' '));
    EXPECT_EQ(Bytes(r, 42, 30), "\xA3\xF3\x64\x9F Gaz" + std::string(22, ' '));
    EXPECT_EQ(Bytes(r, 72, 8), "20250314");
    EXPECT_EQ(r.text[80], 0);
    EXPECT_EQ(r.text[81], 0x55);
    EXPECT_EQ(r.word62, 0x1305);
    EXPECT_EQ(r.word63, 0x1900);
    EXPECT_FALSE(r.neverSaved());

    // Decoded back for the dialog: the padding stays, the letters come back.
    const VehicleEntry shown = EntryOf(r);
    EXPECT_EQ(shown.text(TextField::Installer), "Łódź Gaz" + std::string(22, ' '));
    EXPECT_EQ(shown.text(TextField::Day), "14");
    EXPECT_EQ(shown.list(ListField::Capacity), 25);
}

TEST(VehicleEntry, FieldWidthsCountRecordCharactersAndLongTextIsRefusedNotCut) {
    VehicleEntry e = Sample();
    e.text(TextField::Registration) = "ŁŁ 1234567A";  // 11 characters, 13 UTF-8 bytes
    e.text(TextField::Installer) = std::string(30, 'x');
    VehicleRecord r;
    ASSERT_EQ(ApplyEntry(r, e, EntryScope::WholeRecord), std::nullopt);
    EXPECT_EQ(Bytes(r, 0, 12), "\xA3\xA3 1234567A ");
    EXPECT_EQ(Bytes(r, 42, 30), std::string(30, 'x'));
    EXPECT_EQ(Bytes(r, 72, 4), "2025");

    const VehicleRecord before = r;
    e.text(TextField::Model) = "Astra Caravan 16";  // 16 > 15
    const auto problem = ApplyEntry(r, e, EntryScope::WholeRecord);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->fault, FieldFault::TooLong);
    EXPECT_EQ(problem->text, TextField::Model);
    EXPECT_EQ(FaultReasonEnglish(*problem), "text is too long (at most 15 characters)");
    EXPECT_EQ(r.text, before.text);
    EXPECT_EQ(r.word62, before.word62);
}

TEST(VehicleEntry, CharacterTheRecordCannotHoldIsNamed) {
    VehicleEntry e = Sample();
    e.text(TextField::Make) = "Лада";
    VehicleRecord r;
    const auto problem = ApplyEntry(r, e, EntryScope::WholeRecord);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->fault, FieldFault::Unencodable);
    EXPECT_EQ(problem->text, TextField::Make);
    EXPECT_EQ(problem->character, "Л");
    EXPECT_EQ(FaultReasonPolish(*problem), "znaku \"Л\" nie można zapisać w sterowniku");
}

TEST(VehicleEntry, DatesThatDoNotExistOrAreNotDigitsAreRefused) {
    const auto check = [](const char* y, const char* m, const char* d) { return CheckDate(y, m, d); };
    EXPECT_EQ(check("2024", "02", "29"), std::nullopt);
    EXPECT_EQ(check("2000", "02", "29"), std::nullopt);
    EXPECT_EQ(check("2025", "12", "31"), std::nullopt);
    const auto day = [&](const char* y, const char* m, const char* d) {
        const auto p = check(y, m, d);
        return p ? std::make_pair(p->fault, *p->text) : std::make_pair(FieldFault::NoSelection, TextField::Registration);
    };
    EXPECT_EQ(day("2025", "02", "30"), std::make_pair(FieldFault::NoSuchDate, TextField::Day));
    EXPECT_EQ(day("1900", "02", "29"), std::make_pair(FieldFault::NoSuchDate, TextField::Day));
    EXPECT_EQ(day("2025", "04", "31"), std::make_pair(FieldFault::NoSuchDate, TextField::Day));
    EXPECT_EQ(day("2025", "04", "00"), std::make_pair(FieldFault::NoSuchDate, TextField::Day));
    EXPECT_EQ(day("2025", "13", "01"), std::make_pair(FieldFault::NoSuchDate, TextField::Month));
    EXPECT_EQ(day("0000", "01", "01"), std::make_pair(FieldFault::NoSuchDate, TextField::Year));
    EXPECT_EQ(day("20a5", "01", "01"), std::make_pair(FieldFault::DateDigits, TextField::Year));
    EXPECT_EQ(day("2025", "1", "01"), std::make_pair(FieldFault::DateDigits, TextField::Month));
    EXPECT_EQ(day("2025", "01", ""), std::make_pair(FieldFault::DateDigits, TextField::Day));
    EXPECT_EQ(day("2025", "01", " 1"), std::make_pair(FieldFault::DateDigits, TextField::Day));

    // Through the entry: a short date part never shifts the later fields.
    VehicleEntry e = Sample();
    e.text(TextField::Month) = "3";
    VehicleRecord r;
    const auto problem = ApplyEntry(r, e, EntryScope::WholeRecord);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->text, TextField::Month);
    EXPECT_EQ(FaultReasonEnglish(*problem), "needs exactly 2 digits");
}

TEST(VehicleEntry, ListsMustBeChosenAndInstallationDataLeavesTheText) {
    VehicleEntry e = Sample();
    e.list(ListField::Capacity).reset();
    VehicleRecord r;
    r.word63 = 0xFFFF;
    const auto problem = ApplyEntry(r, e, EntryScope::InstallationData);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->fault, FieldFault::NoSelection);
    EXPECT_EQ(problem->list, ListField::Capacity);
    EXPECT_EQ(r.word63, 0xFFFF);

    // Installation data alone: the texts are not examined and the record's text stays as it was.
    e = Sample();
    e.text(TextField::Day) = "99";
    e.text(TextField::Make) = std::string(40, 'M');
    r.text.fill('q');
    ASSERT_EQ(ApplyEntry(r, e, EntryScope::InstallationData), std::nullopt);
    EXPECT_EQ(r.text[12], 'q');
    EXPECT_EQ(r.word62, 0x1305);
    EXPECT_EQ(r.word63, 0x1900);
}

TEST(VehicleEntry, LeavingAShortDateFieldFillsItWithAHint) {
    const auto year = DateFieldLeft(TextField::Year, "06");
    ASSERT_TRUE(year);
    EXPECT_EQ(year->replacement, "2005");
    EXPECT_EQ(year->hint, "Wpisz Rok (4 cyfry)");
    EXPECT_EQ(DateFieldLeft(TextField::Year, "2006"), std::nullopt);
    EXPECT_EQ(DateFieldLeft(TextField::Month, "1")->replacement, "01");
    EXPECT_EQ(DateFieldLeft(TextField::Month, "")->hint, "Wpisz Miesiąc (2 cyfry)");
    EXPECT_EQ(DateFieldLeft(TextField::Day, "7")->hint, "Wpisz dzień (2 cyfry)");
    EXPECT_EQ(DateFieldLeft(TextField::Day, "xx"), std::nullopt);  // not examined further here; the save checks
    EXPECT_EQ(DateFieldLeft(TextField::Make, ""), std::nullopt);
}

}  // namespace
