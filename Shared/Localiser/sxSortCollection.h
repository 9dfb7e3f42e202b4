// The owning list of the framework and the base of everything such a list holds. Every list of the
// localiser derives from TsxSortCollection, through TsxSortCollectionOf, and its items from
// TsxSortCollectionItem, through TsxItemType.
//
// Ownership: a list owns the items that stand in it and deletes them in Clear and at its own
// destruction. Items live on the heap: they are made by TsxItemClass::Create (TsxSortCollection::Add,
// TsxItemType::Create). Deleting an item takes it out of its list first. An item that leaves its list
// through SetCollection(nullptr) belongs to the caller from then on.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class TsxSortCollection;
class TsxSortCollectionItem;

// The type of an item as a value: what a list needs to make items of a type it does not know
// statically, and to tell whether an item is of that type or of one derived from it. Every item type
// has one record, TItem::ClassInfo.
struct TsxItemClass {
    // The record of the type the item type derives from; none for TsxSortCollectionItem.
    const TsxItemClass* Parent;
    // A new item of the type, attached to collection (or to no list when it is none). The caller owns
    // an item made with no list.
    TsxSortCollectionItem* (*Create)(TsxSortCollection* collection);

    // True when this is ancestor or a type derived from it.
    bool InheritsFrom(const TsxItemClass& ancestor) const;
};

class TsxSortCollectionItem {
public:
    static const TsxItemClass ClassInfo;

    TsxSortCollectionItem() = default;
    TsxSortCollectionItem(const TsxSortCollectionItem&) = delete;
    TsxSortCollectionItem& operator=(const TsxSortCollectionItem&) = delete;
    // Leaves the list; no hook may fail here. The hooks see an item whose derived part is already gone.
    virtual ~TsxSortCollectionItem();

    // The record of the item's own type.
    virtual const TsxItemClass& ClassType() const { return ClassInfo; }

    TsxSortCollection* Collection() const { return collection_; }
    // The list's NextItemID when the item joined it.
    std::int32_t ItemID() const { return itemID_; }

    // The position in the list, by a linear search; -1 in no list.
    int GetIndex() const;
    // Leaves the current list, if any, and joins value, if any. An item of a type that value does not
    // hold raises EListError "Invalid property value" and is left in no list.
    virtual void SetCollection(TsxSortCollection* value);
    // Moves the item to position value; the items in between shift by one. Nothing happens in no list
    // or at the current position. A position outside the list raises the list-index error.
    virtual void SetIndex(int value);

protected:
    // Reports a change to the list unless its updates are suspended: of the whole list when allItems,
    // else of this item.
    void Changed(bool allItems);

private:
    friend class TsxSortCollection;

    TsxSortCollection* collection_ = nullptr;
    std::int32_t itemID_ = 0;
};

// Makes an item of type TItem attached to collection. Should a hook fail while it joins, the item is
// deleted again, which takes it out of the list.
template <class TItem> TsxSortCollectionItem* TsxCreateItem(TsxSortCollection* collection) {
    std::unique_ptr<TsxSortCollectionItem> item = std::make_unique<TItem>();
    item->SetCollection(collection);
    return item.release();
}

// The base of an item type TSelf derived from TBase: gives it its record and typed creation.
//   class TMyItem : public TsxItemType<TMyItem> { ... };
//   class TMyOtherItem : public TsxItemType<TMyOtherItem, TMyItem> { ... };
template <class TSelf, class TBase = TsxSortCollectionItem> class TsxItemType : public TBase {
public:
    static const TsxItemClass ClassInfo;

    const TsxItemClass& ClassType() const override { return ClassInfo; }

    static TSelf* Create(TsxSortCollection* collection) {
        return static_cast<TSelf*>(ClassInfo.Create(collection));
    }
};

template <class TSelf, class TBase>
constinit const TsxItemClass TsxItemType<TSelf, TBase>::ClassInfo{&TBase::ClassInfo, &TsxCreateItem<TSelf>};

class TsxSortCollection {
public:
    explicit TsxSortCollection(const TsxItemClass& itemClass) : itemClass_(&itemClass) {}
    TsxSortCollection(const TsxSortCollection&) = delete;
    TsxSortCollection& operator=(const TsxSortCollection&) = delete;
    // Deletes the items without any Update (see DestroyItems). No hook may fail here.
    virtual ~TsxSortCollection();

    // A new item of the list's item type; it stands last.
    TsxSortCollectionItem* Add();
    // Deletes every item, the last first.
    void Clear();
    int Count() const { return static_cast<int>(itemList_.size()); }
    // The item at index; outside 0 to Count() - 1 raises EListError "List index out of bounds (%d)".
    TsxSortCollectionItem* Items(int index) const {
        CheckIndex(index);
        return itemList_[static_cast<std::size_t>(index)];
    }
    // Swaps two items, with the index test of Items; no notification.
    void Exchange(int index1, int index2);

    // Nesting depth of BeginUpdate; change notification is suspended while it is not 0.
    std::int32_t UpdateCount() const { return updateCount_; }
    virtual void BeginUpdate();
    virtual void EndUpdate();
    // Orders the items by Compare. Not stable.
    virtual void Sort();

protected:
    // Negative, zero or positive as the item at index1 orders before, with or after the one at index2.
    virtual int Compare(int index1, int index2);
    // action 0: item has joined the list; action 1: item is about to leave it.
    virtual void Notify(TsxSortCollectionItem* item, int action);
    // The list has changed: item, or the whole list when item is none.
    virtual void Update(TsxSortCollectionItem* item);
    // item has just joined the list.
    virtual void SetItemName(TsxSortCollectionItem* item);
    // Calls Update(nullptr) unless updates are suspended.
    void Changed();
    // The item at index, which the caller knows to lie in 0 to Count() - 1: no index test.
    TsxSortCollectionItem* ItemAt(int index) const { return itemList_[static_cast<std::size_t>(index)]; }
    // Moves the item at curIndex to newIndex, the items in between shifting by one; the index test of
    // Items, no notification.
    void Move(int curIndex, int newIndex);

    // The start of the list's destruction: no Update from now on, and every item is deleted. The base
    // destructor does it, but by then the overrides of a derived list are gone; a list whose hooks must
    // hear its items leave calls this from its own destructor.
    void DestroyItems();

private:
    friend class TsxSortCollectionItem;

    void InsertItem(TsxSortCollectionItem* item);
    void RemoveItem(TsxSortCollectionItem* item);
    void CheckIndex(int index) const {
        if (index < 0 || index >= Count())
            RaiseIndexError(index);
    }
    [[noreturn]] static void RaiseIndexError(int index);
    void QuickSort(int l, int r);

    const TsxItemClass* itemClass_;
    std::vector<TsxSortCollectionItem*> itemList_;
    std::int32_t updateCount_ = 0;
    std::int32_t nextItemID_ = 0;
};

// The base of a list of TItem: hands the item type to TsxSortCollection and gives typed access.
//   class TMyList : public TsxSortCollectionOf<TMyItem> {};
template <class TItem> class TsxSortCollectionOf : public TsxSortCollection {
public:
    TsxSortCollectionOf() : TsxSortCollection(TItem::ClassInfo) {}

    TItem* Add() { return static_cast<TItem*>(TsxSortCollection::Add()); }
    TItem* Items(int index) const { return static_cast<TItem*>(TsxSortCollection::Items(index)); }

protected:
    TItem* ItemAt(int index) const { return static_cast<TItem*>(TsxSortCollection::ItemAt(index)); }
};

// A BeginUpdate/EndUpdate bracket. Close ends it; when an exception leaves the scope first, the
// destructor ends it, so that UpdateCount returns to its value before the bracket.
class TsxUpdateBracket {
public:
    explicit TsxUpdateBracket(TsxSortCollection& list) : list_(&list) { list_->BeginUpdate(); }
    TsxUpdateBracket(const TsxUpdateBracket&) = delete;
    TsxUpdateBracket& operator=(const TsxUpdateBracket&) = delete;
    ~TsxUpdateBracket();

    void Close();

private:
    TsxSortCollection* list_;
};
