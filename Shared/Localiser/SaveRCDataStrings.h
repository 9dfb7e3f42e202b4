// The form-string template (".lrc"): every form text that a translator is given, one record per
// text: form key TAB property path TAB byte count TAB text CR LF. Texts are written raw, in the
// 8-bit code page, so a record is delimited by its count, not by a line end.
#pragma once

#include "ReadFrms.h"
#include "Streams.h"

// A form walker whose hooks write one record per reported text to a stream it does not own.
class TRCDataReader : public TFrmReader {
public:
    TRCDataReader(TStream& stream, bool nonAsciiOnly, os::ModuleHandle module = HInstance);

    // One record, written with a single write; a short write raises EWriteError.
    void WriteLine(const AnsiString& resName, const AnsiString& path, const AnsiString& text);

    // Paths ObjectName.PropName; ObjectName.PropName[i] for entry i of a list (every entry);
    // ObjectName.CollectionName[ItemIndex].PropName.
    void ProcessString(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                       const AnsiString& propName, const AnsiString& value) override;
    void ProcessList(const AnsiString& resName, const AnsiString& className, const AnsiString& objectName,
                     const AnsiString& propName, const TStrings& list) override;
    void ProcessCollection(const AnsiString& resName, const AnsiString& className,
                           const AnsiString& objectName, const AnsiString& propName, const AnsiString& value,
                           const AnsiString& collectionName, std::int32_t itemIndex) override;

private:
    TStream& stream_;
};

// Writes the template of the module's forms to fileName, replacing any file of that name: every
// text that holds a byte above 127, and every string list of which an entry does. Raises the file's
// creation error, or the walk's; after an error of the walk the records written so far stay in the
// file.
void ExtractRCDataStrings(const AnsiString& fileName, os::ModuleHandle module = HInstance);
