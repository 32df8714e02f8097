#pragma once

#include <string>

#include "link/result.h"
#include "sim/stores.h"

namespace sequaflow::sim {

enum class StateFileError { NotFound, Unreadable, Malformed, WriteFailed };

// The controller's lasting stores as a small text file: one line per store, the words in hexadecimal.
[[nodiscard]] Result<PersistentStores, StateFileError> LoadStateFile(const std::string& path);
// Written to a temporary file that is renamed into place, so a failed save keeps the previous file.
[[nodiscard]] Result<Ok, StateFileError> SaveStateFile(const std::string& path, const PersistentStores& stores);

std::string FormatStateFile(const PersistentStores& stores);
[[nodiscard]] Result<PersistentStores, StateFileError> ParseStateFile(const std::string& text);

}  // namespace sequaflow::sim
