#pragma once

// Short constructors that keep the caption rows one line each.

#include "i18n/caption_table.h"

namespace sequaflow::i18n::rows {

constexpr CaptionTarget menu(std::string_view control) {
    return {TargetKind::MenuCaption, kMainForm, control};
}
constexpr CaptionTarget caption(std::string_view control) {
    return {TargetKind::ControlCaption, kMainForm, control};
}
constexpr CaptionTarget caption(std::string_view form, std::string_view control) {
    return {TargetKind::ControlCaption, form, control};
}
constexpr CaptionTarget window(std::string_view form) {
    return {TargetKind::ControlCaption, form, form};
}
constexpr CaptionTarget colourButton(std::string_view control) {
    return {TargetKind::ColourButtonCaption, kMainForm, control};
}
constexpr CaptionTarget entry(std::string_view control, int index) {
    return {TargetKind::ListEntry, kMainForm, control, index};
}
constexpr CaptionTarget entry(std::string_view form, std::string_view control, int index) {
    return {TargetKind::ListEntry, form, control, index};
}
constexpr CaptionTarget signalName(std::string_view control) {
    return {TargetKind::WidgetText, kMainForm, control, -1, WidgetPart::SignalName};
}
constexpr CaptionTarget unitText(std::string_view control) {
    return {TargetKind::WidgetText, kMainForm, control, -1, WidgetPart::UnitText};
}
constexpr CaptionTarget message() { return {TargetKind::Message, {}, {}}; }
constexpr CaptionTarget fixedText(std::size_t length) {
    return {TargetKind::FixedText, {}, {}, -1, WidgetPart::None, length};
}

constexpr CaptionRow row(int id, CaptionTarget target, std::string_view polish) {
    return {id, {target, CaptionTarget{}}, 1, polish};
}
constexpr CaptionRow row(int id, CaptionTarget first, CaptionTarget second, std::string_view polish) {
    return {id, {first, second}, 2, polish};
}

}  // namespace sequaflow::i18n::rows
