#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace sequaflow::i18n {

// What an entry of a language file changes.
enum class TargetKind : std::uint8_t {
    MenuCaption,          // caption of a menu item
    ControlCaption,       // caption/text of a label, button, group, check box, page, text field, lamp or dialog window
    ColourButtonCaption,  // caption drawn by a colour button
    ListEntry,            // entry `entry` of a drop-down list, replaced in place
    WidgetText,           // signal name or unit text drawn by an instrument widget
    Message,              // a text the program shows in boxes, memos, the report and hints
    FixedText,            // a text kept in a character field of `fieldLength` characters
};

enum class WidgetPart : std::uint8_t { None, SignalName, UnitText };

inline constexpr std::string_view kMainForm = "TForm1";

// One interface element or stored text. `form` and `control` are objectNames; a dialog's own window caption
// has control == form. Messages and fixed texts have neither.
struct CaptionTarget {
    TargetKind kind = TargetKind::Message;
    std::string_view form;
    std::string_view control;
    int entry = -1;
    WidgetPart part = WidgetPart::None;
    std::size_t fieldLength = 0;

    [[nodiscard]] constexpr bool isWindowCaption() const {
        return kind == TargetKind::ControlCaption && !form.empty() && form == control;
    }
    [[nodiscard]] constexpr bool isStoredText() const {
        return kind == TargetKind::Message || kind == TargetKind::FixedText;
    }
};

// One text identifier: up to two targets that receive the same text, and its built-in Polish text.
struct CaptionRow {
    int id = 0;
    std::array<CaptionTarget, 2> targetSlots{};
    std::size_t targetCount = 0;
    std::string_view polish;

    [[nodiscard]] constexpr std::span<const CaptionTarget> targets() const {
        return std::span<const CaptionTarget>(targetSlots.data(), targetCount);
    }
    // Longest text the row keeps (in characters), 0 when unlimited.
    [[nodiscard]] constexpr std::size_t fieldLength() const {
        for (const auto& t : targets())
            if (t.kind == TargetKind::FixedText) return t.fieldLength;
        return 0;
    }
};

// The 508 texts of the interface and its messages, and 70 of the program's own (16000..16999).
inline constexpr std::size_t kCaptionCount = 578;

// All rows, ascending by id.
[[nodiscard]] std::span<const CaptionRow> CaptionTable();

// The row of `id`, or nullptr for an id the table does not know.
[[nodiscard]] const CaptionRow* FindCaption(int id);

// Position of `id` in CaptionTable(), or kCaptionCount when unknown.
[[nodiscard]] std::size_t CaptionIndex(int id);

}  // namespace sequaflow::i18n
