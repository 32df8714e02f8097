#include "record/vehicle_transfer.h"

#include <algorithm>

#include "link/commands.h"

namespace sequaflow::record {

void WriteInstallationData(link::Link& link, const VehicleRecord& record) {
    link::WriteRecordWords62And63(link, record.word62, static_cast<std::uint16_t>(record.word63 & 0xFF00));
}

void SaveVehicleRecord(link::Link& link, const VehicleRecord& record) {
    WriteInstallationData(link, record);
    std::array<std::uint8_t, 120> bytes{};
    std::copy_n(record.text.begin(), bytes.size(), bytes.begin());
    link::WriteRecordText(link, bytes);
}

bool ReadVehicleRecord(link::Link& link, link::SequenceRun& run, VehicleRecord& record, RecordWords& words) {
    bool whole = true;
    for (int w = 0; w < kRecordStoreWords && whole; ++w) {
        if (w == link::kSerialNumberWord) continue;
        whole = run.step("record", w, kRecordStoreWords - 1);
        if (whole) words[static_cast<std::size_t>(w)] = link::ReadRecordWord(link, static_cast<std::uint8_t>(w));
    }
    AdoptRecordWords(record, words);
    return whole;
}

SequenceResult ReadVehicleRecord(link::Link& link, VehicleRecord& record, const SequenceControl& control) {
    link::SequenceRun run(link, control);
    RecordWords words{};
    if (ReadVehicleRecord(link, run, record, words)) run.finish();
    return run.result();
}

}  // namespace sequaflow::record
