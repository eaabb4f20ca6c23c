#pragma once

#include <cstdint>

// How a modal session or a sheet ended.
using NSModalResponse = int64_t;
inline constexpr NSModalResponse NSModalResponseOK = 1;
inline constexpr NSModalResponse NSModalResponseCancel = 0;
