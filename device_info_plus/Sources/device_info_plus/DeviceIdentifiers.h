#pragma once

#include <string>
#include <string_view>

// The marketing name of a Mac model identifier as the kernel reports it in hw.model
// ("Mac14,13" gives "Mac Studio (2023)"). The identifier must match a known one exactly,
// letter case and punctuation included; anything else gives "Unknown Model".
std::string getMacModelName(std::string_view modelNumber);
