// Numbers as the user reads them in messages and the caption: 10003 as "10,003".
#pragma once

#include <cstdint>
#include <string>

inline std::string WithThousands(uint64_t n)
{
    std::string digits = std::to_string(n);
    for (size_t i = digits.size(); i > 3; i -= 3) {
        digits.insert(i - 3, ",");
    }
    return digits;
}
