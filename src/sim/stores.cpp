#include "sim/stores.h"

#include <string_view>

namespace sequaflow::sim {

namespace {

std::uint16_t Pack(std::uint8_t hi, std::uint8_t lo) { return static_cast<std::uint16_t>(hi << 8 | lo); }

// The demonstration vehicle: registration, make, model, installer, date, as the record lays them out.
constexpr std::string_view kDemoRecordText =
    "WX 4711 AB  "                      // 12
    "Skoda          "                   // 15
    "Octavia 1.6 MPI"                   // 15
    "sequaflow demo workshop       "    // 30
    "2024"
    "05"
    "14";
static_assert(kDemoRecordText.size() == 80);

constexpr std::uint16_t kDemoSerial = 4711;
// Layout "R", four cylinders (index 3), nozzle 1.00 mm (index 0); capacity 1.60 L (index 25), saved marker 0.
constexpr std::uint16_t kDemoWord62 = (0 << 12) | (3 << 8) | 0;
constexpr std::uint16_t kDemoWord63 = (25 << 8) | 0;

}  // namespace

PersistentStores FactoryStores() {
    PersistentStores s;
    s.params = params::kFactoryParameters;
    s.mapWords.fill(0);
    for (std::size_t i = 0; i < params::kPointCount; ++i) s.mapWords[i] = params::kDefaultPoints[i];
    for (std::size_t c = 0; c < params::kGridColumns; ++c)
        for (std::size_t r = 0; r < params::kGridRows; r += 2)
            s.mapWords[GridPairWord(r, c)] = Pack(params::kDefaultAdvancedMap[7 * r + c],
                                                  params::kDefaultAdvancedMap[7 * (r + 1) + c]);
    s.corrWords.fill(0);
    for (std::size_t i = 0; i < params::kStdMapSize; ++i) s.corrWords[i] = params::kDefaultStdMap[i];
    for (std::size_t i = 0; i < params::kTempPointCount; ++i)
        s.corrWords[kTempPointWord + i] = params::kDefaultTempPoints[i];
    for (std::size_t i = 0; i < params::kTempCorrCount; ++i)
        s.corrWords[kTempCorrWord + i] = params::kDefaultTempCorr[i];
    for (std::size_t i = 0; i < params::kLambdaCount; ++i) s.corrWords[kLambdaWord + i] = params::kDefaultLambda[i];

    // Text bytes 0..79, then the zero byte and zeros up to word 60.
    s.record.fill(0);
    for (std::size_t i = 0; i < kDemoRecordText.size(); i += 2)
        s.record[i / 2] = Pack(static_cast<std::uint8_t>(kDemoRecordText[i]),
                               static_cast<std::uint8_t>(kDemoRecordText[i + 1]));
    s.record[61] = kDemoSerial;
    s.record[62] = kDemoWord62;
    s.record[63] = kDemoWord63;
    return s;
}

PersistentStores BlankStores() {
    PersistentStores s;
    s.params.fill(0xFFFF);
    s.mapWords.fill(0xFFFF);
    s.corrWords.fill(0xFFFF);
    s.record.fill(0xFFFF);
    return s;
}

RunningValues PowerUp(const PersistentStores& s) {
    RunningValues v;
    v.params = s.params;
    for (std::size_t i = 0; i < params::kPointCount; ++i) v.points[i] = s.mapWords[i];
    for (std::size_t c = 0; c < params::kGridColumns; ++c)
        for (std::size_t r = 0; r < params::kGridRows; ++r) {
            const std::uint16_t pair = s.mapWords[GridPairWord(r, c)];
            v.grid[7 * r + c] = static_cast<std::uint8_t>(r % 2 == 0 ? pair >> 8 : pair & 0xFF);
        }
    for (std::size_t i = 0; i < params::kStdMapSize; ++i) v.stdMap[i] = static_cast<std::uint8_t>(s.corrWords[i]);
    for (std::size_t i = 0; i < params::kTempPointCount; ++i)
        v.tempPoints[i] = static_cast<std::uint8_t>(s.corrWords[kTempPointWord + i]);
    for (std::size_t i = 0; i < params::kTempCorrCount; ++i)
        v.tempCorr[i] = static_cast<std::uint8_t>(s.corrWords[kTempCorrWord + i]);
    for (std::size_t i = 0; i < params::kLambdaCount; ++i) v.lambda[i] = s.corrWords[kLambdaWord + i];
    return v;
}

}  // namespace sequaflow::sim
