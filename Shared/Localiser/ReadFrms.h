// The form resource walker: reads every form definition compiled into a module (RCDATA resources in
// the binary form format) and reports each text-valued property to overridable hooks. It only reads
// the stored bytes; no form, component or window is made.
#pragma once

#include "Classes.h"
#include "ResString.h"
#include "RtlStrings.h"

#include <cstdint>

class TFrmReader {
public:
    // With nonAsciiOnly a text reaches a Process hook only when one of its bytes is above 127 (a
    // string list when one of its entries is); otherwise every text does. The module is the one
    // whose forms are walked: the running program's own unless a test names another.
    explicit TFrmReader(bool nonAsciiOnly, os::ModuleHandle module = HInstance);
    virtual ~TFrmReader() = default;
    TFrmReader(const TFrmReader&) = delete;
    TFrmReader& operator=(const TFrmReader&) = delete;

    bool NonAsciiOnly() const { return nonAsciiOnly_; }

    // Walks every RCDATA resource whose name begins with a capital "T", in the order in which the
    // resource enumeration gives the names; other names and numbered resources are skipped. A
    // failed enumeration raises EOSError "Ошибка чтения перечня ресурсов. Win32 error: %d - %s".
    // Any error leaves the walk at once; what the hooks have been given stays given.
    void ReadAllForms();

    // The reports, in stream order, depth first. ResName is the form's resource name as given;
    // ClassName and ObjectName are those of the object record that holds the property.
    virtual void HandleString(const AnsiString& resName, const AnsiString& className,
                              const AnsiString& objectName, const AnsiString& propName,
                              const AnsiString& value);
    // A list value with at least one string element; List holds the string elements in stream
    // order and is valid during the call only.
    virtual void HandleList(const AnsiString& resName, const AnsiString& className,
                            const AnsiString& objectName, const AnsiString& propName, const TStrings& list);
    // A text of a collection item: PropName is the item's property, CollectionName the property
    // that holds the collection, ItemIndex the item's position in the stream from 0.
    virtual void HandleCollection(const AnsiString& resName, const AnsiString& className,
                                  const AnsiString& objectName, const AnsiString& propName,
                                  const AnsiString& value, const AnsiString& collectionName,
                                  std::int32_t itemIndex);

    // The hooks a subclass overrides; each raises Exception "Не определен метод: <name>" here.
    virtual void ProcessString(const AnsiString& resName, const AnsiString& className,
                               const AnsiString& objectName, const AnsiString& propName,
                               const AnsiString& value);
    virtual void ProcessList(const AnsiString& resName, const AnsiString& className,
                             const AnsiString& objectName, const AnsiString& propName, const TStrings& list);
    virtual void ProcessCollection(const AnsiString& resName, const AnsiString& className,
                                   const AnsiString& objectName, const AnsiString& propName,
                                   const AnsiString& value, const AnsiString& collectionName,
                                   std::int32_t itemIndex);

    // Walks the one form stored under that RCDATA name. A missing resource raises EResNotFound;
    // damaged or truncated data, a value kind above 20 among them, raises the form reader's
    // EReadError.
    virtual void ReadForm(const AnsiString& resName);

private:
    bool nonAsciiOnly_;
    os::ModuleHandle module_;
};
