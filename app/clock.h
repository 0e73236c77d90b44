// The program's clock for pacing: the caption's updates and full speed's batches and rate.
#pragma once

#include <windows.h>

inline double SecondsNow()
{
    LARGE_INTEGER t;
    LARGE_INTEGER f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}
