#pragma once

#include <array>
#include <optional>
#include <string>

#include "record/vehicle_record.h"

// The vehicle data as people type it (UTF-8), turned into record bytes by the one set of checks the dialog and
// the command line share. It sits above both the record and the code pages, which know nothing of each other.
namespace sequaflow::record {

struct VehicleEntry {
    std::array<std::string, kTextFieldCount> texts;  // UTF-8
    std::array<std::optional<int>, kListFieldCount> lists;

    std::string& text(TextField f) { return texts[static_cast<std::size_t>(f)]; }
    const std::string& text(TextField f) const { return texts[static_cast<std::size_t>(f)]; }
    std::optional<int>& list(ListField f) { return lists[static_cast<std::size_t>(f)]; }
    std::optional<int> list(ListField f) const { return lists[static_cast<std::size_t>(f)]; }
};

// What a save covers: the installation words alone (the texts stay as the controller holds them) or the
// whole record.
enum class EntryScope { InstallationData, WholeRecord };

// The entry a record shows: the texts decoded from the record's code page, the lists as decoded.
VehicleEntry EntryOf(const VehicleRecord& record);

// Checks every field in scope (length, code page, the date, a choice in every list) and only then writes
// them into the record with the saved marker 0. On a problem the record is left as it was.
[[nodiscard]] std::optional<FieldProblem> ApplyEntry(VehicleRecord& record, const VehicleEntry& entry,
                                                     EntryScope scope);

// Why the field was refused, without its name: Polish for the desktop program, English for the command line.
std::string FaultReasonPolish(const FieldProblem& problem);
std::string FaultReasonEnglish(const FieldProblem& problem);

}  // namespace sequaflow::record
