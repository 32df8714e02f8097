// A parameter file is any file the user points at: decoding it, showing it and checking it must hold up
// against any bytes.
#include <cstdint>
#include <cstdlib>

#include "maps/map_model.h"
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
    params::ParameterImage image;
    maps::MapModel model;
    params::ViewParameterFile(image, model, decoded.value());
    // What is shown encodes back into a file of the same size that decodes again.
    const auto encoded = params::EncodeParameterFile(image, model);
    if (!params::DecodeParameterFile(encoded).ok()) std::abort();
    return 0;
}
