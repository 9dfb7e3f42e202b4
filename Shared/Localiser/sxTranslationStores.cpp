#include "sxTranslationStores.h"

#include "Os.h"

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

TsxResourceStringsItem* TsxResourceStringsList::Add(std::int32_t Identifier, WideString Text) {
    TsxResourceStringsItem* item = TsxSortCollectionOf::Add();
    item->Identifier = Identifier;
    item->SetText(std::move(Text));
    // The items before the new one are in order: its place is the first one with a larger identifier.
    int lo = 0;
    int hi = Count() - 1;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (ItemAt(mid)->Identifier <= Identifier)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < Count() - 1)
        Move(Count() - 1, lo);
    return item;
}

TsxResourceStringsItem* TsxResourceStringsList::Find(std::int32_t Identifier) const {
    const int count = Count();
    if (count == 0)
        return nullptr;
    if (count == 1)
        return ItemAt(0)->Identifier == Identifier ? ItemAt(0) : nullptr;
    int lo = 0;
    int hi = count;
    for (;;) {
        const int mid = (lo + hi) / 2;
        TsxResourceStringsItem* item = ItemAt(mid);
        if (item->Identifier == Identifier)
            return item;
        if (item->Identifier > Identifier)
            hi = mid;
        else
            lo = mid;
        if (hi - lo == 1) {
            if (hi < count && ItemAt(hi)->Identifier == Identifier)
                return ItemAt(hi);
            return ItemAt(lo)->Identifier == Identifier ? ItemAt(lo) : nullptr;
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
