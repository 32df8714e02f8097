#include "link/commands.h"

#include <array>

namespace sequaflow::link {
namespace {
std::uint8_t Hi(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
std::uint8_t Lo(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
}  // namespace

void ReadLiveFrame(Link& link) { link.sendFrame(code::ReadLiveFrame); }
void Identify(Link& link) { link.sendFrame(code::Identify); }
void SwitchToPetrol(Link& link) { link.sendFrame(code::SwitchToPetrol); }
void SwitchToAuto(Link& link) { link.sendFrame(code::SwitchToAuto); }
void SwitchToGas(Link& link) { link.sendFrame(code::SwitchToGas); }
void ClearErrors(Link& link) { link.sendFrame(code::ClearErrors); }
void SetInjectorTestMask(Link& link, std::uint16_t mask) {
    link.sendFrame(code::SetInjectorTestMask, 0, Hi(mask), Lo(mask));
}
void ParamSelect(Link& link, std::uint8_t index) { link.sendFrame(code::ParamSelect, index); }
void ParamStore(Link& link, std::uint8_t index, std::uint16_t value) {
    link.sendFrame(code::ParamStore, index, Hi(value), Lo(value));
}
void ParamSet(Link& link, std::uint8_t index, std::uint16_t value) {
    link.sendFrame(code::ParamSet, index, Hi(value), Lo(value));
}
void ParamRead(Link& link, std::uint8_t index) { link.sendFrame(code::ParamRead, index); }
void PointSet(Link& link, std::uint8_t point, std::uint16_t value) {
    link.sendFrame(code::PointSet, point, Hi(value), Lo(value));
}
void PointRead(Link& link, std::uint8_t point) { link.sendFrame(code::PointRead, point); }
void GridCellSet(Link& link, std::uint8_t row, std::uint8_t column, std::uint8_t cell) {
    link.sendFrame(code::GridCellSet, row, column, cell);
}
void GridCellRead(Link& link, std::uint8_t row, std::uint8_t column) {
    link.sendFrame(code::GridCellRead, row, column);
}
void MapWordSelect(Link& link, std::uint8_t word) { link.sendFrame(code::MapWordSelect, word); }
void MapWordStore(Link& link, std::uint8_t word, std::uint16_t value) {
    link.sendFrame(code::MapWordStore, word, Hi(value), Lo(value));
}
void StdMapSet(Link& link, std::uint8_t index, std::uint8_t value) {
    link.sendFrame(code::StdMapSet, index, index, value);
}
void StdMapRead(Link& link, std::uint8_t index) { link.sendFrame(code::StdMapRead, index, index); }
void TempPointSet(Link& link, std::uint8_t index, std::uint8_t value) {
    if (index >= kTempPointCount) return;
    link.sendFrame(code::TempPointSet, index, index, value);
}
void TempPointRead(Link& link, std::uint8_t index) { link.sendFrame(code::TempPointRead, index, index); }
void TempCorrSet(Link& link, std::uint8_t index, std::uint8_t value) {
    if (index >= kTempCorrCount) return;
    link.sendFrame(code::TempCorrSet, index, index, value);
}
void TempCorrRead(Link& link, std::uint8_t index) { link.sendFrame(code::TempCorrRead, index, index); }
void LambdaSet(Link& link, std::uint8_t index, std::uint16_t value) {
    link.sendFrame(code::LambdaSet, index, Hi(value), Lo(value));
    link.pause(10);
    const auto word = static_cast<std::uint8_t>(index + kLambdaStoreWord);
    CorrWordSelect(link, word);
    link.pause(30);
    CorrWordStore(link, word, value);
    link.pause(10);
}
void LambdaRead(Link& link, std::uint8_t index) { link.sendFrame(code::LambdaRead, index); }
void CorrWordSelect(Link& link, std::uint8_t word) { link.sendFrame(code::CorrWordSelect, word); }
void CorrWordStore(Link& link, std::uint8_t word, std::uint16_t value) {
    link.sendFrame(code::CorrWordStore, word, Hi(value), Lo(value));
}
void RecordWordSelect(Link& link, std::uint8_t word) { link.sendFrame(code::RecordWordSelect, word); }
void RecordWordStore(Link& link, std::uint8_t word, std::uint16_t value) {
    link.sendFrame(code::RecordWordStore, word, Hi(value), Lo(value));
}
void RecordWordRead(Link& link, std::uint8_t word) { link.sendFrame(code::RecordWordRead, word); }

namespace {

// A reply with its letter and ':' whose sum byte (or a store read's index echo) does not check is taken only
// when asking once more brings the very same bytes. A bit flipped on the line or a late answer to another read
// is then not taken for the value, while a controller that fills those bytes some other way still reads, at
// one exchange more.
template <typename Ask>
bool TakeReply(Link& link, const Ask& ask, std::uint32_t wait, std::size_t last, char letter,
               std::optional<std::uint8_t> echo, std::optional<std::uint8_t> expectedEcho) {
    const auto checks = [&] { return link.replySumValid(last) && (!expectedEcho || link.reply(1) == *expectedEcho); };
    ask();
    link.receiveWait(wait);
    if (!link.replyValid(letter, last, echo)) return false;
    if (checks()) return true;
    std::array<std::uint8_t, 8> first{};
    for (std::size_t i = 0; i <= last && i < first.size(); ++i) first[i] = link.reply(i);
    ask();
    link.receiveWait(wait);
    if (!link.replyValid(letter, last, echo)) return false;
    if (checks()) return true;
    for (std::size_t i = 0; i <= last && i < first.size(); ++i)
        if (link.reply(i) != first[i]) return false;
    return true;
}

}  // namespace

std::optional<Identification> ReadIdentification(Link& link) {
    if (!TakeReply(link, [&] { Identify(link); }, kIdentifySize, 4, 'I', std::nullopt, std::nullopt)) return std::nullopt;
    return Identification{link.reply(1), link.reply(2)};
}

std::optional<std::uint16_t> ReadParamWord(Link& link, std::uint8_t index) {
    if (!TakeReply(link, [&] { ParamRead(link, index); }, kWordReplySize, 5, 'd', index, std::nullopt)) return std::nullopt;
    return link.replyWord(2);
}

std::optional<std::uint16_t> ReadRecordWord(Link& link, std::uint8_t word) {
    if (!TakeReply(link, [&] { RecordWordRead(link, word); }, kWordReplySize, 5, 'e', word, std::nullopt))
        return std::nullopt;
    return link.replyWord(2);
}

std::optional<std::uint16_t> ReadShort(Link& link, ShortRead what, std::uint8_t a, std::uint8_t b, bool retry) {
    const bool wholeWord = what == ShortRead::PointRead || what == ShortRead::LambdaRead;
    const auto ask = [&] {
        switch (what) {
            case ShortRead::PointRead: PointRead(link, a); break;
            case ShortRead::GridCellRead: GridCellRead(link, a, b); break;
            case ShortRead::StdMapRead: StdMapRead(link, a); break;
            case ShortRead::TempPointRead: TempPointRead(link, a); break;
            case ShortRead::TempCorrRead: TempCorrRead(link, a); break;
            case ShortRead::LambdaRead: LambdaRead(link, a); break;
        }
    };
    for (int attempt = 0; attempt < (retry ? 2 : 1); ++attempt) {
        // The store reads expect the echo of their first argument; see TakeReply for a controller that differs.
        if (TakeReply(link, ask, kShortWait, 5, 'd', std::nullopt, a))
            return wholeWord ? link.replyWord(2) : static_cast<std::uint16_t>(link.reply(3));
    }
    return std::nullopt;
}

void WriteParamSequence(Link& link, std::uint8_t index, std::uint16_t value, ParamWritePauses pauses) {
    if (pauses.before > 0) link.pause(pauses.before);
    ParamSelect(link, index);
    link.pause(pauses.select);
    ParamStore(link, index, value);
    link.pause(pauses.store);
    ParamSet(link, index, value);
    if (pauses.after > 0) link.pause(pauses.after);
}

void WritePointSequence(Link& link, std::uint8_t point, std::uint16_t value) {
    PointSet(link, point, value);
    link.pause(10);
    MapWordSelect(link, point);
    link.pause(20);
    MapWordStore(link, point, value);
    link.pause(30);
}

void WriteGridCellSequence(Link& link, std::uint8_t row, std::uint8_t column, std::uint8_t cell,
                           std::uint8_t storeWord, std::uint16_t pairValue) {
    GridCellSet(link, row, column, cell);
    link.pause(10);
    MapWordSelect(link, storeWord);
    link.pause(20);
    MapWordStore(link, storeWord, pairValue);
    link.pause(20);
}

namespace {
void WriteCorrectionStore(Link& link, void (*set)(Link&, std::uint8_t, std::uint8_t), std::uint8_t index,
                          std::uint8_t storeWord, std::uint8_t value) {
    set(link, index, value);
    link.pause(10);
    CorrWordSelect(link, storeWord);
    link.pause(30);
    CorrWordStore(link, storeWord, value);
    link.pause(10);
}
}  // namespace

void WriteStdMapSequence(Link& link, std::uint8_t index, std::uint8_t value) {
    WriteCorrectionStore(link, StdMapSet, index, index, value);
}
void WriteTempPointSequence(Link& link, std::uint8_t index, std::uint8_t value) {
    WriteCorrectionStore(link, TempPointSet, index, static_cast<std::uint8_t>(kTempPointStoreWord + index), value);
}
void WriteTempCorrSequence(Link& link, std::uint8_t index, std::uint8_t value) {
    WriteCorrectionStore(link, TempCorrSet, index, static_cast<std::uint8_t>(kTempCorrStoreWord + index), value);
}

namespace {
void WriteRecordWord(Link& link, std::uint8_t word, std::uint16_t value) {
    RecordWordSelect(link, word);
    link.pause(30);
    RecordWordStore(link, word, value);
    link.pause(10);
}
}  // namespace

void WriteSerialNumber(Link& link, std::uint16_t value) {
    link.pause(10);
    WriteRecordWord(link, kSerialNumberWord, value);
}

bool ReadSerialNumber(Link& link, std::uint16_t& serial) {
    const auto v = ReadRecordWord(link, kSerialNumberWord);
    if (v) serial = *v;
    return v.has_value();
}

void WriteRecordWords62And63(Link& link, std::uint16_t word62, std::uint16_t word63) {
    link.pause(10);
    WriteRecordWord(link, 62, word62);
    WriteRecordWord(link, 63, word63);
}

void ReadRecordWords62And63(Link& link, std::uint16_t& word62, std::uint16_t& word63) {
    if (const auto v = ReadRecordWord(link, 62)) word62 = *v;
    if (const auto v = ReadRecordWord(link, 63)) word63 = *v;
}

void WriteRecordText(Link& link, const std::array<std::uint8_t, 120>& bytes) {
    for (std::uint8_t i = 0; i < 60; ++i) {
        link.pause(30);
        RecordWordSelect(link, i);
        link.pause(30);
        RecordWordStore(link, i, static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]));
    }
}

}  // namespace sequaflow::link
