// The figures of a benchmark summary.
#pragma once

#include <cstdio>
#include <string>

namespace bench {

// A figure, or "-" for a measurement that is missing (a benchmark left out by --benchmark_filter).
inline std::string Figure(double value, const char* format = "%.2f") {
    if (value <= 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// a / b, or 0 when either is missing.
inline double Ratio(double a, double b) {
    return a > 0 && b > 0 ? a / b : 0;
}

} // namespace bench
