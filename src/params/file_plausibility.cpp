#include "params/file_plausibility.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <optional>

#include "live/conversions.h"
#include "params/parameter_codec.h"

namespace sequaflow::params {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }
// A period at or above this reads as no engine speed at all.
constexpr std::uint32_t kNoSpeedPeriod = 65500;
constexpr std::int64_t kWordSpan = 65536;
constexpr std::int64_t kErasedWord = 0xFFFF;

struct Range {
    std::int64_t low = std::numeric_limits<std::int64_t>::max();
    std::int64_t high = std::numeric_limits<std::int64_t>::min();
    void take(std::int64_t v) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool empty() const { return low > high; }
};

ParameterImage ImageWith(bool fastClock, int ignitionType) {
    ParameterImage image;
    image.setField(field::FastClock, fastClock ? 1u : 0u);
    image.setSlot(pn::IgnitionType, ignitionType);
    return image;
}

std::string NumberText(float x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(x));
    return buffer;
}

// The slots an editor stores between its two limits; none when a side is open, as any word can then be made.
std::optional<Range> EditorRange(const NumericEditor& editor) {
    std::optional<float> low;
    std::optional<float> high;
    for (int i = 0; i < editor.limitCount; ++i) {
        const Limit& l = editor.limits[i];
        if (l.side == Limit::Side::Below) low = std::min(l.threshold, l.replacement);
        else high = std::max(l.threshold, l.replacement);
    }
    if (!low || !high) return std::nullopt;
    Range range;
    for (const bool fast : {false, true})
        for (int type = 0; type < live::kIgnitionTypeCount; ++type) {
            const ParameterImage image = ImageWith(fast, type);
            for (const float x : {*low, *high})
                if (const auto v = EncodeText(image, editor.param, NumberText(x))) range.take(*v);
        }
    if (range.empty()) return std::nullopt;
    return range;
}

std::optional<Range> ListRange(int param) {
    const int count = ItemCount(param);
    if (count == 0) return std::nullopt;
    Range range;
    for (const bool fast : {false, true}) {
        ParameterImage image = ImageWith(fast, 0);
        for (int item = 0; item < count; ++item)
            if (const auto v = EncodeItem(image, param, item)) range.take(*v);
    }
    if (range.empty()) return std::nullopt;
    return range;
}

// Whether a 16-bit word is the low half of some value in the range (an editor's slot may exceed 16 bits).
bool WordInRange(std::int64_t value, const Range& range) {
    if (range.high - range.low >= kWordSpan - 1) return true;
    const std::int64_t word = value & 0xFFFF;
    const std::int64_t lifted = range.low + ((word - range.low) % kWordSpan + kWordSpan) % kWordSpan;
    return lifted <= range.high;
}

std::string RangeText(const Range& r) { return std::to_string(r.low) + ".." + std::to_string(r.high); }

std::array<std::optional<Range>, kParameterCount> MakeRanges() {
    std::array<std::optional<Range>, kParameterCount> ranges{};
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) {
        if (const NumericEditor* e = FindNumericEditor(n)) ranges[At(n)] = EditorRange(*e);
        else ranges[At(n)] = ListRange(n);
    }
    // The injector check boxes of the extra correction fill one byte.
    ranges[At(pn::ExtraCorrectionInjectors)] = Range{0, 255};
    return ranges;
}

const std::array<std::optional<Range>, kParameterCount>& Ranges() {
    static const auto ranges = MakeRanges();
    return ranges;
}

}  // namespace

std::vector<Implausible> CheckPlausibility(const ParameterFileContent& content) {
    std::vector<Implausible> problems;
    const auto& ranges = Ranges();
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) {
        const std::int64_t v = content.parameters[At(n)];
        const ConfigItem item{ItemKind::Parameter, n};
        if (n == pn::Marker) {
            if (v != kProgrammedMarker && v != 0) problems.push_back({item, v, "43690 or 0"});
        } else if (const auto& range = ranges[At(n)]; range && !WordInRange(v, *range)) {
            // A factory reset keeps these as the controller held them: erased memory on a new one.
            const bool keptByReset = n >= pn::Lambda1Type;
            if (!(keptByReset && (v & 0xFFFF) == kErasedWord))
                problems.push_back({item, v, RangeText(*range) + (keptByReset ? " or 65535" : "")});
        }
    }
    for (int k = 0; k < maps::kPoints; ++k) {
        const std::int64_t v = content.points[At(k)];
        const ConfigItem item{ItemKind::Point, k};
        const std::int64_t before = k > 0 ? content.points[At(k - 1)] : 0;
        const std::string previous = "point " + std::to_string(k - 1) + " (" + std::to_string(before) + ")";
        if (k < maps::kSpeedPoints) {
            // Engine speeds rise, so their ignition periods fall.
            if (v == 0 || v >= kNoSpeedPeriod) problems.push_back({item, v, "1.." + std::to_string(kNoSpeedPeriod - 1)});
            else if (k > 0 && v >= before) problems.push_back({item, v, "below " + previous});
        } else {
            if (v == 0) problems.push_back({item, v, "above 0"});
            else if (k > maps::kSpeedPoints && v <= before) problems.push_back({item, v, "above " + previous});
        }
    }
    const auto cells = [&](ItemKind kind, std::span<const std::uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const int v = maps::CellValue(bytes[i]);
            if (v < maps::kCellMinimum || v > maps::kTurboCellMaximum)
                problems.push_back({{kind, static_cast<int>(i)}, v,
                                    std::to_string(maps::kCellMinimum) + "..+" + std::to_string(maps::kTurboCellMaximum) + "%"});
        }
    };
    cells(ItemKind::AdvancedCell, content.advanced);
    cells(ItemKind::StandardCell, content.standard);
    return problems;
}

std::string ImplausibleText(const Implausible& p) {
    const bool cell = p.item.kind == ItemKind::AdvancedCell || p.item.kind == ItemKind::StandardCell;
    const std::string value = cell ? maps::GridCellText(static_cast<int>(p.value)) + "%" : std::to_string(p.value);
    return ItemName(p.item) + " is " + value + ", expected " + p.allowed;
}

std::string FirstImplausibleText(std::span<const Implausible> problems, std::size_t count) {
    std::string text;
    const std::size_t shown = std::min(count, problems.size());
    for (std::size_t i = 0; i < shown; ++i) {
        if (i) text += "; ";
        text += ImplausibleText(problems[i]);
    }
    if (problems.size() > shown) text += "; and " + std::to_string(problems.size() - shown) + " more";
    return text;
}

}  // namespace sequaflow::params
