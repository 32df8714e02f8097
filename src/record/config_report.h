#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The configuration report: the controller's identity, the vehicle data and the settings, each as the label
// a screen shows followed by the value it shows. Built from what the controls show, never from the
// controller, so it follows the language and the editors as they stand.
namespace sequaflow::record {

enum class ReportColour : std::uint8_t { None, Red, Blue, Green, Purple };

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
// Black for None (the console's default colour).
constexpr Rgb RgbOf(ReportColour c) {
    switch (c) {
        case ReportColour::Red: return {255, 0, 0};
        case ReportColour::Blue: return {0, 0, 255};
        case ReportColour::Green: return {0, 128, 0};
        case ReportColour::Purple: return {128, 0, 128};
        case ReportColour::None: break;
    }
    return {0, 0, 0};
}

inline constexpr std::string_view kReportMainForm = "TForm1";

// The report's own texts, by their ids in the language files.
namespace report_msg {
inline constexpr int Hardware = 12100;        // "Konfiguracja sprzętowa:"
inline constexpr int ProgramVersion = 12101;  // "Wersja programu PC:"
inline constexpr int Vehicle = 12102;         // "Dane samochodu:"
inline constexpr int Description = 12103;     // "Opis Dodatkowy:"
}  // namespace report_msg

// Where one piece of a line comes from.
enum class PartKind : std::uint8_t {
    Empty,
    Message,      // a stored text by id
    ControlText,  // what a control shows: caption, field text, selected list entry, menu caption
    ListIndex,    // the index of a list's selected entry, in decimal
    Literal,
    Date,
    Time,
    Version,
};

struct ReportPart {
    PartKind kind = PartKind::Empty;
    std::string_view form;
    std::string_view control;  // for Literal: the text
    int message = 0;
};

inline constexpr std::size_t kMaxLineValues = 5;

struct ReportLineSpec {
    int number = 0;
    ReportColour colour = ReportColour::None;  // None: printed only
    ReportPart consoleLabel;
    ReportPart printLabel;
    std::string_view consoleSeparator;
    std::string_view printSeparator;
    std::array<ReportPart, kMaxLineValues> values{};
    std::size_t valueCount = 0;
    std::string_view suffix;      // a unit, written after one space
    std::string_view shownWhile;  // a main-window control that must be visible for the line to appear

    [[nodiscard]] constexpr bool inConsole() const { return colour != ReportColour::None; }
    [[nodiscard]] constexpr std::span<const ReportPart> valueParts() const {
        return std::span<const ReportPart>(values.data(), valueCount);
    }
};

inline constexpr std::size_t kReportLineCount = 50;
// The fifty lines in their order.
[[nodiscard]] std::span<const ReportLineSpec> ReportLines();

// What the report reads. Forms and controls are objectNames ("TForm1" is the main window); a control that
// does not exist gives an empty text, no index and is not visible.
class ReportSource {
public:
    virtual ~ReportSource() = default;
    [[nodiscard]] virtual std::string controlText(std::string_view form, std::string_view control) const = 0;
    [[nodiscard]] virtual std::optional<int> selectedIndex(std::string_view form, std::string_view control) const = 0;
    [[nodiscard]] virtual bool isVisible(std::string_view form, std::string_view control) const = 0;
    [[nodiscard]] virtual std::string messageText(int id) const = 0;
    // The current date in the short format and the time in the long format of the system.
    [[nodiscard]] virtual std::string dateText() const = 0;
    [[nodiscard]] virtual std::string timeText() const = 0;
    // The window caption's version text.
    [[nodiscard]] virtual std::string versionText() const;
};

struct ConsoleLine {
    std::string text;
    ReportColour colour = ReportColour::None;
};

// The coloured report (tabs between label and value); lines 14, 15 and 27 are not part of it.
[[nodiscard]] std::vector<ConsoleLine> BuildConsoleReport(const ReportSource& source);
// The printed report (spaces between label and value).
[[nodiscard]] std::vector<std::string> BuildPrintedReport(const ReportSource& source);

// Where a printed line goes: its page (from 0) and the top of its text, in device units.
struct LinePlacement {
    int page = 0;
    int y = 0;
};
// The first line at `top`, every next one `step` lower, as long as a line of `lineHeight` ends within
// `pageHeight`; a line that would not fit starts a new page at `top`. Every line is placed, even when a
// page has room for only one.
[[nodiscard]] std::vector<LinePlacement> LayOutReport(std::size_t lineCount, int top, int step, int lineHeight,
                                                      int pageHeight);
[[nodiscard]] int PageCountOf(std::span<const LinePlacement> layout);

// The printer positions of the report, in device units.
inline constexpr int kReportLeft = 200;
inline constexpr int kReportTop = 200;
inline constexpr int kReportStep = 110;

// A file name for the report of a vehicle: "<registration>_<YYYY-MM-DD>.pdf", the registration kept to
// letters, digits, '-' and '_' (blanks become '_', path separators and other punctuation go); "report_<date>.pdf"
// when nothing of it is left.
[[nodiscard]] std::string ReportFileName(std::string_view registration, int year, int month, int day);

// A printed line for a device that shows tabs as nothing: each tab becomes four spaces.
[[nodiscard]] std::string ExpandTabs(std::string_view line);

}  // namespace sequaflow::record
