// Paths in test tables are written with "\" as the folder delimiter; P gives them in the form of
// the platform the test runs on.
#pragma once

#include "Os.h"

#include <string>

inline std::string P(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = os::PathDelim;
    return path;
}
