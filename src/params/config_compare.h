#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "maps/map_model.h"
#include "params/parameter_file.h"
#include "params/parameter_image.h"

// A parameter file's worth of configuration from any source (a file, the screen, a read of the controller)
// and what differs between two of them, in the texts the screens show.
namespace sequaflow::params {

// Every element optional: a read may leave some unanswered.
struct Configuration {
    std::array<std::optional<std::int32_t>, kParameterCount> parameters{};  // signed parameters signed
    std::array<std::optional<std::uint32_t>, kPointCount> points{};
    std::array<std::optional<int>, kAdvancedMapSize> advanced{};  // percent, row-major
    std::array<std::optional<int>, kStdMapSize> standard{};      // percent

    // True when everything a parameter file holds is there.
    bool completeForFile() const;
};

Configuration ConfigurationOfFile(const ParameterFileContent& content);
// What the screens hold: the parameter slots 0..63, the points and both maps.
Configuration ConfigurationOfScreen(const ParameterImage& image, const maps::MapModel& model);

enum class ItemKind : std::uint8_t { Parameter, Point, AdvancedCell, StandardCell };

// One element of a configuration: a parameter or point by number, an advanced-map cell by row and column
// (number is then 7 x row + column), a standard-map cell by number.
struct ConfigItem {
    ItemKind kind = ItemKind::Parameter;
    int number = 0;
    int row() const { return number / maps::kColumns; }
    int column() const { return number % maps::kColumns; }
    bool operator==(const ConfigItem&) const = default;
};
// "parameter 5 (min_switch_temperature_c)", "point 3", "advanced map cell 2,3 (row,column)", "standard map cell 4".
std::string ItemName(const ConfigItem& item);
// The parameter's key as `param show` names it; empty for anything else.
std::string_view ItemKey(const ConfigItem& item);

struct Difference {
    ConfigItem item;
    // The texts the screens show for each side (parameters without an editor: the number); none: not read.
    std::optional<std::string> textA;
    std::optional<std::string> textB;
    // The stored values (parameter slot, point word, cell percent); none: not read.
    std::optional<std::int64_t> rawA;
    std::optional<std::int64_t> rawB;
};

// Every element that differs, parameters first, then points, advanced and standard cells, each in number
// order. An element read on one side only differs; one read on neither does not. The texts of each side are
// made with that side's own clock flag and ignition type.
std::vector<Difference> Compare(const Configuration& a, const Configuration& b, char decimalSeparator = '.');

// What the controller holds against what it was given: as Compare, except that the programmed marker is
// expected whatever `expected` holds (a load always sends it) and a work-time counter that moved on by up
// to an hour is the engine running, not a refused value. Elements missing from `held` are differences.
std::vector<Difference> CompareHeld(const Configuration& expected, const Configuration& held,
                                    char decimalSeparator = '.');

// What a controller loaded with the file holds after the read that follows: every read of a programmed
// controller turns smooth switching on and sets the speed-limit and vacuum bits, the program's own doing.
Configuration AsReadAfterLoad(const ParameterFileContent& content);

// The text of a side: its screen text, followed by the stored value in brackets when both texts are the
// same (a difference the screens round away); "not read" for a missing one.
std::string SideText(const Difference& d, bool sideA);
// One line: "parameter 5 (min_switch_temperature_c): 25 -> 30".
std::string DifferenceLine(const Difference& d);
// {"item":…,"kind":…,"number":…,("row":…,"column":…,)"key":…,"a":…,"b":…,"raw_a":…,"raw_b":…}
void PrintDifferenceJson(std::ostream& out, const Difference& d);
// A JSON string literal (quotes and control characters escaped).
void PrintJsonText(std::ostream& out, std::string_view text);

}  // namespace sequaflow::params
