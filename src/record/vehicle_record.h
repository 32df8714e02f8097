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

}  // namespace sequaflow::record
