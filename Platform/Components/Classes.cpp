#include "Classes.h"

#include "Assert.h"
#include "ResStrings.h"

#include <algorithm>

namespace {

[[noreturn]] void RaiseIndexError(int index) {
    throw EListError(SListIndexError, {index});
}

bool IsIdentifier(std::string_view name) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (name.empty() || !letter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

constexpr TPropInfo ComponentProps[] = {
    StrProp<&TComponent::Name, &TComponent::SetName>("Name"),
    IntProp<&TComponent::Tag, &TComponent::SetTag>("Tag"),
};

} // namespace

constinit const TClassInfo TPersistent::ClassInfo{"TPersistent", &TObject::ClassInfo, nullptr, {}, {}};
constinit const TClassInfo TComponent::ClassInfo{
    "TComponent", &TPersistent::ClassInfo, &ConstructObject<TComponent>, ComponentProps, {}};
constinit const TClassInfo TCollectionItem::ClassInfo{
    "TCollectionItem", &TPersistent::ClassInfo, &ConstructObject<TCollectionItem>, {}, {}};
constinit const TClassInfo TCollection::ClassInfo{"TCollection", &TPersistent::ClassInfo, nullptr, {}, {}};
constinit const TClassInfo TStrings::ClassInfo{"TStrings", &TPersistent::ClassInfo, nullptr, {}, {}};
constinit const TClassInfo TStringList::ClassInfo{
    "TStringList", &TStrings::ClassInfo, &ConstructObject<TStringList>, {}, {}};

// ---- TPersistent ----

void TPersistent::Assign(const TPersistent& source) {
    source.AssignTo(*this);
}

void TPersistent::AssignTo(TPersistent& dest) const {
    throw EConvertError(SAssignError, {ClassName(), dest.ClassName()});
}

// ---- TComponent ----

TComponent::TComponent(TComponent* owner) : owner_(nullptr) {
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent() {
    while (!components_.empty())
        delete components_.back();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& value) {
    if (value == name_)
        return;
    if (!value.empty() && !IsIdentifier(value))
        throw EComponentError(SInvalidName, {value});
    if (owner_ != nullptr && !value.empty()) {
        const TComponent* other = owner_->FindComponent(value);
        if (other != nullptr && other != this)
            throw EComponentError(SDuplicateName, {value});
    }
    if (owner_ != nullptr) {
        // The new name may differ from the old one in letter case only: the entry is made anew.
        owner_->names_.erase(name_);
        if (!value.empty())
            owner_->names_.emplace(value, this);
    }
    name_ = value;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        RaiseIndexError(index);
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty())
        return nullptr;
    auto found = names_.find(name);
    return found == names_.end() ? nullptr : found->second;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    for (TComponent* owned : components_)
        owned->Notification(component, operation);
}

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
    if (!component->name_.empty())
        names_.emplace(component->name_, component);
    component->owner_ = this;
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    // Owned components mostly leave the last first (the destructor's order).
    auto found = std::find(components_.rbegin(), components_.rend(), component);
    if (found != components_.rend())
        components_.erase(std::next(found).base());
    if (!component->name_.empty())
        names_.erase(component->name_);
    component->owner_ = nullptr;
    Notification(component, TOperation::opRemove);
}

TComponent* CreateComponent(const TClassInfo& cls, TComponent& owner) {
    rtl::Assert(cls.Create != nullptr && cls.InheritsFrom(TComponent::ClassInfo), cls.Name);
    return static_cast<TComponent*>(cls.Create(&owner));
}

std::unique_ptr<TComponent> CreateComponent(const TClassInfo& cls) {
    rtl::Assert(cls.Create != nullptr && cls.InheritsFrom(TComponent::ClassInfo), cls.Name);
    return std::unique_ptr<TComponent>(static_cast<TComponent*>(cls.Create(nullptr)));
}

// ---- TCollectionItem, TCollection ----

TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {
    if (collection_ != nullptr)
        collection_->items_.push_back(this);
}

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr) {
        std::erase(collection_->items_, this);
        collection_->Update(nullptr);
    }
}

int TCollectionItem::Index() const {
    if (collection_ == nullptr)
        return -1;
    const auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_ != nullptr)
        collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(const TClassInfo& itemClass) : itemClass_(&itemClass) {
    rtl::Assert(itemClass.Create != nullptr && itemClass.InheritsFrom(TCollectionItem::ClassInfo),
                itemClass.Name);
}

TCollection::~TCollection() {
    // The items must not report to a collection that is half gone.
    for (TCollectionItem* item : items_)
        item->collection_ = nullptr;
    while (!items_.empty()) {
        TCollectionItem* item = items_.back();
        items_.pop_back();
        delete item;
    }
}

TCollectionItem* TCollection::Add() {
    auto* item = static_cast<TCollectionItem*>(itemClass_->Create(this));
    Update(nullptr);
    return item;
}

void TCollection::Clear() {
    while (!items_.empty())
        delete items_.back();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        RaiseIndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

void TCollection::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TCollection*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    Clear();
    for (const TCollectionItem* item : other->items_)
        Add()->Assign(*item);
}

void TCollection::Update(TCollectionItem*) {}

// ---- TStrings ----

AnsiString TStrings::Strings(int index) const {
    CheckIndex(index);
    return Get(index);
}

TObject* TStrings::Objects(int index) const {
    CheckIndex(index);
    return GetObject(index);
}

void TStrings::SetStrings(int index, const AnsiString& value) {
    CheckIndex(index);
    Put(index, value);
}

void TStrings::SetObjects(int index, TObject* value) {
    CheckIndex(index);
    PutObject(index, value);
}

int TStrings::Add(const AnsiString& line) {
    return AddObject(line, nullptr);
}

int TStrings::AddObject(const AnsiString& line, TObject* object) {
    int index = Count();
    InsertObject(index, line, object);
    return index;
}

void TStrings::Insert(int index, const AnsiString& line) {
    InsertObject(index, line, nullptr);
}

int TStrings::IndexOf(std::string_view line) const {
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(Get(i), line))
            return i;
    return -1;
}

AnsiString TStrings::Text() const {
    AnsiString text;
    for (int i = 0; i < Count(); ++i)
        text.append(Get(i)).append("\r\n");
    return text;
}

void TStrings::SetText(std::string_view value) {
    Updating([&] {
        Clear();
        std::size_t start = 0;
        while (start < value.size()) {
            std::size_t end = value.find_first_of("\r\n", start);
            if (end == std::string_view::npos)
                end = value.size();
            Add(AnsiString(value.substr(start, end - start)));
            start = end;
            if (start < value.size() && value[start] == '\r')
                ++start;
            if (start < value.size() && value[start] == '\n')
                ++start;
        }
    });
}

void TStrings::BeginUpdate() {
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (--updateCount_ == 0)
        Changed();
}

void TStrings::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TStrings*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    Updating([&] {
        Clear();
        for (int i = 0; i < other->Count(); ++i)
            AddObject(other->Get(i), other->GetObject(i));
    });
}

void TStrings::Updating(const std::function<void()>& change) {
    BeginUpdate();
    try {
        change();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::NotifyChanged() {
    if (updateCount_ == 0)
        Changed();
}

void TStrings::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        RaiseIndexError(index);
}

void TStrings::CheckInsertIndex(int index) const {
    if (index < 0 || index > Count())
        RaiseIndexError(index);
}

// ---- TStringList ----

void TStringList::InsertObject(int index, const AnsiString& line, TObject* object) {
    CheckInsertIndex(index);
    lines_.insert(lines_.begin() + index, Line{line, object});
    NotifyChanged();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    lines_.erase(lines_.begin() + index);
    NotifyChanged();
}

void TStringList::Clear() {
    if (lines_.empty())
        return;
    lines_.clear();
    NotifyChanged();
}

void TStringList::Put(int index, const AnsiString& value) {
    lines_[static_cast<std::size_t>(index)].Text = value;
    NotifyChanged();
}

void TStringList::PutObject(int index, TObject* value) {
    lines_[static_cast<std::size_t>(index)].Object = value;
    NotifyChanged();
}

namespace {

const TClassRegistration registrations[] = {
    TClassRegistration{TComponent::ClassInfo},
    TClassRegistration{TCollectionItem::ClassInfo},
    TClassRegistration{TStringList::ClassInfo},
};

} // namespace
