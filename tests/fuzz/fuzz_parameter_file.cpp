// A parameter file is any file the user points at: decoding it, showing it, checking it and comparing it
// must hold up against any bytes.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "maps/map_model.h"
#include "params/config_compare.h"
#include "params/file_plausibility.h"
#include "params/parameter_file.h"
#include "params/parameter_image.h"

using namespace sequaflow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto decoded = params::DecodeParameterFile(bytes);
    if (!decoded.ok()) {
        if (size >= params::kParameterFileSize) std::abort();  // only a short file is refused
        return 0;
    }
    const auto& content = decoded.value();
    const auto problems = params::CheckPlausibility(content);
    for (const auto& p : problems) (void)params::ImplausibleText(p);
    (void)params::FirstImplausibleText(problems);

    params::ParameterImage image;
    maps::MapModel model;
    params::ViewParameterFile(image, model, content);
    // What is shown encodes back into a file of the same size that decodes again.
    const auto encoded = params::EncodeParameterFile(image, model);
    if (!params::DecodeParameterFile(encoded).ok()) std::abort();

    // Against the screen it was shown on, and against a second file when the input holds two.
    const auto file = params::ConfigurationOfFile(content);
    auto other = params::ConfigurationOfScreen(image, model);
    if (size >= 2 * params::kParameterFileSize) {
        const auto second = params::DecodeParameterFile(bytes.subspan(params::kParameterFileSize));
        if (second.ok()) other = params::ConfigurationOfFile(second.value());
    }
    std::ostringstream out;
    for (const auto& d : params::Compare(file, other, ',')) {
        out << params::DifferenceLine(d) << params::SideText(d, true) << params::SideText(d, false);
        params::PrintDifferenceJson(out, d);
    }
    (void)params::CompareHeld(file, params::AsReadAfterLoad(content));
    // A file compared with itself has no differences.
    if (!params::Compare(file, file).empty()) std::abort();
    return 0;
}
