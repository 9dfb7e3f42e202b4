// The persistent classes of the component model: TPersistent, components with their ownership,
// collections and string lists. None of them knows about windows: a control class of the window
// layer derives from these and overrides the hooks (Notification, TCollection::Update,
// TStrings::Changed) to bring its window up to date.
//
// Ownership: a component owns the components created with it as owner and deletes them, the last
// first, when it is destroyed; deleting an owned component takes it out of its owner first. A
// collection owns its items in the same way. A string list does not own the objects associated
// with its lines.
#pragma once

#include "TypInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

QRL_EXCEPTION_CLASS(EComponentError, Exception);

class TPersistent : public TObject {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    // Copies source into this object. The base asks source to copy itself (AssignTo); when neither
    // knows the other, EConvertError "Cannot assign a %s to a %s" (source's class, this class).
    virtual void Assign(const TPersistent& source);

protected:
    virtual void AssignTo(TPersistent& dest) const;
};

class TComponent : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    enum class TOperation { opInsert, opRemove };

    // A component with an owner belongs to it; without one, to whoever created it.
    explicit TComponent(TComponent* owner);
    // Deletes the owned components, the last first, then leaves the owner.
    ~TComponent() override;

    // Published: Name (a long 8-bit string), Tag (integer).
    const AnsiString& Name() const { return name_; }
    // An identifier (a letter or "_", then letters, digits and "_") or empty; otherwise EComponentError
    // "'%s' is not a valid component name". A name that another component of the same owner has
    // (ASCII letter case ignored) raises EComponentError "A component named %s already exists".
    virtual void SetName(const AnsiString& value);
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t value) { tag_ = value; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // The owned component at index; outside 0 to ComponentCount() - 1 raises EListError
    // "List index out of bounds (%d)".
    TComponent* Components(int index) const;
    // The owned component of that name, ASCII letter case ignored; none for an empty name or when
    // there is none. Only directly owned components are searched.
    TComponent* FindComponent(std::string_view name) const;

protected:
    // A component has joined (opInsert) or is leaving (opRemove) this component's ownership, or, passed
    // on from the owner, that of a sibling: a component that refers to another one clears its
    // reference here. The base passes the notice on to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_;
    AnsiString name_;
    std::int32_t tag_ = 0;
    std::vector<TComponent*> components_;
    // The named ones among components_, by name: FindComponent without a walk of the list.
    std::unordered_map<AnsiString, TComponent*, rtl::SameTextHash, rtl::SameTextEqual> names_;
};

class TCollection;

// An item of a collection: made by the collection's Add from the item class, or created with a
// collection, which it joins and which owns it from then on.
class TCollectionItem : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TCollectionItem(TCollection* collection);
    // Leaves the collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return collection_; }
    // The position in the collection; -1 in none.
    int Index() const;

protected:
    // Reports a change of the item (or, with allItems, of the whole collection) to the collection.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_;
};

// An owning list of items of one class, known by its record, so that a form reader can fill it.
class TCollection : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    // itemClass must be a creatable class derived from TCollectionItem (an internal fault otherwise).
    explicit TCollection(const TClassInfo& itemClass);
    // Deletes the items, the last first.
    ~TCollection() override;

    const TClassInfo& ItemClass() const { return *itemClass_; }
    // A new item of the item class; it stands last.
    TCollectionItem* Add();
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // The item at index; outside 0 to Count() - 1 raises EListError "List index out of bounds (%d)".
    TCollectionItem* Items(int index) const;

    // Replaces the items by copies of source's (items of this collection's class, each assigned from
    // the item at the same position) when source is a collection.
    void Assign(const TPersistent& source) override;

protected:
    // The collection has changed: item, or all of it when item is none.
    virtual void Update(TCollectionItem* item);

private:
    friend class TCollectionItem;

    const TClassInfo* itemClass_;
    std::vector<TCollectionItem*> items_;
};

// A list of 8-bit lines, each with an associated object (not owned). Abstract: a derived class holds
// the lines (TStringList in memory; a control of the window layer, in its window).
class TStrings : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    virtual int Count() const = 0;
    // The line or object at index; outside 0 to Count() - 1 raises EListError
    // "List index out of bounds (%d)".
    AnsiString Strings(int index) const;
    TObject* Objects(int index) const;
    // Replaces the line at index; its object stays. Same index test as Strings.
    void SetStrings(int index, const AnsiString& value);
    void SetObjects(int index, TObject* value);

    // Adds a line at the end; returns its index.
    int Add(const AnsiString& line);
    int AddObject(const AnsiString& line, TObject* object);
    // Inserts at 0 to Count(); another index raises the list-index error.
    void Insert(int index, const AnsiString& line);
    virtual void InsertObject(int index, const AnsiString& line, TObject* object) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    int IndexOf(std::string_view line) const;

    // Every line followed by CR LF. Setting it replaces the lines by the lines of value, which may be
    // broken by CR LF, CR or LF; a last line without a break counts as a line.
    AnsiString Text() const;
    void SetText(std::string_view value);

    // Changed notifications are held back while updates are suspended; the last EndUpdate sends one.
    void BeginUpdate();
    void EndUpdate();

    // Copies the lines and their objects of another string list.
    void Assign(const TPersistent& source) override;

protected:
    // The lines have changed; called by a derived class after each change while updates are not
    // suspended.
    virtual void Changed() {}
    void NotifyChanged();

    // Index tested by the callers.
    virtual AnsiString Get(int index) const = 0;
    virtual TObject* GetObject(int index) const = 0;
    virtual void Put(int index, const AnsiString& value) = 0;
    virtual void PutObject(int index, TObject* value) = 0;

    void CheckIndex(int index) const;
    void CheckInsertIndex(int index) const;

private:
    // Runs change between BeginUpdate and EndUpdate, also when it raises.
    void Updating(const std::function<void()>& change);

    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    TNotifyEvent OnChange;

    int Count() const override { return static_cast<int>(lines_.size()); }
    void InsertObject(int index, const AnsiString& line, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    void Changed() override { OnChange(this); }
    AnsiString Get(int index) const override { return lines_[static_cast<std::size_t>(index)].Text; }
    TObject* GetObject(int index) const override { return lines_[static_cast<std::size_t>(index)].Object; }
    void Put(int index, const AnsiString& value) override;
    void PutObject(int index, TObject* value) override;

private:
    struct Line {
        AnsiString Text;
        TObject* Object;
    };
    std::vector<Line> lines_;
};

// ---- Virtual construction ----

// The virtual constructor of T, for its TClassInfo: a component is made with owner as its owner, a
// collection item in owner as its collection, anything else without owner. The callers below check
// that owner is of the class T needs.
template <class T> TObject* ConstructObject(TObject* owner) {
    if constexpr (std::is_base_of_v<TComponent, T>)
        return new T(static_cast<TComponent*>(owner));
    else if constexpr (std::is_base_of_v<TCollectionItem, T>)
        return new T(static_cast<TCollection*>(owner));
    else
        return new T();
}

// A new component of a class known by its record (a creatable class derived from TComponent, an
// internal fault otherwise): owned by owner, or by the caller.
TComponent* CreateComponent(const TClassInfo& cls, TComponent& owner);
std::unique_ptr<TComponent> CreateComponent(const TClassInfo& cls);
