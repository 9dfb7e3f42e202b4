// The two stores of a loaded language: translated resource strings by identifier, and translated
// form texts by form key and property path.
#pragma once

#include "RtlStrings.h"
#include "sxSortCollection.h"

#include <cstdint>
#include <memory>

// ---- Resource strings ------------------------------------------------------------------------------

class TsxResourceStringsItem : public TsxItemType<TsxResourceStringsItem> {
public:
    static constexpr char TypeName[] = "TsxResourceStringsItem";
    std::int32_t Identifier = 0;

    TsxResourceStringsItem() = default;
    // Leaves the list while it is still whole: leaving has the list place its waiting items first,
    // which reads their identifiers, this one's included.
    ~TsxResourceStringsItem() override { SetCollection(nullptr); }

    // The translated text; set when the item is added to its list.
    const WideString& Text() const { return text_; }
    void SetText(WideString Text);

    // Text in the process's ANSI code page, converted on first use and kept (again only when the
    // code page has changed since): the redirected loader answers every later lookup with a copy.
    const AnsiString& AnsiText() const;

private:
    WideString text_;
    // Made on the first lookup only, so that the store costs no more than the wide texts until then.
    mutable std::unique_ptr<AnsiString> ansiText_;
    mutable unsigned ansiCodePage_ = 0;
};

// Kept in ascending order of Identifier while items are added, items with equal identifiers in the
// order of adding. The order is the store's invariant: Add is the only way it places items.
class TsxResourceStringsList : public TsxSortCollectionOf<TsxResourceStringsItem> {
public:
    // Appends an item and moves it into its place: behind the last item whose identifier is equal or
    // smaller, the order that exchanging it forward step by step would give. An item out of order
    // waits for its place until a position is next read (AddUnplaced): a run of such items is
    // placed at once, by a stable sort and merge, which gives the same order.
    TsxResourceStringsItem* Add(std::int32_t Identifier, WideString Text);

    // The halving search over the ascending identifiers; none when no item carries Identifier. Of
    // several items with that identifier it finds the first one that the search meets.
    TsxResourceStringsItem* Find(std::int32_t Identifier) const;

private:
    using TsxSortCollectionOf<TsxResourceStringsItem>::Add;
    using TsxSortCollection::Exchange;
    using TsxSortCollection::Sort;
};

// ---- Form properties -------------------------------------------------------------------------------

class TsxRCDataProperyItem : public TsxItemType<TsxRCDataProperyItem> {
public:
    static constexpr char TypeName[] = "TsxRCDataProperyItem";
    AnsiString PropPath;
    AnsiString Value;
};

// The property items of one form, in the order of adding.
class TsxRCDataProperyList : public TsxSortCollectionOf<TsxRCDataProperyItem> {
public:
    // Appends an item; PropPath is Path without blanks (bytes 0 to 32) at its ends, Value is Text.
    TsxRCDataProperyItem* Add(std::string_view Path, AnsiString Text);

private:
    using TsxSortCollectionOf<TsxRCDataProperyItem>::Add;
};

class TsxRCDataFormItem : public TsxItemType<TsxRCDataFormItem> {
public:
    static constexpr char TypeName[] = "TsxRCDataFormItem";
    // The item owns its property list for its whole life.
    TsxRCDataFormItem() : properties_(std::make_unique<TsxRCDataProperyList>()) {}

    AnsiString FormName;
    TsxRCDataProperyList& Properties() const { return *properties_; }

    // Name equals FormName without regard to ASCII letter case; Name is not trimmed.
    bool IsFormName(std::string_view Name) const;

private:
    std::unique_ptr<TsxRCDataProperyList> properties_;
};

// Form entries in the order of adding.
class TsxRCDataFormList : public TsxSortCollectionOf<TsxRCDataFormItem> {
public:
    // Appends a form item whose FormName is FormKey without blanks at its ends, with no properties.
    TsxRCDataFormItem* Add(std::string_view FormKey);
    // The first item whose FormName equals FormKey, trimmed, without regard to ASCII letter case.
    TsxRCDataFormItem* Find(std::string_view FormKey) const;

private:
    using TsxSortCollectionOf<TsxRCDataFormItem>::Add;
};
