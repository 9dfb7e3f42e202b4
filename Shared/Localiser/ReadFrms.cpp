#include "ReadFrms.h"

#include "Exceptions.h"
#include "FormStream.h"
#include "ResStrings.h"
#include "Streams.h"

#include <algorithm>

namespace {

// Lists, collections and object records nest by recursion; damaged data must not exhaust the stack.
constexpr int kMaxDepth = 200;
// Binary data is skipped through a scratch buffer of this size, never held whole.
constexpr std::size_t kScratchSize = 1024;

bool HasByteAbove127(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
}

bool IsIntegerKind(TValueKind kind) {
    return kind == TValueKind::Int8 || kind == TValueKind::Int16 || kind == TValueKind::Int32;
}

// Where a value stands: the object record that holds it and, inside a collection item, the
// collection and the item's position (-1 elsewhere).
struct ValuePlace {
    const AnsiString& ClassName;
    const AnsiString& ObjectName;
    const AnsiString& PropName;
    const AnsiString& CollectionName;
    std::int32_t ItemIndex;
};

// One walk over one form stream, reporting to the walker's Handle operations.
class FormWalk {
public:
    FormWalk(TFrmReader& walker, TFormReader& reader, const AnsiString& resName)
        : walker_(walker), reader_(reader), resName_(resName) {}

    void Object(int depth) {
        CheckDepth(depth);
        reader_.ReadPrefix();
        const AnsiString className = reader_.ReadStr();
        const AnsiString objectName = reader_.ReadStr();
        const AnsiString noCollection;
        while (!reader_.EndOfList()) {
            const AnsiString propName = reader_.ReadStr();
            Value({className, objectName, propName, noCollection, -1}, nullptr, depth + 1);
        }
        reader_.ReadListEnd();
        while (!reader_.EndOfList())
            Object(depth + 1);
        reader_.ReadListEnd();
    }

private:
    static void CheckDepth(int depth) {
        if (depth > kMaxDepth)
            throw EReadError(SFormNestedTooDeeply);
    }

    // One value; the texts of a list's elements go to target instead of a report.
    void Value(const ValuePlace& place, TStrings* target, int depth) {
        CheckDepth(depth);
        switch (reader_.NextValue()) {
        case TValueKind::String:
        case TValueKind::LString:
        case TValueKind::WString:
        case TValueKind::Utf8String:
            return Text(place, reader_.ReadString(), target);
        case TValueKind::List:
            return List(place, depth);
        case TValueKind::Collection:
            return Collection(place, depth);
        case TValueKind::Binary:
            return SkipBinary();
        case TValueKind::Set:
            reader_.ReadValue();
            while (!reader_.ReadStr().empty()) {
            }
            return;
        case TValueKind::Null:
            return reader_.ReadNull();
        case TValueKind::Nil:
            return reader_.ReadNil();
        case TValueKind::Int8:
        case TValueKind::Int16:
        case TValueKind::Int32:
        case TValueKind::Int64:
            reader_.ReadInt64();
            return;
        case TValueKind::Extended:
            reader_.ReadFloat();
            return;
        case TValueKind::Single:
            reader_.ReadSingle();
            return;
        case TValueKind::Currency:
            reader_.ReadCurrency();
            return;
        case TValueKind::Date:
            reader_.ReadDate();
            return;
        case TValueKind::Ident:
            reader_.ReadIdent();
            return;
        case TValueKind::False:
        case TValueKind::True:
            reader_.ReadBoolean();
            return;
        }
    }

    void Text(const ValuePlace& place, const AnsiString& text, TStrings* target) {
        if (target != nullptr)
            target->Add(text);
        else if (place.ItemIndex < 0)
            walker_.HandleString(resName_, place.ClassName, place.ObjectName, place.PropName, text);
        else
            walker_.HandleCollection(resName_, place.ClassName, place.ObjectName, place.PropName, text,
                                     place.CollectionName, place.ItemIndex);
    }

    // A list's string elements are gathered and reported once its end has been read; its other
    // elements are walked as values of their own.
    void List(const ValuePlace& place, int depth) {
        reader_.ReadListBegin();
        TStringList strings;
        const AnsiString noCollection;
        while (!reader_.EndOfList())
            Value({place.ClassName, place.ObjectName, place.PropName, noCollection, -1}, &strings, depth + 1);
        reader_.ReadListEnd();
        if (strings.Count() > 0)
            walker_.HandleList(resName_, place.ClassName, place.ObjectName, place.PropName, strings);
    }

    // Items are numbered by their position in the stream, whatever index is stored before them.
    void Collection(const ValuePlace& place, int depth) {
        reader_.ReadCollectionBegin();
        for (std::int32_t item = 0; !reader_.EndOfList(); ++item) {
            if (IsIntegerKind(reader_.NextValue()))
                reader_.ReadInteger();
            reader_.ReadListBegin();
            while (!reader_.EndOfList()) {
                const AnsiString itemProp = reader_.ReadStr();
                Value({place.ClassName, place.ObjectName, itemProp, place.PropName, item}, nullptr,
                      depth + 1);
            }
            reader_.ReadListEnd();
        }
        reader_.ReadListEnd();
    }

    void SkipBinary() {
        reader_.ReadValue();
        unsigned char countBytes[4];
        reader_.Read(countBytes, sizeof countBytes);
        std::uint32_t count = countBytes[0] | countBytes[1] << 8 | countBytes[2] << 16 |
                              static_cast<std::uint32_t>(countBytes[3]) << 24;
        char scratch[kScratchSize];
        while (count > 0) {
            std::uint32_t piece = std::min<std::uint32_t>(count, kScratchSize);
            reader_.Read(scratch, piece);
            count -= piece;
        }
    }

    TFrmReader& walker_;
    TFormReader& reader_;
    const AnsiString& resName_;
};

} // namespace

TFrmReader::TFrmReader(bool nonAsciiOnly, os::ModuleHandle module)
    : nonAsciiOnly_(nonAsciiOnly), module_(module) {}

void TFrmReader::ReadAllForms() {
    bool enumerated =
        os::ForEachResourceName(module_, os::ResourceTypeRCData, [this](const os::ResourceName& name) {
            if (!name.Text.empty() && name.Text.front() == 'T')
                ReadForm(AnsiString(name.Text));
            return true;
        });
    if (!enumerated) {
        std::uint32_t code = os::LastError();
        throw EOSError(code, rtl::Format(ResStr(SResourceNamesError), {code, os::SysErrorMessage(code)}));
    }
}

void TFrmReader::ReadForm(const AnsiString& resName) {
    TResourceStream stream(module_, resName);
    TFormReader reader(stream);
    reader.ReadSignature();
    FormWalk(*this, reader, resName).Object(0);
}

void TFrmReader::HandleString(const AnsiString& resName, const AnsiString& className,
                              const AnsiString& objectName, const AnsiString& propName,
                              const AnsiString& value) {
    if (!nonAsciiOnly_ || HasByteAbove127(value))
        ProcessString(resName, className, objectName, propName, value);
}

void TFrmReader::HandleList(const AnsiString& resName, const AnsiString& className,
                            const AnsiString& objectName, const AnsiString& propName, const TStrings& list) {
    bool qualifies = !nonAsciiOnly_;
    for (int i = 0; i < list.Count() && !qualifies; ++i)
        qualifies = HasByteAbove127(list.Strings(i));
    if (qualifies)
        ProcessList(resName, className, objectName, propName, list);
}

void TFrmReader::HandleCollection(const AnsiString& resName, const AnsiString& className,
                                  const AnsiString& objectName, const AnsiString& propName,
                                  const AnsiString& value, const AnsiString& collectionName,
                                  std::int32_t itemIndex) {
    if (!nonAsciiOnly_ || HasByteAbove127(value))
        ProcessCollection(resName, className, objectName, propName, value, collectionName, itemIndex);
}

void TFrmReader::ProcessString(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&,
                               const AnsiString&) {
    throw Exception(SMethodNotDefined, {"ProcessString"});
}

void TFrmReader::ProcessList(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&,
                             const TStrings&) {
    throw Exception(SMethodNotDefined, {"ProcessList"});
}

void TFrmReader::ProcessCollection(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&,
                                   const AnsiString&, const AnsiString&, std::int32_t) {
    throw Exception(SMethodNotDefined, {"ProcessCollection"});
}
