#include "record/vehicle_record.h"

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
