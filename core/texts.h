// Sentences that several messages share, so they cannot drift apart.
#pragma once

#include <string>

#include "cell_table.h"
#include "pattern_file.h"
#include "thousands.h"

// "the board holds at most 10,000."
inline std::string BoardLimitText()
{
    return "the board holds at most " + WithThousands(kMaxCells) + ".";
}

// Refuses a file or a text before reading it: `what` is "file" or "text".
inline std::string TooLargeText(const char* what)
{
    return std::string("The ") + what + " is larger than " + WithThousands(kMaxPatternFileBytes >> 20) +
           " MiB; no pattern the board can hold is that large.";
}
