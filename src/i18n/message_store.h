#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "i18n/caption_table.h"

namespace sequaflow::i18n {

// The current text of every id of the caption table. Starts with the built-in Polish texts; a language
// file overlays it entry by entry and nothing restores the built-in texts. Every part of the program
// takes its messages from here, so a language change reaches message boxes, memos and the report.
class MessageStore {
public:
    MessageStore();

    // Current text of `id`; empty for an id the table does not know.
    [[nodiscard]] std::string_view text(int id) const;

    // Stores `text` (UTF-8) for `id`, cut to the row's field length where it has one. Returns the row,
    // or nullptr when the id is not in the table (nothing changes then).
    const CaptionRow* apply(int id, std::string_view text);

    // Back to the built-in texts (a new program start; a language change never does this).
    void reset();

private:
    std::vector<std::string> texts_;  // parallel to CaptionTable()
};

}  // namespace sequaflow::i18n
