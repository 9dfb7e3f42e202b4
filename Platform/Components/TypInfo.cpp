#include "TypInfo.h"

#include "Assert.h"
#include "ResStrings.h"

#include <algorithm>
#include <vector>

constinit const TClassInfo TObject::ClassInfo{"TObject", nullptr, nullptr, {}, {}};

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const {
    for (const TClassInfo* cls = this; cls != nullptr; cls = cls->Parent)
        if (cls == &ancestor)
            return true;
    return false;
}

namespace {

// Made on first use: registrations from static initialisers of other units may come before this
// unit's own initialisation.
std::vector<const TClassInfo*>& Registry() {
    static std::vector<const TClassInfo*> registry;
    return registry;
}

constexpr const char* BooleanNames[] = {"False", "True"};

// The first entry named name (ASCII letter case ignored) of the tables that member picks, from cls up
// through its parents.
template <class T>
const T* FindInChain(const TClassInfo& cls, std::span<const T> TClassInfo::*member, std::string_view name) {
    for (const TClassInfo* c = &cls; c != nullptr; c = c->Parent)
        for (const T& entry : c->*member)
            if (rtl::SameText(entry.Name, name))
                return &entry;
    return nullptr;
}

} // namespace

void RegisterClass(const TClassInfo& cls) {
    const TClassInfo* known = FindClass(cls.Name);
    if (known == &cls)
        return;
    rtl::Assert(known == nullptr, cls.Name);
    Registry().push_back(&cls);
}

const TClassInfo* FindClass(std::string_view name) {
    const auto& registry = Registry();
    auto found = std::find_if(registry.begin(), registry.end(),
                              [name](const TClassInfo* cls) { return rtl::SameText(cls->Name, name); });
    return found == registry.end() ? nullptr : *found;
}

const TMethodInfo* FindMethod(const TClassInfo& cls, std::string_view name) {
    return FindInChain(cls, &TClassInfo::Methods, name);
}

TNotifyEvent MethodByName(TObject& instance, std::string_view name) {
    const TMethodInfo* method = FindMethod(instance.ClassType(), name);
    return method == nullptr ? TNotifyEvent{} : TNotifyEvent{method->Code, &instance};
}

constinit const TTypeInfo TypeInfoInteger{TTypeKind::tkInteger, "Integer"};
constinit const TTypeInfo TypeInfoBoolean{TTypeKind::tkBool, "Boolean", BooleanNames};
constinit const TTypeInfo TypeInfoDouble{TTypeKind::tkFloat, "Double"};
constinit const TTypeInfo TypeInfoShortString{TTypeKind::tkString, "ShortString"};
constinit const TTypeInfo TypeInfoAnsiString{TTypeKind::tkLString, "AnsiString"};
constinit const TTypeInfo TypeInfoWideString{TTypeKind::tkWString, "WideString"};
constinit const TTypeInfo TypeInfoNotifyEvent{TTypeKind::tkMethod, "TNotifyEvent"};

bool IsStringKind(TTypeKind kind) {
    return kind == TTypeKind::tkString || kind == TTypeKind::tkLString || kind == TTypeKind::tkWString;
}

bool IsObjectKind(TTypeKind kind) {
    return kind == TTypeKind::tkClass || kind == TTypeKind::tkComponentRef;
}

const TPropInfo* GetPropInfo(const TClassInfo& cls, std::string_view name) {
    return FindInChain(cls, &TClassInfo::Properties, name);
}

const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name) {
    return instance == nullptr ? nullptr : GetPropInfo(instance->ClassType(), name);
}

const TPropInfo& FindPropInfo(const TObject& instance, std::string_view name) {
    const TPropInfo* info = GetPropInfo(instance.ClassType(), name);
    if (info == nullptr)
        throw EPropertyError(SUnknownProperty, {name});
    return *info;
}

TTypeKind PropType(const TObject& instance, std::string_view name) {
    return FindPropInfo(instance, name).Kind();
}

namespace {

// The accessor of info for values of type V; a property of another representation raises.
template <class V> const TAccessor<V>& AccessorOf(const TPropInfo& info) {
    const auto* access = std::get_if<TAccessor<V>>(&info.Access);
    if (access == nullptr)
        throw EPropertyError(SInvalidPropertyType, {info.Name});
    return *access;
}

template <class V> V Get(const TObject& instance, const TPropInfo& info) {
    return AccessorOf<V>(info).Get(instance);
}

template <class V> void Set(TObject& instance, const TPropInfo& info, V value) {
    const TAccessor<V>& access = AccessorOf<V>(info);
    if (access.Set == nullptr)
        throw EPropertyError(SReadOnlyProperty, {info.Name});
    access.Set(instance, std::move(value));
}

constexpr std::size_t ShortStringMax = 255;

const TTypeInfo& EnumTypeOf(const TPropInfo& info) {
    if (info.Kind() != TTypeKind::tkEnumeration && info.Kind() != TTypeKind::tkBool)
        throw EPropertyError(SInvalidPropertyType, {info.Name});
    return *info.PropType;
}

} // namespace

std::int64_t GetOrdProp(const TObject& instance, const TPropInfo& info) {
    if (IsObjectKind(info.Kind()))
        return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(GetObjectProp(instance, info)));
    return Get<std::int64_t>(instance, info);
}

void SetOrdProp(TObject& instance, const TPropInfo& info, std::int64_t value) {
    Set<std::int64_t>(instance, info, value);
}

AnsiString GetStrProp(const TObject& instance, const TPropInfo& info) {
    if (info.Kind() == TTypeKind::tkWString)
        return rtl::WideToAnsi(Get<WideString>(instance, info));
    return Get<AnsiString>(instance, info);
}

void SetStrProp(TObject& instance, const TPropInfo& info, const AnsiString& value) {
    switch (info.Kind()) {
    case TTypeKind::tkWString:
        Set<WideString>(instance, info, rtl::AnsiToWide(value));
        break;
    case TTypeKind::tkString:
        Set<AnsiString>(instance, info, value.substr(0, ShortStringMax));
        break;
    default:
        Set<AnsiString>(instance, info, value);
    }
}

void SetStrProp(TObject& instance, std::string_view name, const AnsiString& value) {
    SetStrProp(instance, FindPropInfo(instance, name), value);
}

WideString GetWideStrProp(const TObject& instance, const TPropInfo& info) {
    if (info.Kind() == TTypeKind::tkWString)
        return Get<WideString>(instance, info);
    return rtl::AnsiToWide(GetStrProp(instance, info));
}

void SetWideStrProp(TObject& instance, const TPropInfo& info, const WideString& value) {
    if (info.Kind() == TTypeKind::tkWString)
        Set<WideString>(instance, info, value);
    else
        SetStrProp(instance, info, rtl::WideToAnsi(value));
}

AnsiString GetEnumProp(const TObject& instance, const TPropInfo& info) {
    return GetEnumName(EnumTypeOf(info), GetOrdProp(instance, info));
}

void SetEnumProp(TObject& instance, const TPropInfo& info, std::string_view identifier) {
    std::int64_t value = GetEnumValue(EnumTypeOf(info), identifier);
    if (value < 0)
        throw EPropertyError(SInvalidPropertyElement, {identifier});
    SetOrdProp(instance, info, value);
}

AnsiString GetEnumName(const TTypeInfo& type, std::int64_t value) {
    if (value < 0 || static_cast<std::uint64_t>(value) >= type.EnumNames.size())
        return {};
    return type.EnumNames[static_cast<std::size_t>(value)];
}

std::int64_t GetEnumValue(const TTypeInfo& type, std::string_view identifier) {
    for (std::size_t i = 0; i < type.EnumNames.size(); ++i)
        if (rtl::SameText(type.EnumNames[i], identifier))
            return static_cast<std::int64_t>(i);
    return -1;
}

double GetFloatProp(const TObject& instance, const TPropInfo& info) {
    return Get<double>(instance, info);
}

void SetFloatProp(TObject& instance, const TPropInfo& info, double value) {
    Set<double>(instance, info, value);
}

TObject* GetObjectProp(const TObject& instance, const TPropInfo& info) {
    return Get<TObject*>(instance, info);
}

void SetObjectProp(TObject& instance, const TPropInfo& info, TObject* value) {
    // The setter receives the property's own class: anything else is refused here.
    if (value != nullptr && !value->InheritsFrom(*info.PropType->ClassType))
        throw EPropertyError(SInvalidPropertyType, {info.Name});
    Set<TObject*>(instance, info, value);
}

TNotifyEvent GetMethodProp(const TObject& instance, const TPropInfo& info) {
    return Get<TNotifyEvent>(instance, info);
}

void SetMethodProp(TObject& instance, const TPropInfo& info, TNotifyEvent value) {
    Set<TNotifyEvent>(instance, info, value);
}
