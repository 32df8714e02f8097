#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/link.h"

// The command catalogue: one sender per command, named as the controller's protocol names it. Senders build
// the frame and send it; they return nothing. Reads are completed by the exchange helpers below.
namespace sequaflow::link {

namespace code {
inline constexpr std::uint8_t ReadLiveFrame = 'V', Identify = 'I', SwitchToPetrol = 'B', SwitchToAuto = 'A',
                              SwitchToGas = 'G', ClearErrors = 'X', SetInjectorTestMask = 'O', ParamSelect = 'K',
                              ParamStore = 'E', ParamSet = 'D', ParamRead = 'd', PointSet = ']', PointRead = '}',
                              GridCellSet = 'F', GridCellRead = 'L', MapWordSelect = '>', MapWordStore = '_',
                              StdMapSet = '!', StdMapRead = '2', TempPointSet = '%', TempPointRead = '.',
                              TempCorrSet = '^', TempCorrRead = '|', LambdaSet = 'Q', LambdaRead = 'q',
                              CorrWordSelect = '4', CorrWordStore = '7', RecordWordSelect = 'M',
                              RecordWordStore = 'U', RecordWordRead = 'P';
}  // namespace code

inline constexpr std::uint32_t kLiveFrameSize = 67;
inline constexpr std::uint32_t kIdentifySize = 5;
inline constexpr std::uint32_t kWordReplySize = 6;
inline constexpr std::uint32_t kShortWait = 5;  // five expected, ':' at offset 5 gathered by the extra poll

inline constexpr std::uint8_t kTempPointCount = 5;
inline constexpr std::uint8_t kTempCorrCount = 6;
inline constexpr std::uint8_t kTempPointStoreWord = 16;
inline constexpr std::uint8_t kTempCorrStoreWord = 21;
inline constexpr std::uint8_t kLambdaStoreWord = 27;
inline constexpr std::uint8_t kSerialNumberWord = 61;

void ReadLiveFrame(Link& link);
void Identify(Link& link);
void SwitchToPetrol(Link& link);
void SwitchToAuto(Link& link);
void SwitchToGas(Link& link);
void ClearErrors(Link& link);
void SetInjectorTestMask(Link& link, std::uint16_t mask);
void ParamSelect(Link& link, std::uint8_t index);
void ParamStore(Link& link, std::uint8_t index, std::uint16_t value);
void ParamSet(Link& link, std::uint8_t index, std::uint16_t value);
void ParamRead(Link& link, std::uint8_t index);
void PointSet(Link& link, std::uint8_t point, std::uint16_t value);
void PointRead(Link& link, std::uint8_t point);
void GridCellSet(Link& link, std::uint8_t row, std::uint8_t column, std::uint8_t cell);
void GridCellRead(Link& link, std::uint8_t row, std::uint8_t column);
void MapWordSelect(Link& link, std::uint8_t word);
void MapWordStore(Link& link, std::uint8_t word, std::uint16_t value);
void StdMapSet(Link& link, std::uint8_t index, std::uint8_t value);
void StdMapRead(Link& link, std::uint8_t index);
void TempPointSet(Link& link, std::uint8_t index, std::uint8_t value);  // nothing sent for index >= 5
void TempPointRead(Link& link, std::uint8_t index);
void TempCorrSet(Link& link, std::uint8_t index, std::uint8_t value);  // nothing sent for index >= 6
void TempCorrRead(Link& link, std::uint8_t index);
// Three frames: the set, then the lasting select/store pair of correction-store word index + 27.
void LambdaSet(Link& link, std::uint8_t index, std::uint16_t value);
void LambdaRead(Link& link, std::uint8_t index);
void CorrWordSelect(Link& link, std::uint8_t word);
void CorrWordStore(Link& link, std::uint8_t word, std::uint16_t value);
void RecordWordSelect(Link& link, std::uint8_t word);
void RecordWordStore(Link& link, std::uint8_t word, std::uint16_t value);
void RecordWordRead(Link& link, std::uint8_t word);

// ---- Exchanges: a read sent, waited for and judged by the full set of checks of its reply shape. ----

struct Identification {
    std::uint8_t hardware = 0;
    std::uint8_t software = 0;
};

// `Identify`, wait 5, valid with 'I' at 0 and ':' at 4.
std::optional<Identification> ReadIdentification(Link& link);
// `ParamRead`, wait 6, word reply 'd' with the index echo. No retry.
std::optional<std::uint16_t> ReadParamWord(Link& link, std::uint8_t index);
// `RecordWordRead`, wait 6, word reply 'e' with the index echo.
std::optional<std::uint16_t> ReadRecordWord(Link& link, std::uint8_t word);

// A short read (wait 5, word reply 'd'), sent again once when the first reply is not valid.
enum class ShortRead { PointRead, GridCellRead, StdMapRead, TempPointRead, TempCorrRead, LambdaRead };
// The value of one short read, or nullopt; `retry` sends it once more after an invalid reply.
// Points and lambda words take offsets 2 and 3; the byte stores take offset 3 alone.
std::optional<std::uint16_t> ReadShort(Link& link, ShortRead what, std::uint8_t a, std::uint8_t b = 0,
                                       bool retry = true);

// ---- Write sequences with their fixed pauses. ----

struct ParamWritePauses {
    int before = 0;   // optional leading pause (0 = none)
    int select = 30;  // after ParamSelect
    int store = 20;   // after ParamStore
    int after = 20;   // after ParamSet (0 = none)
};
void WriteParamSequence(Link& link, std::uint8_t index, std::uint16_t value, ParamWritePauses pauses = {});
void WritePointSequence(Link& link, std::uint8_t point, std::uint16_t value);
// A grid cell with its lasting store word and the pair value that packs two cells.
void WriteGridCellSequence(Link& link, std::uint8_t row, std::uint8_t column, std::uint8_t cell,
                           std::uint8_t storeWord, std::uint16_t pairValue);
void WriteStdMapSequence(Link& link, std::uint8_t index, std::uint8_t value);
void WriteTempPointSequence(Link& link, std::uint8_t index, std::uint8_t value);
void WriteTempCorrSequence(Link& link, std::uint8_t index, std::uint8_t value);

// ---- Composite record operations. ----

void WriteSerialNumber(Link& link, std::uint16_t value);
// Updates serial only on a valid reply with the right echo; returns whether it did.
bool ReadSerialNumber(Link& link, std::uint16_t& serial);
void WriteRecordWords62And63(Link& link, std::uint16_t word62, std::uint16_t word63);
// Each word is updated only when its own reply is valid.
void ReadRecordWords62And63(Link& link, std::uint16_t& word62, std::uint16_t& word63);
// Words 0..59 from the 120 record bytes, byte 2i high and 2i+1 low.
void WriteRecordText(Link& link, const std::array<std::uint8_t, 120>& bytes);

}  // namespace sequaflow::link
