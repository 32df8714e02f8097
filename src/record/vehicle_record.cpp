#include "record/vehicle_record.h"

#include <algorithm>
#include <cstdio>

namespace sequaflow::record {

namespace {

constexpr std::array<int, kListFieldCount> kEntryCounts{4, 8, 134, 81};
constexpr std::array<int, kListFieldCount> kPresets{0, 3, 25, 0};

std::size_t Slot(ListField list) { return static_cast<std::size_t>(list); }

// Hundredths as "x,yy" (the lists step by 0,05 from a whole hundredth value).
std::string Hundredths(int hundredths) {
    char out[16];
    std::snprintf(out, sizeof out, "%d,%02d", hundredths / 100, hundredths % 100);
    return out;
}

}  // namespace

int ListEntryCount(ListField list) { return kEntryCounts[Slot(list)]; }

int PresetEntry(ListField list) { return kPresets[Slot(list)]; }

std::optional<std::string> ListEntryText(ListField list, int index) {
    if (index < 0 || index >= ListEntryCount(list)) return std::nullopt;
    switch (list) {
        case ListField::Layout: {
            static constexpr std::array<std::string_view, 4> kLayouts{"R - Rzędowy", "V - Widlasty", "B - Boxer",
                                                                      "W"};
            return std::string(kLayouts[static_cast<std::size_t>(index)]);
        }
        case ListField::Cylinders:
            return std::to_string(index + 1);
        case ListField::Capacity:
            return Hundredths(35 + 5 * index) + " L";
        case ListField::Nozzle:
            return Hundredths(100 + 5 * index) + "mm";
    }
    return std::nullopt;
}

VehicleFields FieldsOf(const VehicleRecord& record) {
    VehicleFields fields;
    for (int f = 0; f < kTextFieldCount; ++f) {
        const TextFieldLayout& layout = kTextFields[static_cast<std::size_t>(f)];
        std::string& text = fields.texts[static_cast<std::size_t>(f)];
        for (std::size_t i = layout.offset; i < layout.offset + layout.width; ++i) {
            if (record.text[i] == 0) break;
            text.push_back(static_cast<char>(record.text[i]));
        }
    }
    const int values[kListFieldCount] = {record.word62 >> 12, (record.word62 >> 8) & 0x0F, record.word63 >> 8,
                                         record.word62 & 0xFF};
    for (int l = 0; l < kListFieldCount; ++l) {
        const auto list = static_cast<ListField>(l);
        if (values[l] < ListEntryCount(list)) fields.list(list) = values[l];
    }
    return fields;
}

}  // namespace sequaflow::record

namespace sequaflow::record {

void AdoptRecordWords(VehicleRecord& record, const RecordWords& words) {
    for (std::size_t w = 0; w <= 60; ++w) {
        if (!words[w]) continue;
        record.text[2 * w] = static_cast<std::uint8_t>(*words[w] >> 8);
        record.text[2 * w + 1] = static_cast<std::uint8_t>(*words[w] & 0xFF);
    }
    record.text[120] = 0;
    if (words[62]) record.word62 = *words[62];
    if (words[63]) record.word63 = *words[63];
}

std::uint16_t PackWord62(int layout, int cylinders, int nozzle) {
    return static_cast<std::uint16_t>((layout & 0x0F) << 12 | (cylinders & 0x0F) << 8 | (nozzle & 0xFF));
}

std::uint16_t PackWord63(int capacity) { return static_cast<std::uint16_t>((capacity & 0xFF) << 8); }

namespace {

bool AllDigits(std::string_view s) {
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int Number(std::string_view s) {
    int n = 0;
    for (const char c : s) n = n * 10 + (c - '0');
    return n;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

const TextFieldLayout& LayoutOf(TextField f) { return kTextFields[static_cast<std::size_t>(f)]; }

}  // namespace

std::optional<FieldProblem> CheckTextBytes(TextField field, std::string_view bytes) {
    const TextFieldLayout& layout = LayoutOf(field);
    if (bytes.size() > layout.width) return FieldProblem{FieldFault::TooLong, field, std::nullopt, {}};
    if (!layout.padded && (bytes.size() != layout.width || !AllDigits(bytes)))
        return FieldProblem{FieldFault::DateDigits, field, std::nullopt, {}};
    return std::nullopt;
}

std::optional<FieldProblem> CheckDate(std::string_view year, std::string_view month, std::string_view day) {
    const std::array<std::pair<TextField, std::string_view>, 3> parts{
        {{TextField::Year, year}, {TextField::Month, month}, {TextField::Day, day}}};
    for (const auto& [field, text] : parts)
        if (auto problem = CheckTextBytes(field, text)) return problem;
    const int y = Number(year), m = Number(month), d = Number(day);
    if (y == 0) return FieldProblem{FieldFault::NoSuchDate, TextField::Year, std::nullopt, {}};
    if (m < 1 || m > 12) return FieldProblem{FieldFault::NoSuchDate, TextField::Month, std::nullopt, {}};
    if (d < 1 || d > DaysInMonth(y, m)) return FieldProblem{FieldFault::NoSuchDate, TextField::Day, std::nullopt, {}};
    return std::nullopt;
}

void BuildVehicleRecord(VehicleRecord& record, const std::array<std::string, kTextFieldCount>& bytes) {
    std::size_t at = 0;
    for (int f = 0; f < kTextFieldCount; ++f) {
        const TextFieldLayout& layout = kTextFields[static_cast<std::size_t>(f)];
        const std::string& text = bytes[static_cast<std::size_t>(f)];
        const std::size_t take = std::min(text.size(), layout.width);
        for (std::size_t i = 0; i < take; ++i) record.text[at++] = static_cast<std::uint8_t>(text[i]);
        if (layout.padded)
            for (std::size_t i = take; i < layout.width; ++i) record.text[at++] = ' ';
    }
    record.text[at] = 0;
}

void SetInstallationData(VehicleRecord& record, const std::array<std::optional<int>, kListFieldCount>& lists) {
    const auto index = [&](ListField l) { return lists[static_cast<std::size_t>(l)].value_or(PresetEntry(l)); };
    record.word62 = PackWord62(index(ListField::Layout), index(ListField::Cylinders), index(ListField::Nozzle));
    record.word63 = PackWord63(index(ListField::Capacity));
}

std::optional<DateLeaveFix> DateFieldLeft(TextField field, std::string_view text) {
    const TextFieldLayout& layout = LayoutOf(field);
    if (layout.padded || text.size() >= layout.width) return std::nullopt;
    switch (field) {
        case TextField::Year: return DateLeaveFix{"2005", "Wpisz Rok (4 cyfry)"};
        case TextField::Month: return DateLeaveFix{"01", "Wpisz Miesiąc (2 cyfry)"};
        case TextField::Day: return DateLeaveFix{"01", "Wpisz dzień (2 cyfry)"};
        default: return std::nullopt;
    }
}

}  // namespace sequaflow::record
