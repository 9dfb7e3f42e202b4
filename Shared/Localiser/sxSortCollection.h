// The owning list of the framework and the base of everything such a list holds. Every list of the
// localiser derives from TsxSortCollection, through TsxSortCollectionOf, and its items from
// TsxSortCollectionItem, through TsxItemType.
//
// Ownership: a list owns the items that stand in it and deletes them in Clear and at its own
// destruction. Items live on the heap: they are made by the item type's virtual constructor
// (TsxSortCollection::Add, TsxItemType::Create). Deleting an item takes it out of its list first. An item
// that leaves its list through SetCollection(nullptr) belongs to the caller from then on.
#pragma once

#include "Classes.h"

#include <cstdint>
#include <memory>
#include <vector>

class TsxSortCollection;
class TsxSortCollectionItem;

// An item: a persistent object whose class record (TClassInfo) is its type as a value. The record's
// virtual constructor makes an item attached to the list it is given (or to no list for none); the
// caller owns an item made with no list. A list tells by the record whether an item is of its type.
class TsxSortCollectionItem : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    TsxSortCollectionItem() = default;
    // Leaves the list; no hook may fail here. The hooks see an item whose derived part is already gone.
    ~TsxSortCollectionItem() override;

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

// The virtual constructor of an item type's record: its argument is the list (or none).
template <class TItem> TObject* TsxConstructItem(TObject* collection);

// The base of an item type TSelf derived from TBase: gives it its record, named by TSelf::TypeName,
// and typed creation.
//   class TMyItem : public TsxItemType<TMyItem> {
//   public:
//       static constexpr char TypeName[] = "TMyItem";
//   };
//   class TMyOtherItem : public TsxItemType<TMyOtherItem, TMyItem> { ... };
template <class TSelf, class TBase = TsxSortCollectionItem> class TsxItemType : public TBase {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    static TSelf* Create(TsxSortCollection* collection) {
        return static_cast<TSelf*>(TsxCreateItem<TSelf>(collection));
    }
};

template <class TSelf, class TBase>
constinit const TClassInfo TsxItemType<TSelf, TBase>::ClassInfo{
    TSelf::TypeName, &TBase::ClassInfo, &TsxConstructItem<TSelf>, {}, {}};

class TsxSortCollection : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    // itemClass: the record of TsxSortCollectionItem or of a class derived from it (an internal fault
    // otherwise).
    explicit TsxSortCollection(const TClassInfo& itemClass);
    // Deletes the items without any Update (see DestroyItems). No hook may fail here.
    ~TsxSortCollection() override;

    // A new item of the list's item type; it stands last.
    TsxSortCollectionItem* Add();
    // Deletes every item, the last first.
    void Clear();
    int Count() const { return static_cast<int>(itemList_.size()); }
    // The item at index; outside 0 to Count() - 1 raises EListError "List index out of bounds (%d)".
    TsxSortCollectionItem* Items(int index) const {
        CheckIndex(index);
        return ItemAt(index);
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
    TsxSortCollectionItem* ItemAt(int index) const {
        PlaceItems();
        return itemList_[static_cast<std::size_t>(index)];
    }
    // The items in their places, for a walk that reads many positions: no test per position.
    TsxSortCollectionItem* const* PlacedItems() const {
        PlaceItems();
        return itemList_.data();
    }
    // Moves the item at curIndex to newIndex, the items in between shifting by one; the index test of
    // Items, no notification.
    void Move(int curIndex, int newIndex);

    // Moves the items at [from, to) of items, which joined in this order behind the ones before them,
    // into their places among those.
    using TItemPlacer = void (*)(std::vector<TsxSortCollectionItem*>& items, std::size_t from,
                                 std::size_t to);
    // Add for a list that keeps its items in an order of its own. The new item joins at the end, as with
    // Add, and placer moves it into its place, together with every item added so since, the next time
    // a position is read or changed (Items, ItemAt, GetIndex, Exchange, Move, Sort, an item leaving,
    // Clear). No one sees a position before that, so the order is at every moment the one that moving
    // each item into place as it was added would give; a list that adds many items pays for one
    // placing instead of one per item. Count needs no placing.
    TsxSortCollectionItem* AddUnplaced(TItemPlacer placer);
    // Whether items added by AddUnplaced still wait for their places.
    bool HasUnplaced() const { return unplacedFrom_ != unplacedTo_; }

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
    // Moves the items that wait for their places into them (AddUnplaced).
    void PlaceItems() const {
        if (HasUnplaced())
            PlaceWaitingItems();
    }
    void PlaceWaitingItems() const;

    const TClassInfo* itemClass_;
    // Mutable for the placing of waiting items, which changes no position that anyone has seen.
    mutable std::vector<TsxSortCollectionItem*> itemList_;
    // The items at [unplacedFrom_, unplacedTo_) wait for placer_ to move them into place; the ones
    // behind them joined otherwise and stay where they are.
    mutable std::size_t unplacedFrom_ = 0;
    mutable std::size_t unplacedTo_ = 0;
    TItemPlacer placer_ = nullptr;
    std::int32_t updateCount_ = 0;
    std::int32_t nextItemID_ = 0;
};

template <class TItem> TObject* TsxConstructItem(TObject* collection) {
    return TsxCreateItem<TItem>(static_cast<TsxSortCollection*>(collection));
}

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
