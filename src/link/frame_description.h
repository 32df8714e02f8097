#pragma once

#include <string>

#include "link/link.h"

namespace sequaflow::link {

// A sent frame in words, for logs a person reads: the command's name and its arguments decoded, e.g.
// "ParamStore 14 = 0x1234", "GridCellSet row 3 col 2 = 115", "ReadLiveFrame". Whatever the controller would
// not take as meant is noted in brackets after it: an unknown code, a wrong checksum or terminator, an
// index beyond its store, an unused byte that is not 0, a repeated index that differs.
std::string DescribeFrame(const Frame& frame);

}  // namespace sequaflow::link
