#include "FormLoader.h"

#include "FormStream.h"
#include "ResStrings.h"

#include <cstdint>
#include <vector>

namespace {

// Deeper nesting of records or of collections in items is taken as damaged data.
constexpr int kMaxDepth = 64;

// A float property's value: any of the float kinds, or an integer.
double ReadNumber(TFormReader& reader) {
    switch (reader.NextValue()) {
    case TValueKind::Single:
        return reader.ReadSingle();
    case TValueKind::Date:
        return reader.ReadDate();
    case TValueKind::Currency:
        return static_cast<double>(reader.ReadCurrency()) / 10000.0;
    case TValueKind::Int8:
    case TValueKind::Int16:
    case TValueKind::Int32:
    case TValueKind::Int64:
        return static_cast<double>(reader.ReadInt64());
    default:
        return reader.ReadFloat();
    }
}

class TFormLoader {
public:
    explicit TFormLoader(TComponent& root) : root_(root) {}
    TFormLoader(const TFormLoader&) = delete;
    TFormLoader& operator=(const TFormLoader&) = delete;
    // Unless Commit has been called, deletes the components made, the last first.
    ~TFormLoader();

    void Read(TStream& stream);
    void Commit() { created_.clear(); }

private:
    struct TFixup {
        TObject* Instance;
        const TPropInfo* Info;
        AnsiString Name;
    };

    void ReadRoot(TFormReader& reader);
    void ReadObject(TFormReader& reader, int depth);
    void ReadBody(TFormReader& reader, TComponent& component, int depth);
    void ReadProperty(TFormReader& reader, TObject& instance, int depth);
    void ReadValue(TFormReader& reader, TObject& instance, const TPropInfo& info, int depth);
    void ReadCollection(TFormReader& reader, TCollection& collection, int depth);
    static void ReadStrings(TFormReader& reader, TStrings& strings);
    void ResolveFixups();

    TComponent& root_;
    std::vector<TComponent*> created_;
    std::vector<TFixup> fixups_;
};

TFormLoader::~TFormLoader() {
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
        delete *it;
}

void TFormLoader::Read(TStream& stream) {
    TFormReader reader(stream);
    reader.ReadSignature();
    fixups_.clear();
    ReadRoot(reader);
    ResolveFixups();
}

void TFormLoader::ReadRoot(TFormReader& reader) {
    reader.ReadPrefix();
    const AnsiString className = reader.ReadStr();
    const AnsiString name = reader.ReadStr();
    const TClassInfo* cls = &root_.ClassType();
    while (cls != nullptr && !rtl::SameText(cls->Name, className))
        cls = cls->Parent;
    if (cls == nullptr)
        throw EReadError(SFormClassMismatch, {className, root_.ClassName()});
    if (!name.empty())
        root_.SetName(name);
    ReadBody(reader, root_, 0);
}

void TFormLoader::ReadObject(TFormReader& reader, int depth) {
    if (depth > kMaxDepth)
        throw EReadError(SFormNestedTooDeeply);
    const TObjectPrefix prefix = reader.ReadPrefix();
    const AnsiString className = reader.ReadStr();
    const AnsiString name = reader.ReadStr();
    TComponent* component;
    if ((prefix.Flags & ffInherited) != 0) {
        component = root_.FindComponent(name);
        if (component == nullptr)
            throw EReadError(SInheritedNotFound, {name});
    } else {
        const TClassInfo* cls = FindClass(className);
        if (cls == nullptr || cls->Create == nullptr || !cls->InheritsFrom(TComponent::ClassInfo))
            throw EReadError(SClassNotFound, {className});
        component = CreateComponent(*cls, root_);
        created_.push_back(component);
        if (!name.empty())
            component->SetName(name);
    }
    ReadBody(reader, *component, depth);
}

void TFormLoader::ReadBody(TFormReader& reader, TComponent& component, int depth) {
    while (!reader.EndOfList())
        ReadProperty(reader, component, depth);
    reader.ReadListEnd();
    while (!reader.EndOfList())
        ReadObject(reader, depth + 1);
    reader.ReadListEnd();
}

void TFormLoader::ReadProperty(TFormReader& reader, TObject& instance, int depth) {
    const AnsiString path = reader.ReadStr();
    if (reader.NextValue() == TValueKind::Binary) {
        reader.SkipValue();
        return;
    }
    TObject* target = &instance;
    std::string_view rest = path;
    for (std::size_t dot = rest.find('.'); dot != std::string_view::npos; dot = rest.find('.')) {
        const TPropInfo* info = GetPropInfo(target, rest.substr(0, dot));
        if (info == nullptr)
            throw EPropertyError(SUnknownProperty, {path});
        if (info->Kind() != TTypeKind::tkClass)
            throw EPropertyError(SInvalidPropertyPath);
        target = GetObjectProp(*target, *info);
        if (target == nullptr)
            throw EPropertyError(SInvalidPropertyPath);
        rest.remove_prefix(dot + 1);
    }
    if (target->InheritsFrom(TStrings::ClassInfo) && rtl::SameText(rest, "Strings")) {
        ReadStrings(reader, static_cast<TStrings&>(*target));
        return;
    }
    const TPropInfo* info = GetPropInfo(target, rest);
    if (info == nullptr)
        throw EPropertyError(SUnknownProperty, {path});
    ReadValue(reader, *target, *info, depth);
}

void TFormLoader::ReadValue(TFormReader& reader, TObject& instance, const TPropInfo& info, int depth) {
    switch (info.Kind()) {
    case TTypeKind::tkInteger:
        SetOrdProp(instance, info, reader.ReadInt64());
        break;
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkBool:
        // The identifier reading takes the Boolean kinds as the words False and True.
        SetEnumProp(instance, info, reader.ReadIdent());
        break;
    case TTypeKind::tkSet: {
        std::int64_t mask = 0;
        for (const AnsiString& element : reader.ReadSet()) {
            const std::int64_t ordinal = GetEnumValue(*info.PropType->ElementType, element);
            if (ordinal < 0 || ordinal > 63)
                throw EPropertyError(SInvalidPropertyElement, {element});
            mask |= std::int64_t{1} << ordinal;
        }
        SetOrdProp(instance, info, mask);
        break;
    }
    case TTypeKind::tkFloat:
        SetFloatProp(instance, info, ReadNumber(reader));
        break;
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
        SetStrProp(instance, info, reader.ReadString());
        break;
    case TTypeKind::tkWString:
        SetWideStrProp(instance, info, reader.ReadWideString());
        break;
    case TTypeKind::tkClass: {
        TObject* object = GetObjectProp(instance, info);
        if (reader.NextValue() != TValueKind::Collection || object == nullptr ||
            !object->InheritsFrom(TCollection::ClassInfo))
            throw EReadError(SInvalidPropertyValue);
        ReadCollection(reader, static_cast<TCollection&>(*object), depth);
        break;
    }
    case TTypeKind::tkComponentRef:
        if (reader.NextValue() == TValueKind::Nil) {
            reader.ReadNil();
            SetObjectProp(instance, info, nullptr);
        } else {
            fixups_.push_back({&instance, &info, reader.ReadIdent()});
        }
        break;
    case TTypeKind::tkMethod:
        if (reader.NextValue() == TValueKind::Nil) {
            reader.ReadNil();
            SetMethodProp(instance, info, {});
        } else {
            const AnsiString name = reader.ReadIdent();
            const TNotifyEvent event = MethodByName(root_, name);
            if (!event)
                throw EReadError(SMethodNotFound, {name});
            SetMethodProp(instance, info, event);
        }
        break;
    }
}

void TFormLoader::ReadCollection(TFormReader& reader, TCollection& collection, int depth) {
    if (depth > kMaxDepth)
        throw EReadError(SFormNestedTooDeeply);
    reader.ReadCollectionBegin();
    collection.Clear();
    while (!reader.EndOfList()) {
        // An item may be preceded by its stored index, which the order of the items makes redundant.
        switch (reader.NextValue()) {
        case TValueKind::Int8:
        case TValueKind::Int16:
        case TValueKind::Int32:
            reader.ReadInteger();
            break;
        default:
            break;
        }
        reader.ReadListBegin();
        TCollectionItem& item = *collection.Add();
        while (!reader.EndOfList())
            ReadProperty(reader, item, depth + 1);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

void TFormLoader::ReadStrings(TFormReader& reader, TStrings& strings) {
    reader.ReadListBegin();
    strings.BeginUpdate();
    try {
        strings.Clear();
        while (!reader.EndOfList())
            strings.Add(reader.ReadString());
        reader.ReadListEnd();
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

void TFormLoader::ResolveFixups() {
    for (const TFixup& fixup : fixups_) {
        TComponent* component = &root_;
        std::string_view rest = fixup.Name;
        while (component != nullptr) {
            const std::size_t dot = rest.find('.');
            component = component->FindComponent(rest.substr(0, dot));
            if (dot == std::string_view::npos)
                break;
            rest.remove_prefix(dot + 1);
        }
        if (component == nullptr)
            throw EReadError(SReferenceNotFound, {fixup.Name, fixup.Info->Name});
        SetObjectProp(*fixup.Instance, *fixup.Info, component);
    }
    fixups_.clear();
}

} // namespace

void ReadForm(TComponent& root, TStream& stream) {
    TFormLoader loader(root);
    loader.Read(stream);
    loader.Commit();
}

bool LoadFormFromResources(TForm& form, os::ModuleHandle module) {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* cls = &form.ClassType(); cls != nullptr && cls != &TForm::ClassInfo;
         cls = cls->Parent)
        chain.push_back(cls);
    TFormLoader loader(form);
    bool applied = false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const AnsiString resource = rtl::UpperCase((*it)->Name);
        const void* data = nullptr;
        std::size_t size = 0;
        if (!os::FindRCData(module, resource, data, size))
            continue;
        TResourceStream stream(module, resource);
        loader.Read(stream);
        applied = true;
    }
    loader.Commit();
    return applied;
}
