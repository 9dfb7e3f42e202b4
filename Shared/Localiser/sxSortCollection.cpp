#include "sxSortCollection.h"

#include "Assert.h"
#include "Exceptions.h"
#include "ResStrings.h"

#include <algorithm>

// TsxSortCollectionItem

constinit const TClassInfo TsxSortCollectionItem::ClassInfo{
    "TsxSortCollectionItem", &TPersistent::ClassInfo, &TsxConstructItem<TsxSortCollectionItem>, {}, {}};
constinit const TClassInfo TsxSortCollection::ClassInfo{
    "TsxSortCollection", &TPersistent::ClassInfo, nullptr, {}, {}};

TsxSortCollectionItem::~TsxSortCollectionItem() {
    SetCollection(nullptr);
}

int TsxSortCollectionItem::GetIndex() const {
    if (collection_ == nullptr)
        return -1;
    collection_->PlaceItems();
    const auto& list = collection_->itemList_;
    const auto found = std::find(list.begin(), list.end(), this);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

void TsxSortCollectionItem::SetCollection(TsxSortCollection* value) {
    if (value == collection_)
        return;
    if (collection_ != nullptr)
        collection_->RemoveItem(this);
    if (value != nullptr)
        value->InsertItem(this);
}

void TsxSortCollectionItem::SetIndex(int value) {
    const int current = GetIndex();
    if (current < 0 || current == value)
        return;
    collection_->Move(current, value);
    Changed(true);
}

void TsxSortCollectionItem::Changed(bool allItems) {
    if (collection_ != nullptr && collection_->updateCount_ == 0)
        collection_->Update(allItems ? nullptr : this);
}

// TsxSortCollection

void TsxSortCollection::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    PlaceItems();
    const auto first = itemList_.begin();
    if (curIndex < newIndex)
        std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
    else
        std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
}

TsxSortCollection::TsxSortCollection(const TClassInfo& itemClass) : itemClass_(&itemClass) {
    rtl::Assert(itemClass.Create != nullptr && itemClass.InheritsFrom(TsxSortCollectionItem::ClassInfo),
                itemClass.Name);
}

TsxSortCollection::~TsxSortCollection() {
    DestroyItems();
}

void TsxSortCollection::DestroyItems() {
    updateCount_ = 1;
    Clear();
}

TsxSortCollectionItem* TsxSortCollection::Add() {
    auto* item = static_cast<TsxSortCollectionItem*>(itemClass_->Create(this));
    // The item has reported itself on joining; the list reports it once more as added.
    Notify(item, 0);
    return item;
}

void TsxSortCollection::Clear() {
    if (itemList_.empty())
        return;
    PlaceItems(); // the items leave the last first, in the order that the list shows
    TsxUpdateBracket bracket(*this);
    while (!itemList_.empty()) {
        TsxSortCollectionItem* item = itemList_.back();
        // The item leaves before it is deleted: a hook that fails while it leaves stops the clearing
        // with the item alive and still in the list, and the deletion itself cannot fail.
        item->SetCollection(nullptr);
        delete item;
    }
    bracket.Close();
}

void TsxSortCollection::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    PlaceItems();
    std::swap(itemList_[static_cast<std::size_t>(index1)], itemList_[static_cast<std::size_t>(index2)]);
}

void TsxSortCollection::BeginUpdate() {
    ++updateCount_;
}

void TsxSortCollection::EndUpdate() {
    --updateCount_;
    Changed();
}

void TsxSortCollection::Changed() {
    if (updateCount_ == 0)
        Update(nullptr);
}

void TsxSortCollection::Sort() {
    PlaceItems();
    TsxUpdateBracket bracket(*this);
    // An empty list has no range to sort: QuickSort(0, -1) would compare positions that do not exist.
    if (!itemList_.empty())
        QuickSort(0, Count() - 1);
    bracket.Close();
}

int TsxSortCollection::Compare(int, int) {
    return 0;
}

void TsxSortCollection::Notify(TsxSortCollectionItem*, int) {}

void TsxSortCollection::Update(TsxSortCollectionItem*) {}

void TsxSortCollection::SetItemName(TsxSortCollectionItem*) {}

void TsxSortCollection::InsertItem(TsxSortCollectionItem* item) {
    if (!item->ClassType().InheritsFrom(*itemClass_))
        throw EListError(AnsiString("Invalid property value"));
    itemList_.push_back(item);
    item->collection_ = this;
    item->itemID_ = nextItemID_++;
    SetItemName(item);
    Notify(item, 0);
    Changed();
}

void TsxSortCollection::RemoveItem(TsxSortCollectionItem* item) {
    PlaceItems();
    Notify(item, 1);
    if (!itemList_.empty() && itemList_.back() == item) {
        itemList_.pop_back();
    } else {
        const auto found = std::find(itemList_.begin(), itemList_.end(), item);
        if (found != itemList_.end())
            itemList_.erase(found);
    }
    item->collection_ = nullptr;
    Changed();
}

TsxSortCollectionItem* TsxSortCollection::AddUnplaced(TItemPlacer placer) {
    // Items that joined otherwise stand behind the waiting ones: those are placed first, so that the
    // waiting items stay one run.
    if (unplacedTo_ != itemList_.size())
        PlaceItems();
    TsxSortCollectionItem* item = Add();
    // Add leaves the new item last. A hook that read a position while it joined has placed the items
    // that waited before it.
    if (!HasUnplaced())
        unplacedFrom_ = itemList_.size() - 1;
    unplacedTo_ = itemList_.size();
    placer_ = placer;
    return item;
}

void TsxSortCollection::PlaceWaitingItems() const {
    const std::size_t from = unplacedFrom_;
    const std::size_t to = unplacedTo_;
    unplacedFrom_ = unplacedTo_ = 0;
    placer_(itemList_, from, to);
}

void TsxSortCollection::RaiseIndexError(int index) {
    throw EListError(SListIndexError, {index});
}

// Positions are compared, not values: the pivot position follows the pivot item when it is moved.
void TsxSortCollection::QuickSort(int l, int r) {
    int i;
    do {
        i = l;
        int j = r;
        int p = static_cast<int>((static_cast<std::uint32_t>(l) + static_cast<std::uint32_t>(r)) >> 1);
        do {
            while (Compare(i, p) < 0)
                ++i;
            while (Compare(j, p) > 0)
                --j;
            if (i <= j) {
                Exchange(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j)
            QuickSort(l, j);
        l = i;
    } while (i < r);
}

// TsxUpdateBracket

TsxUpdateBracket::~TsxUpdateBracket() {
    if (list_ == nullptr)
        return;
    // An exception is on its way out of the bracket. A failing notification must not replace it: a
    // second exception leaving a destructor would end the program.
    try {
        list_->EndUpdate();
    } catch (...) {
    }
}

void TsxUpdateBracket::Close() {
    TsxSortCollection* list = list_;
    list_ = nullptr;
    list->EndUpdate();
}
