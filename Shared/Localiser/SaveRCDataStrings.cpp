#include "SaveRCDataStrings.h"

TRCDataReader::TRCDataReader(TStream& stream, bool nonAsciiOnly, os::ModuleHandle module)
    : TFrmReader(nonAsciiOnly, module), stream_(stream) {}

void TRCDataReader::WriteLine(const AnsiString& resName, const AnsiString& path, const AnsiString& text) {
    AnsiString record = resName + '\t' + path + '\t' + std::to_string(text.size()) + '\t' + text + "\r\n";
    stream_.WriteBuffer(record.data(), static_cast<std::int64_t>(record.size()));
}

void TRCDataReader::ProcessString(const AnsiString& resName, const AnsiString&, const AnsiString& objectName,
                                  const AnsiString& propName, const AnsiString& value) {
    WriteLine(resName, objectName + '.' + propName, value);
}

void TRCDataReader::ProcessList(const AnsiString& resName, const AnsiString&, const AnsiString& objectName,
                                const AnsiString& propName, const TStrings& list) {
    for (int i = 0; i < list.Count(); ++i)
        WriteLine(resName, objectName + '.' + propName + '[' + std::to_string(i) + ']', list.Strings(i));
}

void TRCDataReader::ProcessCollection(const AnsiString& resName, const AnsiString&,
                                      const AnsiString& objectName, const AnsiString& propName,
                                      const AnsiString& value, const AnsiString& collectionName,
                                      std::int32_t itemIndex) {
    WriteLine(resName, objectName + '.' + collectionName + '[' + std::to_string(itemIndex) + "]." + propName,
              value);
}

void ExtractRCDataStrings(const AnsiString& fileName, os::ModuleHandle module) {
    // A file of that name is deleted first, so that the template never carries anything of it; the
    // creation below reports what stands in the way.
    if (os::FileExists(fileName))
        os::RemoveFile(fileName);
    TFileStream stream(fileName, os::FileMode::Create);
    TRCDataReader(stream, true, module).ReadAllForms();
}
