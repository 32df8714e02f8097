#include "i18n/caption_table.h"

#include <algorithm>

#include "i18n/caption_rows_interface.h"
#include "i18n/caption_rows_texts.h"

namespace sequaflow::i18n {
namespace {

constexpr auto JoinRows() {
    std::array<CaptionRow, std::size(rows::kInterfaceRows) + std::size(rows::kTextRows)> all{};
    std::size_t n = 0;
    for (const auto& r : rows::kInterfaceRows) all[n++] = r;
    for (const auto& r : rows::kTextRows) all[n++] = r;
    return all;
}

constexpr auto kTable = JoinRows();

constexpr bool StrictlyAscending() {
    for (std::size_t i = 1; i < kTable.size(); ++i)
        if (kTable[i - 1].id >= kTable[i].id) return false;
    return true;
}

constexpr bool IdsInRange() {
    return std::all_of(kTable.begin(), kTable.end(),
                       [](const CaptionRow& r) {
                           const bool interface = r.id >= 10000 && r.id <= 15001;
                           const bool own = r.id >= 16000 && r.id <= 16999 && r.targetSlots[0].isStoredText();
                           return (interface || own) && r.targetCount >= 1;
                       });
}

static_assert(kTable.size() == kCaptionCount, "the caption table holds 578 ids");
static_assert(StrictlyAscending(), "caption ids must be unique and ascending");
static_assert(IdsInRange(), "caption ids are 10000..15001 with a target, or the program's own messages 16000..16999");

}  // namespace

std::span<const CaptionRow> CaptionTable() { return kTable; }

std::size_t CaptionIndex(int id) {
    const auto it = std::lower_bound(kTable.begin(), kTable.end(), id,
                                     [](const CaptionRow& r, int value) { return r.id < value; });
    if (it == kTable.end() || it->id != id) return kCaptionCount;
    return static_cast<std::size_t>(it - kTable.begin());
}

const CaptionRow* FindCaption(int id) {
    const std::size_t i = CaptionIndex(id);
    return i < kCaptionCount ? &kTable[i] : nullptr;
}

}  // namespace sequaflow::i18n
