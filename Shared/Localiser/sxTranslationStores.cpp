#include "sxTranslationStores.h"

#include "Os.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

void TsxResourceStringsItem::SetText(WideString Text) {
    text_ = std::move(Text);
    ansiText_.reset();
}

const AnsiString& TsxResourceStringsItem::AnsiText() const {
    const unsigned codePage = os::AnsiCodePage();
    if (ansiText_ == nullptr || ansiCodePage_ != codePage) {
        ansiText_ = std::make_unique<AnsiString>(rtl::WideToAnsi(text_));
        ansiCodePage_ = codePage;
    }
    return *ansiText_;
}

namespace {

std::int32_t IdentifierOf(const TsxSortCollectionItem* item) {
    return static_cast<const TsxResourceStringsItem*>(item)->Identifier;
}

bool IdentifierLess(const TsxSortCollectionItem* a, const TsxSortCollectionItem* b) {
    return IdentifierOf(a) < IdentifierOf(b);
}

// Orders the run [first, first + n) stably by identifier. The identifiers are read once into an array
// with each item's place in the run, which is sorted; the items are then moved along the cycles of
// that order. Without memory for the array, a stable sort over the items themselves.
void SortRunByIdentifier(TsxSortCollectionItem** first, std::size_t n) {
    struct Key {
        std::int32_t identifier;
        std::uint32_t at; // the item's place in the run; UINT32_MAX once its new place is filled
    };
    const std::unique_ptr<Key[]> keys(n <= UINT32_MAX ? new (std::nothrow) Key[n] : nullptr);
    if (keys == nullptr) {
        std::stable_sort(first, first + n, IdentifierLess);
        return;
    }
    for (std::size_t k = 0; k < n; ++k)
        keys[k] = {IdentifierOf(first[k]), static_cast<std::uint32_t>(k)};
    std::sort(keys.get(), keys.get() + n, [](const Key& a, const Key& b) {
        return a.identifier < b.identifier || (a.identifier == b.identifier && a.at < b.at);
    });
    // Place k takes the item from place keys[k].at.
    for (std::size_t start = 0; start < n; ++start) {
        if (keys[start].at == UINT32_MAX)
            continue;
        TsxSortCollectionItem* const held = first[start];
        std::size_t k = start;
        while (keys[k].at != start) {
            const std::size_t from = keys[k].at;
            first[k] = first[from];
            keys[k].at = UINT32_MAX;
            k = from;
        }
        first[k] = held;
        keys[k].at = UINT32_MAX;
    }
}

// The items before `from` are in order. Moving each waiting item in turn behind the last item whose
// identifier is equal or smaller gives the stable order by identifier of all of them: the waiting
// run sorted stably, then merged stably behind the equal ones that stood before it.
void PlaceByIdentifier(std::vector<TsxSortCollectionItem*>& items, std::size_t from, std::size_t to) {
    const auto first = items.begin();
    const auto middle = first + static_cast<std::ptrdiff_t>(from);
    const auto last = first + static_cast<std::ptrdiff_t>(to);
    if (to - from == 1) {
        std::rotate(std::upper_bound(first, middle, *middle, IdentifierLess), middle, last);
        return;
    }
    SortRunByIdentifier(items.data() + from, to - from);
    std::inplace_merge(first, middle, last, IdentifierLess);
}

} // namespace

TsxResourceStringsItem* TsxResourceStringsList::Add(std::int32_t Identifier, WideString Text) {
    // An item that belongs at the end stands there at once; any other waits for its place, so that a
    // load of identifiers out of order places them all at once instead of moving the items behind
    // each new one.
    const bool inPlace = !HasUnplaced() && (Count() == 0 || ItemAt(Count() - 1)->Identifier <= Identifier);
    auto* item = static_cast<TsxResourceStringsItem*>(inPlace ? TsxSortCollection::Add()
                                                              : AddUnplaced(&PlaceByIdentifier));
    item->Identifier = Identifier;
    item->SetText(std::move(Text));
    return item;
}

TsxResourceStringsItem* TsxResourceStringsList::Find(std::int32_t Identifier) const {
    const int count = Count();
    if (count == 0)
        return nullptr;
    // Placed once, then read without a test per step.
    const auto at = [items = PlacedItems()](int index) {
        return static_cast<TsxResourceStringsItem*>(items[index]);
    };
    if (count == 1)
        return at(0)->Identifier == Identifier ? at(0) : nullptr;
    int lo = 0;
    int hi = count;
    for (;;) {
        const int mid = (lo + hi) / 2;
        TsxResourceStringsItem* item = at(mid);
        if (item->Identifier == Identifier)
            return item;
        if (item->Identifier > Identifier)
            hi = mid;
        else
            lo = mid;
        if (hi - lo == 1) {
            if (hi < count && at(hi)->Identifier == Identifier)
                return at(hi);
            return at(lo)->Identifier == Identifier ? at(lo) : nullptr;
        }
    }
}

TsxRCDataProperyItem* TsxRCDataProperyList::Add(std::string_view Path, AnsiString Text) {
    TsxRCDataProperyItem* item = TsxSortCollectionOf::Add();
    item->PropPath = rtl::TrimView(Path);
    item->Value = std::move(Text);
    return item;
}

bool TsxRCDataFormItem::IsFormName(std::string_view Name) const {
    return rtl::SameText(Name, FormName);
}

TsxRCDataFormItem* TsxRCDataFormList::Add(std::string_view FormKey) {
    TsxRCDataFormItem* item = TsxSortCollectionOf::Add();
    item->FormName = rtl::Trim(FormKey);
    return item;
}

TsxRCDataFormItem* TsxRCDataFormList::Find(std::string_view FormKey) const {
    const std::string_view key = rtl::TrimView(FormKey);
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(Items(i)->FormName, key))
            return Items(i);
    return nullptr;
}
