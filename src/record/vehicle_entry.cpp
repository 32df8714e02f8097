#include "record/vehicle_entry.h"

#include "i18n/code_page.h"

namespace sequaflow::record {

namespace {
// The record holds the bytes of the program's own Polish texts.
constexpr auto kRecordCodePage = i18n::CodePage::Windows1250;
}  // namespace

VehicleEntry EntryOf(const VehicleRecord& record) {
    const VehicleFields fields = FieldsOf(record);
    VehicleEntry entry;
    for (std::size_t f = 0; f < entry.texts.size(); ++f)
        entry.texts[f] = i18n::decodeToUtf8(fields.texts[f], kRecordCodePage).utf8;
    entry.lists = fields.lists;
    return entry;
}

std::optional<FieldProblem> ApplyEntry(VehicleRecord& record, const VehicleEntry& entry, EntryScope scope) {
    for (int l = 0; l < kListFieldCount; ++l) {
        const auto list = static_cast<ListField>(l);
        const auto chosen = entry.list(list);
        if (!chosen || *chosen < 0 || *chosen >= ListEntryCount(list))
            return FieldProblem{FieldFault::NoSelection, std::nullopt, list, {}};
    }
    std::array<std::string, kTextFieldCount> bytes;
    if (scope == EntryScope::WholeRecord) {
        for (int f = 0; f < kTextFieldCount; ++f) {
            const auto field = static_cast<TextField>(f);
            i18n::EncodedText encoded = i18n::encodeFromUtf8(entry.text(field), kRecordCodePage);
            if (!encoded.ok())
                return FieldProblem{FieldFault::Unencodable, field, std::nullopt, std::move(*encoded.unencodable)};
            bytes[static_cast<std::size_t>(f)] = std::move(encoded.bytes);
            if (kTextFields[static_cast<std::size_t>(f)].padded)
                if (auto problem = CheckTextBytes(field, bytes[static_cast<std::size_t>(f)])) return problem;
        }
        if (auto problem = CheckDate(bytes[4], bytes[5], bytes[6])) return problem;
        BuildVehicleRecord(record, bytes);
    }
    SetInstallationData(record, entry.lists);
    return std::nullopt;
}

std::string FaultReasonPolish(const FieldProblem& problem) {
    switch (problem.fault) {
        case FieldFault::TooLong:
            return "tekst jest za długi (najwyżej " +
                   std::to_string(kTextFields[static_cast<std::size_t>(*problem.text)].width) + " znaków)";
        case FieldFault::Unencodable:
            return "znaku \"" + problem.character + "\" nie można zapisać w sterowniku";
        case FieldFault::DateDigits:
            return "wpisz " + std::to_string(kTextFields[static_cast<std::size_t>(*problem.text)].width) + " cyfry";
        case FieldFault::NoSuchDate: return "taka data nie istnieje";
        case FieldFault::NoSelection: return "wybierz pozycję z listy";
    }
    return {};
}

std::string FaultReasonEnglish(const FieldProblem& problem) {
    switch (problem.fault) {
        case FieldFault::TooLong:
            return "text is too long (at most " +
                   std::to_string(kTextFields[static_cast<std::size_t>(*problem.text)].width) + " characters)";
        case FieldFault::Unencodable:
            return "the character \"" + problem.character + "\" cannot be stored in the controller's record";
        case FieldFault::DateDigits:
            return "needs exactly " + std::to_string(kTextFields[static_cast<std::size_t>(*problem.text)].width) +
                   " digits";
        case FieldFault::NoSuchDate: return "no such date";
        case FieldFault::NoSelection: return "no value chosen (the controller holds none)";
    }
    return {};
}

}  // namespace sequaflow::record
