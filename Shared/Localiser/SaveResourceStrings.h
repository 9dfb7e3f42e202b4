// The resource-string template (".lrs"): every non-empty entry of the module's string tables, one
// record per entry: identifier TAB count of UTF-16 units TAB text CR LF, all in UTF-16
// little-endian. Texts are copied unit for unit, so a record is delimited by its count.
#pragma once

#include "ResString.h"
#include "Streams.h"

// Writes the records of the module's string tables to the stream: blocks in the order of the
// resource enumeration, one pass per language of a block in the order of the language enumeration,
// entries 0 to 15 of a pass, each in a single write (a short write raises EWriteError). A block
// that cannot be found or loaded in a language is passed over. A failed enumeration raises
// EOSError "Resource enumeration error\r\n\r\nCode: %d\r\nText: %s". A block whose bytes end
// before its 16 entries do raises EReadError naming the block, its language and the entry, after
// the records of the entries before it; nothing is read past the block's end. A string-table
// resource with a name instead of a number holds no identifiers and is passed over.
void WriteResourceStrings(TStream& stream, os::ModuleHandle module = HInstance);

// Writes the template to fileName, replacing any file of that name. Raises the file's creation
// error, or those of WriteResourceStrings; the records written before an error stay in the file.
void ExtractResourceStrings(const AnsiString& fileName, os::ModuleHandle module = HInstance);
