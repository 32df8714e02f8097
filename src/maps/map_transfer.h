#pragma once

#include <array>
#include <span>
#include <string>

#include "link/link.h"
#include "link/result.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"
#include "params/progress.h"

// Reading and writing the points and maps. Every value is sent twice: with its set command and into its
// lasting store word; reads are repeated once after an invalid reply.
namespace sequaflow::maps {

struct MapReadReport {
    SequenceResult sequence;
    std::array<bool, kPoints> points{};
    std::array<bool, kCells> cells{};  // row-major like the map
    std::array<bool, kStdCells> standard{};
    // The point editor is refreshed from the grid only when the last point was read.
    bool lastPointValid() const { return points[kPoints - 1]; }
    int failures() const;
};

// Points, advanced map (column by column) and standard map into the model. An element whose two replies
// are both invalid keeps its previous value; the read goes on.
MapReadReport ReadMaps(link::Link& link, MapModel& model, const SequenceControl& control = {});

// The cell as the model holds it: set command, then the store word with its partner cell.
void WriteAdvancedCell(link::Link& link, const MapModel& model, int row, int column);
void WriteStandardCell(link::Link& link, const MapModel& model, int k);

// The 17 points as the model holds them, each with its store word.
SequenceResult SendPoints(link::Link& link, const MapModel& model, const SequenceControl& control = {});

enum class PointTextError { NotANumber };
// Converts the 17 breakpoint texts into points and sends them. A text that is not a number stops it before
// anything is sent or changed; the error names the point.
[[nodiscard]] Result<SequenceResult, PointTextError> WritePoints(link::Link& link, MapModel& model,
                                                                 std::span<const std::string, kPoints> texts,
                                                                 const params::ParameterImage& image,
                                                                 const SequenceControl& control = {});

// The whole model: points, standard map, advanced map (columns 6..0, rows 11..0; cells above the current
// maximum are lowered in the model first), points again.
SequenceResult UploadMaps(link::Link& link, MapModel& model, const SequenceControl& control = {});

// Puts the map mode (0 none, 1 advanced, 2 standard) into the second flags word and writes parameter 47.
void SetMapMode(link::Link& link, params::ParameterImage& image, int mode);

}  // namespace sequaflow::maps
