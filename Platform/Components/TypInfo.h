// Run-time type information of the component model: every class has a record (TClassInfo) with its
// name, its parent, a virtual constructor and the table of its published properties; the class
// registry finds such records by name; the free functions below read and write published properties
// of an instance by their records, as a form reader or the form translation does.
//
// A class publishes its properties in a constant table of TPropInfo built by the helpers at the end
// of this header, from member-function (or data-member) pointers:
//
//   constexpr TPropInfo LabelProps[] = {
//       StrProp<&TLabel::Caption, &TLabel::SetCaption>("Caption"),
//       ObjectProp<&TLabel::Font>("Font"),
//   };
//
// Values travel as one representation per group of kinds: ordinal kinds as 64-bit integers (an
// enumeration as its ordinal, a set as its bit mask with bit n for ordinal n), 8-bit strings as
// AnsiString, wide strings as WideString, floats as double, object-valued properties as TObject*
// and events as TNotifyEvent.
#pragma once

#include "Exceptions.h"
#include "RtlStrings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>

QRL_EXCEPTION_CLASS(EPropertyError, Exception);

class TObject;
struct TPropInfo;
struct TMethodInfo;

struct TClassInfo {
    const char* Name;
    // The class it derives from; none for TObject.
    const TClassInfo* Parent;
    // The virtual constructor; none for an abstract class. Its argument, and who owns the result, is
    // what the class family says: a component's owner (see CreateComponent), a collection item's
    // collection; other classes ignore it and the caller owns the object.
    TObject* (*Create)(TObject* owner);
    // The properties this class publishes itself; a parent's properties are found through Parent.
    std::span<const TPropInfo> Properties;
    // The methods it publishes, by which events are bound by name.
    std::span<const TMethodInfo> Methods;

    // True when this is ancestor or a class derived from it.
    bool InheritsFrom(const TClassInfo& ancestor) const;
};

// The root of every class with a record.
class TObject {
public:
    static const TClassInfo ClassInfo;

    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // The record of the object's own class; every class with a record overrides it.
    virtual const TClassInfo& ClassType() const { return ClassInfo; }
    const char* ClassName() const { return ClassType().Name; }
    bool InheritsFrom(const TClassInfo& ancestor) const { return ClassType().InheritsFrom(ancestor); }
};

// ---- The class registry ----

// Makes cls known by name. Registering the same record again does nothing; another record under a
// name already taken (ASCII letter case ignored) is an internal fault. The registry is made on first
// use, so registration from static initialisers is safe in any order.
void RegisterClass(const TClassInfo& cls);
// The registered class of that name, ASCII letter case ignored; none if there is none.
const TClassInfo* FindClass(std::string_view name);

// Registers a class from a static initialiser of the unit that defines it:
//   const TClassRegistration registerLabel{TLabel::ClassInfo};
struct TClassRegistration {
    explicit TClassRegistration(const TClassInfo& cls) { RegisterClass(cls); }
};

// ---- Events ----

// An event: a method bound to the object it is called on, or none. Events of the component model
// have one signature, the notification with the sender.
struct TNotifyEvent {
    void (*Code)(TObject& self, TObject* sender) = nullptr;
    TObject* Data = nullptr;

    explicit operator bool() const { return Code != nullptr && Data != nullptr; }
    void operator()(TObject* sender) const {
        if (*this)
            Code(*Data, sender);
    }
    friend bool operator==(const TNotifyEvent&, const TNotifyEvent&) = default;
};

// A published method: the way a form reader binds an event by the method's name.
struct TMethodInfo {
    const char* Name;
    void (*Code)(TObject& self, TObject* sender);
};

// The published method of that name (ASCII letter case ignored) through the class chain; none if
// there is none.
const TMethodInfo* FindMethod(const TClassInfo& cls, std::string_view name);
// The event that calls instance's published method of that name; an empty event if there is none.
TNotifyEvent MethodByName(TObject& instance, std::string_view name);

// ---- Property information ----

enum class TTypeKind {
    tkInteger,
    tkEnumeration,
    tkBool,
    tkSet,
    tkFloat,
    tkString,       // short 8-bit string: at most 255 bytes
    tkLString,      // long 8-bit string
    tkWString,      // wide (UTF-16) string
    tkClass,        // an object that the instance holds, such as a Font or the Lines of a memo
    tkComponentRef, // another component, referred to and not owned
    tkMethod,       // an event
};

struct TTypeInfo {
    TTypeKind Kind;
    const char* Name;
    // Enumeration: the identifiers of the values, by ordinal.
    std::span<const char* const> EnumNames = {};
    // Set: the enumeration of its elements.
    const TTypeInfo* ElementType = nullptr;
    // Object and component reference: the class of the value.
    const TClassInfo* ClassType = nullptr;
};

extern const TTypeInfo TypeInfoInteger;
extern const TTypeInfo TypeInfoBoolean;
extern const TTypeInfo TypeInfoDouble;
extern const TTypeInfo TypeInfoShortString;
extern const TTypeInfo TypeInfoAnsiString;
extern const TTypeInfo TypeInfoWideString;
extern const TTypeInfo TypeInfoNotifyEvent;

// The type of an enumeration with its identifiers, and of a set of its values.
constexpr TTypeInfo EnumType(const char* name, std::span<const char* const> names) {
    return {TTypeKind::tkEnumeration, name, names};
}
constexpr TTypeInfo SetType(const char* name, const TTypeInfo& elements) {
    return {TTypeKind::tkSet, name, {}, &elements};
}
// The type of an object-valued property holding a T (TTypeKind::tkClass or tkComponentRef).
template <class T, TTypeKind kind>
inline constexpr TTypeInfo ObjectType{kind, nullptr, {}, nullptr, &T::ClassInfo};

// How a property is read and written: one getter and setter pair for the representation of its kind.
// A setter may be none (a read-only property).
template <class V> struct TAccessor {
    V (*Get)(const TObject&);
    void (*Set)(TObject&, V);
};
using TPropAccessor = std::variant<TAccessor<std::int64_t>, TAccessor<AnsiString>, TAccessor<WideString>,
                                   TAccessor<double>, TAccessor<TObject*>, TAccessor<TNotifyEvent>>;

struct TPropInfo {
    const char* Name;
    const TTypeInfo* PropType;
    TPropAccessor Access;

    TTypeKind Kind() const { return PropType->Kind; }
};

// The three string kinds, and the two kinds whose value is an object.
bool IsStringKind(TTypeKind kind);
bool IsObjectKind(TTypeKind kind);

// The published property of that name, ASCII letter case ignored, through the class chain (a class's
// own property hides a parent's of the same name); none if there is none or instance is none.
const TPropInfo* GetPropInfo(const TClassInfo& cls, std::string_view name);
const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name);
// The same, but an unknown name raises EPropertyError "Property %s does not exist".
const TPropInfo& FindPropInfo(const TObject& instance, std::string_view name);
// The kind of instance's published property name; raises EPropertyError "Property %s does not exist"
// when there is no such property.
TTypeKind PropType(const TObject& instance, std::string_view name);

// The accessors below take the record of one of instance's own properties. A kind that the
// operation does not take raises EPropertyError "Invalid property type: %s" (with the property's
// name); writing a property without setter raises EPropertyError "Property %s is read-only".

// Ordinal kinds: the value as an integer (an enumeration's ordinal, a Boolean as 0 or 1, a set's bit
// mask). Object kinds: the identity of the object held, its address, 0 for none; GetObjectProp gives
// the object itself.
std::int64_t GetOrdProp(const TObject& instance, const TPropInfo& info);
void SetOrdProp(TObject& instance, const TPropInfo& info, std::int64_t value);

// String kinds. An 8-bit text is converted as the kind requires: a wide string gets its UTF-16 form
// in the ANSI code page, a short string keeps its first 255 bytes; reading a wide string gives its
// ANSI form.
AnsiString GetStrProp(const TObject& instance, const TPropInfo& info);
void SetStrProp(TObject& instance, const TPropInfo& info, const AnsiString& value);
void SetStrProp(TObject& instance, std::string_view name, const AnsiString& value);
WideString GetWideStrProp(const TObject& instance, const TPropInfo& info);
void SetWideStrProp(TObject& instance, const TPropInfo& info, const WideString& value);

// Enumerations and Booleans by identifier ("taCenter", "True"). An identifier that the type lacks
// raises EPropertyError "Invalid property element: %s".
AnsiString GetEnumProp(const TObject& instance, const TPropInfo& info);
void SetEnumProp(TObject& instance, const TPropInfo& info, std::string_view identifier);
// The identifier of an ordinal of an enumeration or Boolean type (empty when out of range), and the
// ordinal of an identifier (ASCII letter case ignored; -1 if there is none).
AnsiString GetEnumName(const TTypeInfo& type, std::int64_t value);
std::int64_t GetEnumValue(const TTypeInfo& type, std::string_view identifier);

double GetFloatProp(const TObject& instance, const TPropInfo& info);
void SetFloatProp(TObject& instance, const TPropInfo& info, double value);

// Object kinds. Setting a tkClass property hands the value to the class's setter, which normally
// copies it into the object held (Assign); a component reference stores the pointer.
TObject* GetObjectProp(const TObject& instance, const TPropInfo& info);
void SetObjectProp(TObject& instance, const TPropInfo& info, TObject* value);

TNotifyEvent GetMethodProp(const TObject& instance, const TPropInfo& info);
void SetMethodProp(TObject& instance, const TPropInfo& info, TNotifyEvent value);

// ---- Declaring published properties ----
//
// Get is a member function returning the value (or a data member); Set, when given, a member
// function taking it. Their class is deduced from the pointers.

namespace typinfo_detail {

template <class M> struct MemberOf;
template <class C, class T> struct MemberOf<T C::*> { using Class = C; };
template <auto Member> using ClassOf = typename MemberOf<decltype(Member)>::Class;

template <auto Get>
using ValueOf = std::remove_cvref_t<std::invoke_result_t<decltype(Get), const ClassOf<Get>&>>;

template <class V, auto Get> V Read(const TObject& instance) {
    return static_cast<V>(std::invoke(Get, static_cast<const ClassOf<Get>&>(instance)));
}
template <class V, auto Get, auto Set> void Write(TObject& instance, V value) {
    std::invoke(Set, static_cast<ClassOf<Set>&>(instance), static_cast<ValueOf<Get>>(value));
}
template <class V, auto Get, auto Set> constexpr TPropAccessor Accessor() {
    if constexpr (std::is_null_pointer_v<decltype(Set)>)
        return TAccessor<V>{&Read<V, Get>, nullptr};
    else
        return TAccessor<V>{&Read<V, Get>, &Write<V, Get, Set>};
}

} // namespace typinfo_detail

// Integer, enumeration, Boolean and set properties; the value is any integral or enumeration type.
template <auto Get, auto Set = nullptr> constexpr TPropInfo OrdProp(const char* name, const TTypeInfo& type) {
    return {name, &type, typinfo_detail::Accessor<std::int64_t, Get, Set>()};
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo IntProp(const char* name) {
    return OrdProp<Get, Set>(name, TypeInfoInteger);
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo BoolProp(const char* name) {
    return OrdProp<Get, Set>(name, TypeInfoBoolean);
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo FloatProp(const char* name) {
    return {name, &TypeInfoDouble, typinfo_detail::Accessor<double, Get, Set>()};
}
// A long 8-bit string; ShortStrProp a short one. Both hold an AnsiString.
template <auto Get, auto Set = nullptr> constexpr TPropInfo StrProp(const char* name) {
    return {name, &TypeInfoAnsiString, typinfo_detail::Accessor<AnsiString, Get, Set>()};
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo ShortStrProp(const char* name) {
    return {name, &TypeInfoShortString, typinfo_detail::Accessor<AnsiString, Get, Set>()};
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo WideStrProp(const char* name) {
    return {name, &TypeInfoWideString, typinfo_detail::Accessor<WideString, Get, Set>()};
}
// An object the instance holds: Get returns a pointer to it; Set, if any, takes a pointer to a value
// of the same class.
template <auto Get, auto Set = nullptr> constexpr TPropInfo ObjectProp(const char* name) {
    using T = std::remove_pointer_t<typinfo_detail::ValueOf<Get>>;
    return {name, &ObjectType<T, TTypeKind::tkClass>, typinfo_detail::Accessor<TObject*, Get, Set>()};
}
// A reference to another component.
template <auto Get, auto Set = nullptr> constexpr TPropInfo ComponentRefProp(const char* name) {
    using T = std::remove_pointer_t<typinfo_detail::ValueOf<Get>>;
    return {name, &ObjectType<T, TTypeKind::tkComponentRef>, typinfo_detail::Accessor<TObject*, Get, Set>()};
}
template <auto Get, auto Set = nullptr> constexpr TPropInfo EventProp(const char* name) {
    return {name, &TypeInfoNotifyEvent, typinfo_detail::Accessor<TNotifyEvent, Get, Set>()};
}

// A published method: a member function taking the sender.
template <auto Method> constexpr TMethodInfo PublishedMethod(const char* name) {
    return {name, [](TObject& self, TObject* sender) {
                (static_cast<typinfo_detail::ClassOf<Method>&>(self).*Method)(sender);
            }};
}
