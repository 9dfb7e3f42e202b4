// The records of every resource string of the program, from ResStringTable.inc.
#pragma once

#include "ResString.h"

#define RES_STRING(name, id, text) extern const TResStringRec name;
#include "ResStringTable.inc"
#undef RES_STRING
