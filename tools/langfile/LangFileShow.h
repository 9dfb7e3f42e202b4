// `langfile show`: what the localiser holds after loading a language file, as text or JSON.
#pragma once

#include "sxLocalizer.h"

#include <string>

// The header, the resource strings in store order and the form entries in store order with their
// property items. UTF-8 throughout (form texts converted from the ANSI code page).
std::string FormatAsText(const TsxLocalizer& localizer);
// The same as one JSON object; "properties" lists the property items of every form entry in store
// order, each with its entry's form name.
std::string FormatAsJson(const TsxLocalizer& localizer);
