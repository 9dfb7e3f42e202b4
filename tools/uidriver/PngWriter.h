// A PNG file of an RGB image, written without compression (stored deflate blocks): what a
// screenshot tool needs, without a compression library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels, three bytes each, rows from the top. False when the file cannot
// be written.
bool WritePng(const std::string& fileName, int width, int height, const std::vector<std::uint8_t>& rgb);
