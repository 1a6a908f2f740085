#pragma once

#include <string>
#include <vector>

// One row of a list control: its cells' texts, UTF-8 bytes kept exactly as they were read or
// typed, one per column.
using ListRow = std::vector<std::string>;
