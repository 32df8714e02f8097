#include "i18n/message_store.h"

#include "i18n/utf8.h"

namespace sequaflow::i18n {

MessageStore::MessageStore() { reset(); }

void MessageStore::reset() {
    texts_.clear();
    texts_.reserve(kCaptionCount);
    for (const auto& row : CaptionTable()) texts_.emplace_back(row.polish);
}

std::string_view MessageStore::text(int id) const {
    const std::size_t i = CaptionIndex(id);
    return i < texts_.size() ? std::string_view(texts_[i]) : std::string_view();
}

const CaptionRow* MessageStore::apply(int id, std::string_view text) {
    const std::size_t i = CaptionIndex(id);
    if (i >= texts_.size()) return nullptr;
    const CaptionRow& row = CaptionTable()[i];
    const std::size_t limit = row.fieldLength();
    texts_[i] = limit > 0 ? utf8::truncate(text, limit) : text;
    return &row;
}

}  // namespace sequaflow::i18n
