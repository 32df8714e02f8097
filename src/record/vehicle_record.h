#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The installation record the controller keeps in its vehicle-record store: the texts of the vehicle data
// dialog and the four installation facts chosen from its lists.
namespace sequaflow::record {

// Record words 0..60 as read, two bytes each, high byte first.
inline constexpr std::size_t kRecordBytes = 122;
// Words 0..59 carry the text; word 60 is read with it and never written.
inline constexpr int kTextWords = 60;

struct VehicleRecord {
    // Registration, make, model, installer text, year, month, day, then a zero byte; byte 120 is zeroed after
    // every read.
    std::array<std::uint8_t, kRecordBytes> text{};
    std::uint16_t word62 = 0;  // layout x 4096 + cylinder-count index x 256 + nozzle index
    std::uint16_t word63 = 0;  // capacity index x 256 + saved marker (0 saved, 255 never saved)

    bool neverSaved() const { return (word63 & 0xFF) == 0xFF; }
};

// The text fields, their widths in the record and in the dialog (characters = bytes of the record).
enum class TextField : std::uint8_t { Registration, Make, Model, Installer, Year, Month, Day };
inline constexpr int kTextFieldCount = 7;
struct TextFieldLayout {
    std::size_t offset;
    std::size_t width;
    bool padded;  // filled to its width with spaces when the record is built
};
inline constexpr std::array<TextFieldLayout, kTextFieldCount> kTextFields{{
    {0, 12, true}, {12, 15, true}, {27, 15, true}, {42, 30, true}, {72, 4, false}, {76, 2, false}, {78, 2, false}}};

// The four lists of the dialog, by their index ranges.
enum class ListField : std::uint8_t { Layout, Cylinders, Capacity, Nozzle };
inline constexpr int kListFieldCount = 4;
int ListEntryCount(ListField list);  // 4, 8, 134, 81
// The built-in text of an entry ("R - Rzędowy", "4", "1,60 L", "1,25mm"), UTF-8; nullopt outside the list.
std::optional<std::string> ListEntryText(ListField list, int index);
// The entry preselected in a new dialog: 0, 3 ("4"), 25 ("1,60 L"), 0.
int PresetEntry(ListField list);

// What the dialog shows. Texts are the record's bytes (Windows-1250), each field up to its first zero byte;
// an index outside its list (a blank controller) is nullopt and shown as "Brak Danej".
struct VehicleFields {
    std::array<std::string, kTextFieldCount> texts;
    std::array<std::optional<int>, kListFieldCount> lists;

    const std::string& text(TextField f) const { return texts[static_cast<std::size_t>(f)]; }
    std::string& text(TextField f) { return texts[static_cast<std::size_t>(f)]; }
    std::optional<int> list(ListField f) const { return lists[static_cast<std::size_t>(f)]; }
    std::optional<int>& list(ListField f) { return lists[static_cast<std::size_t>(f)]; }
};

// The dialog's fields for a record (the texts sliced out of the buffer, the lists decoded from words 62/63).
VehicleFields FieldsOf(const VehicleRecord& record);

// The record store's words as a read brought them; a word whose reply was rejected is empty.
inline constexpr int kRecordStoreWords = 64;
using RecordWords = std::array<std::optional<std::uint16_t>, kRecordStoreWords>;
// Takes the words that answered into the record (0..60 the text, 62 and 63); an empty word keeps the previous
// bytes. Byte 120 is zeroed afterwards.
void AdoptRecordWords(VehicleRecord& record, const RecordWords& words);

// Words 62 and 63 for the chosen entries, with the saved marker 0.
std::uint16_t PackWord62(int layout, int cylinders, int nozzle);
std::uint16_t PackWord63(int capacity);

// Why a field cannot go into the record. Checked before anything is built or sent, so a refused entry never
// reaches the controller half-made.
enum class FieldFault : std::uint8_t {
    TooLong,      // more characters than the field holds
    Unencodable,  // a character the record's code page has no byte for
    DateDigits,   // a date part that is not exactly its width in digits
    NoSuchDate,   // digits of a day that does not exist (2025-02-30)
    NoSelection,  // a list without a chosen entry
};
struct FieldProblem {
    FieldFault fault;
    std::optional<TextField> text;  // the field concerned, one of the two
    std::optional<ListField> list;
    std::string character;  // the offending character (UTF-8) for Unencodable
};

// The field as the record holds it: at most its width, the date parts exactly their width in digits and
// together a day of the calendar.
std::optional<FieldProblem> CheckTextBytes(TextField field, std::string_view bytes);
std::optional<FieldProblem> CheckDate(std::string_view year, std::string_view month, std::string_view day);

// The record buffer from the seven texts (record bytes), the texts padded with spaces to their widths, the
// date parts as they are, then the zero byte; the bytes after it are kept. The texts must have passed the
// checks above; the lists must all be chosen. Words 62/63 take the lists with the saved marker 0.
void BuildVehicleRecord(VehicleRecord& record, const std::array<std::string, kTextFieldCount>& bytes);
void SetInstallationData(VehicleRecord& record, const std::array<std::optional<int>, kListFieldCount>& lists);

// The rule when the focus leaves a date field: a part shorter than its width is replaced (year "2005",
// month and day "01") and the hint is shown. nullopt when the text stays.
struct DateLeaveFix {
    std::string replacement;
    std::string_view hint;
};
std::optional<DateLeaveFix> DateFieldLeft(TextField field, std::string_view text);

}  // namespace sequaflow::record
