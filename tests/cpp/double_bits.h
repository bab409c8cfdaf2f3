#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

// The bit pattern of a double, so that -0.0 and 0.0 differ and NaN equals itself.
inline std::uint64_t bits(double v)
{
    std::uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// A double in hexadecimal, exact to the last bit.
inline std::string hex(double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", v);
    return text;
}
