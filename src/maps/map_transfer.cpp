#include "maps/map_transfer.h"

#include <algorithm>

#include "link/commands.h"
#include "link/sequence_run.h"
#include "params/parameter_writer.h"

namespace sequaflow::maps {
namespace {
using link::ShortRead;
constexpr std::string_view kPointsPhase = "Mapa 1";
constexpr std::string_view kGridPhase = "Mapa 1p";
constexpr std::string_view kStdPhase = "Mapa 2";
constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }
}  // namespace

int MapReadReport::failures() const {
    const auto bad = [](const auto& a) { return static_cast<int>(std::count(a.begin(), a.end(), false)); };
    return bad(points) + bad(cells) + bad(standard);
}

MapReadReport ReadMaps(link::Link& link, MapModel& model, const SequenceControl& control) {
    MapReadReport report;
    link::SequenceRun run(link, control);
    for (int i = 0; i < kPoints; ++i) {
        if (!run.step(kPointsPhase, i + 1, kPoints)) break;
        if (const auto v = link::ReadShort(link, ShortRead::PointRead, static_cast<std::uint8_t>(i))) {
            model.setPoint(i, *v);
            report.points[At(i)] = true;
        }
    }
    int done = 0;
    for (int c = 0; c < kColumns && run.goOn(); ++c) {
        for (int r = 0; r < kRows; ++r) {
            if (!run.step(kGridPhase, ++done, kCells)) break;
            const auto v = link::ReadShort(link, ShortRead::GridCellRead, static_cast<std::uint8_t>(r),
                                           static_cast<std::uint8_t>(c));
            if (v) {
                model.setCellByte(r, c, static_cast<std::uint8_t>(*v));
                report.cells[At(7 * r + c)] = true;
            }
        }
    }
    for (int k = 0; k < kStdCells; ++k) {
        if (!run.step(kStdPhase, k + 1, kStdCells)) break;
        if (const auto v = link::ReadShort(link, ShortRead::StdMapRead, static_cast<std::uint8_t>(k))) {
            model.setStdByte(k, static_cast<std::uint8_t>(*v));
            report.standard[At(k)] = true;
        }
    }
    run.finish();
    report.sequence = run.result();
    return report;
}

void WriteAdvancedCell(link::Link& link, const MapModel& model, int row, int column) {
    link::WriteGridCellSequence(link, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column),
                                model.cellByte(row, column), GridStoreWord(row, column),
                                GridStoreValue(model, row, column));
}

void WriteStandardCell(link::Link& link, const MapModel& model, int k) {
    link::WriteStdMapSequence(link, static_cast<std::uint8_t>(k), model.stdByte(k));
}

SequenceResult SendPoints(link::Link& link, const MapModel& model, const SequenceControl& control) {
    link::SequenceRun run(link, control);
    for (int i = 0; i < kPoints; ++i) {
        if (!run.step(kPointsPhase, i + 1, kPoints)) break;
        link::WritePointSequence(link, static_cast<std::uint8_t>(i), static_cast<std::uint16_t>(model.point(i)));
    }
    run.finish();
    return run.result();
}

Result<SequenceResult, PointTextError> WritePoints(link::Link& link, MapModel& model,
                                                   std::span<const std::string, kPoints> texts,
                                                   const params::ParameterImage& image, const SequenceControl& control) {
    std::array<std::uint32_t, kPoints> values{};
    for (int i = 0; i < kPoints; ++i) {
        const auto v = PointFromText(i, texts[At(i)], image);
        if (!v) {
            return Error<PointTextError>{PointTextError::NotANumber,
                                         "point " + std::to_string(i) + ": '" + texts[At(i)] + "' is not a number"};
        }
        values[At(i)] = *v;
    }
    for (int i = 0; i < kPoints; ++i) model.setPoint(i, values[At(i)]);
    return SendPoints(link, model, control);
}

SequenceResult UploadMaps(link::Link& link, MapModel& model, const SequenceControl& control) {
    link::SequenceRun run(link, control);
    if (!run.absorb(SendPoints(link, model, control))) return run.result();
    for (int k = 0; k < kStdCells; ++k) {
        if (!run.step(kStdPhase, k + 1, kStdCells)) return run.result();
        WriteStandardCell(link, model, k);
    }
    int done = 0;
    for (int c = kColumns - 1; c >= 0; --c) {
        for (int r = kRows - 1; r >= 0; --r) {
            if (!run.step(kGridPhase, ++done, kCells)) return run.result();
            if (model.cell(r, c) > model.cellMaximum()) model.setCell(r, c, model.cellMaximum());
            WriteAdvancedCell(link, model, r, c);
        }
    }
    if (run.goOn()) (void)run.absorb(SendPoints(link, model, control));
    return run.result();
}

void SetMapMode(link::Link& link, params::ParameterImage& image, int mode) {
    image.setField(params::field::MapMode, static_cast<std::uint32_t>(mode & 3));
    params::WriteParameter(link, image, params::pn::SecondFlags);
}

}  // namespace sequaflow::maps
