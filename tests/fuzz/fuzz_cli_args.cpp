// Any command line, parsed exactly as the tool parses it but through the parse-only entry: nothing here
// may open a device, create a file or reach the network, whatever the arguments name.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fuzz_input.h"

using namespace sequaflow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    std::vector<std::string> args;
    while (!in.empty() && args.size() < 24) args.push_back(in.text());
    std::ostringstream out, err;
    cli::Context context{out, err, {}, false, nullptr};
    (void)cli::CheckArguments(args, context);
    return 0;
}
