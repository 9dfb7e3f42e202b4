// How the tool writes texts: UTF-8, one record a line, or JSON.
#pragma once

#include "RtlStrings.h"

#include <string>
#include <string_view>

std::string AnsiToUtf8(std::string_view text);

// A text on one line of a listing: the backslash, line breaks, tabs and other control characters
// written as escapes (\\, \r, \n, \t, \xHH).
std::string ListingText(std::string_view utf8);

// A JSON string literal, quotes included.
std::string JsonString(std::string_view utf8);
