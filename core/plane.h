// The wrapping plane's arithmetic: coordinates run round a circle of 2^32 values each way, so the
// right neighbour of INT32_MAX is INT32_MIN. Everything that measures or moves across the ends
// goes through here, in unsigned arithmetic, where wrapping is defined.
#pragma once

#include <cstdint>
#include <vector>

inline int32_t WrapAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Negating INT32_MIN would overflow; subtracting in unsigned wraps like the plane.
inline int32_t WrapSub(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// How far b lies after a, going right (or down) round the circle: 0 to 2^32 - 1.
inline uint32_t StepsFrom(int32_t a, int32_t b)
{
    return static_cast<uint32_t>(b) - static_cast<uint32_t>(a);
}

// A run of consecutive coordinates from `start`, wrapping at the ends: 1 to 2^32 long.
struct PlaneArc {
    int32_t start;
    uint64_t length;
};

// The shortest run that holds every value: the complement of the widest gap between neighbouring
// values round the circle. Among equally wide gaps the one holding `cut` wins (the plain range read
// from `cut`, so INT32_MIN gives the signed order's first to last), then the first after it.
// No values: {0, 0}.
PlaneArc ShortestArc(std::vector<int32_t> values, int32_t cut);
