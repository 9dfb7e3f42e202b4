// The resource-string store (ordered insertion, halving search) and the form store.
#include "sxTranslationStores.h"

#ifndef _WIN32
#include "InProcModule.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::int32_t> Identifiers(const TsxResourceStringsList& list) {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids.push_back(list.Items(i)->Identifier);
    return ids;
}

void Fill(TsxResourceStringsList& list, const std::vector<std::int32_t>& ids) {
    for (std::size_t i = 0; i < ids.size(); ++i)
        list.Add(ids[i], u"#" + rtl::AnsiToWide(std::to_string(i)));
}

TEST(ResourceStringsList, KeepsAscendingOrderWithEqualIdentifiersInOrderOfAdding) {
    TsxResourceStringsList list;
    Fill(list, {7, 3, 7, 1});
    EXPECT_EQ(Identifiers(list), (std::vector<std::int32_t>{1, 3, 7, 7}));
    EXPECT_EQ(list.Items(2)->Text(), u"#0");
    EXPECT_EQ(list.Items(3)->Text(), u"#2");
}

// The order that appending and then exchanging the new item forward step by step gives: the
// insertion rule written out the long way, with the position of adding as a tie-breaker to check.
std::vector<std::pair<std::int32_t, int>> StepwiseOrder(const std::vector<std::int32_t>& ids) {
    std::vector<std::pair<std::int32_t, int>> items;
    for (std::size_t k = 0; k < ids.size(); ++k) {
        items.emplace_back(ids[k], static_cast<int>(k));
        for (std::size_t n = items.size() - 1; n >= 1; --n) {
            if (items[n - 1].first <= items[n].first)
                break;
            std::swap(items[n - 1], items[n]);
        }
    }
    return items;
}

TEST(ResourceStringsList, MovingIntoPlaceGivesTheOrderOfStepwiseExchanges) {
    std::mt19937 random(20261211);
    std::vector<std::vector<std::int32_t>> inputs = {
        {}, {1}, {2, 1}, {1, 1, 1}, {5, 4, 3, 2, 1}, {1, 2, 3, 4, 5}};
    for (int round = 0; round < 20; ++round) {
        std::vector<std::int32_t> ids(1 + random() % 200);
        for (auto& id : ids)
            id = static_cast<std::int32_t>(random() % 50) - 10; // many duplicates, some negative
        inputs.push_back(ids);
    }
    for (const auto& ids : inputs) {
        TsxResourceStringsList list;
        Fill(list, ids);
        const auto expected = StepwiseOrder(ids);
        ASSERT_EQ(list.Count(), static_cast<int>(expected.size()));
        for (int i = 0; i < list.Count(); ++i) {
            EXPECT_EQ(list.Items(i)->Identifier, expected[i].first);
            EXPECT_EQ(list.Items(i)->Text(), u"#" + rtl::AnsiToWide(std::to_string(expected[i].second)));
        }
    }
}

// The order as (identifier, position of adding), read through Items.
std::vector<std::pair<std::int32_t, int>> Order(const TsxResourceStringsList& list) {
    std::vector<std::pair<std::int32_t, int>> order;
    for (int i = 0; i < list.Count(); ++i)
        order.emplace_back(list.Items(i)->Identifier,
                           std::stoi(rtl::WideToAnsi(list.Items(i)->Text().substr(1))));
    return order;
}

// Identifier sequences in which items must wait for their places: descending, random with many
// duplicates, in order then backwards, and each new item in front of all.
std::vector<std::vector<std::int32_t>> OutOfOrderInputs() {
    std::vector<std::vector<std::int32_t>> inputs = {
        {9, 8, 7, 6, 5, 4, 3, 2, 1}, {1, 2, 3, 9, 8, 7, 3, 2, 1}, {5, 5, 1, 5, 1}, {2, 1, 3, 1, 4, 1}};
    std::mt19937 random(611);
    for (int round = 0; round < 10; ++round) {
        std::vector<std::int32_t> ids(2 + random() % 120);
        for (auto& id : ids)
            id = static_cast<std::int32_t>(random() % 30);
        inputs.push_back(ids);
    }
    return inputs;
}

// Whoever looks at the store, whenever, sees the order of the step-by-step rule for what has been
// added so far: read after every Add, after every few, or through a lookup, the index of an item
// or a walk of the items.
TEST(ResourceStringsList, EveryReaderSeesTheStepwiseOrderAfterEveryAdd) {
    for (const auto& ids : OutOfOrderInputs())
        for (const std::size_t every : {std::size_t{1}, std::size_t{3}, std::size_t{7}}) {
            TsxResourceStringsList list;
            std::vector<TsxResourceStringsItem*> added;
            for (std::size_t k = 0; k < ids.size(); ++k) {
                added.push_back(list.Add(ids[k], u"#" + rtl::AnsiToWide(std::to_string(k))));
                if ((k + 1) % every != 0 && k + 1 != ids.size())
                    continue;
                const std::vector<std::int32_t> prefix(ids.begin(),
                                                       ids.begin() + static_cast<std::ptrdiff_t>(k + 1));
                const auto expected = StepwiseOrder(prefix);
                switch (k % 3) {
                case 0: // the position of the newest item
                    ASSERT_EQ(added.back()->GetIndex(), std::find(expected.begin(), expected.end(),
                                                                  std::pair{ids[k], static_cast<int>(k)}) -
                                                            expected.begin());
                    break;
                case 1: { // a lookup: the item that the halving search meets on the stepwise order
                    TsxResourceStringsList reference;
                    for (const auto& [id, at] : expected)
                        reference.Add(id, u"#" + rtl::AnsiToWide(std::to_string(at)));
                    ASSERT_EQ(list.Find(ids[k])->Text(), reference.Find(ids[k])->Text());
                    break;
                }
                default:
                    break;
                }
                ASSERT_EQ(Order(list), expected) << "after " << k + 1 << " of " << ids.size();
            }
        }
}

// An item that joins the list by itself stands behind the items that waited for their places and is
// not placed with them; a later Add stops behind it, as the rule says.
TEST(ResourceStringsList, AnItemJoiningByItselfStandsBehindTheWaitingOnes) {
    TsxResourceStringsList list;
    list.Add(5, u"#0");
    list.Add(3, u"#1");
    TsxResourceStringsItem* joined = TsxResourceStringsItem::Create(&list);
    joined->Identifier = 0;
    joined->SetText(u"#2");
    list.Add(7, u"#3");
    EXPECT_EQ(Order(list), (std::vector<std::pair<std::int32_t, int>>{{3, 1}, {5, 0}, {0, 2}, {7, 3}}));
    list.Add(6, u"#4");
    delete joined; // leaving, it has the waiting item placed first
    list.Add(4, u"#5");
    EXPECT_EQ(Order(list),
              (std::vector<std::pair<std::int32_t, int>>{{3, 1}, {4, 5}, {5, 0}, {6, 4}, {7, 3}}));
    list.Add(1, u"#6");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(ResourceStringsList, FindsStoredIdentifiersOnly) {
    TsxResourceStringsList list;
    EXPECT_EQ(list.Find(1), nullptr);
    list.Add(5, u"five");
    EXPECT_EQ(list.Find(5)->Text(), u"five");
    EXPECT_EQ(list.Find(4), nullptr);
    list.Add(9, u"nine");
    for (std::int32_t id : {5, 9})
        EXPECT_EQ(list.Find(id)->Identifier, id);
    for (std::int32_t id : {7, 4, 10})
        EXPECT_EQ(list.Find(id), nullptr) << id;
}

TEST(ResourceStringsList, FindsEveryIdentifierWhateverTheNumberOfItems) {
    for (int size = 1; size <= 70; ++size) {
        TsxResourceStringsList list;
        for (int i = 0; i < size; ++i)
            list.Add(10 * i, u"x");
        for (int i = 0; i < size; ++i) {
            ASSERT_NE(list.Find(10 * i), nullptr) << "size " << size << " id " << 10 * i;
            EXPECT_EQ(list.Find(10 * i + 5), nullptr);
        }
        EXPECT_EQ(list.Find(-1), nullptr);
    }
}

struct DuplicateCase {
    std::vector<std::int32_t> ids;
    std::int32_t sought;
    int foundAt; // position of the item that the search meets first
};

TEST(ResourceStringsList, OfEqualIdentifiersFindsTheOneTheSearchMeetsFirst) {
    const DuplicateCase cases[] = {
        {{7, 7}, 7, 1},          {{3, 7, 7}, 7, 1},          {{1, 7, 7, 9}, 7, 2}, {{7, 7, 7, 9}, 7, 2},
        {{7, 8, 9}, 7, 0},       {{1, 2, 7, 7}, 7, 2},       {{1, 2, 3, 7}, 7, 3}, {{7, 7, 7, 7, 7}, 7, 2},
        {{1, 7, 7, 7, 7}, 7, 2}, {{1, 2, 3, 4, 7, 7}, 7, 4},
    };
    for (const DuplicateCase& c : cases) {
        TsxResourceStringsList list;
        Fill(list, c.ids);
        EXPECT_EQ(list.Find(c.sought), list.Items(c.foundAt)) << "case with " << c.ids.size() << " items";
    }
}

TEST(ResourceStringsList, AnsiTextIsTheTextInTheProcessCodePage) {
    TsxResourceStringsList list;
    const TsxResourceStringsItem* item = list.Add(1, u"Да €Ω");
    EXPECT_EQ(item->AnsiText(), "\xC4\xE0 \x88?");   // the test runs under code page 1251
    EXPECT_EQ(&item->AnsiText(), &item->AnsiText()); // converted once, kept
#ifndef _WIN32
    ASSERT_TRUE(os::SetAnsiCodePage(1252));
    EXPECT_EQ(item->AnsiText(), "?? \x80?");
    ASSERT_TRUE(os::SetAnsiCodePage(1251));
    EXPECT_EQ(item->AnsiText(), "\xC4\xE0 \x88?");
#endif
}

TEST(RCDataFormList, TrimsKeysAndFindsThemWithoutRegardToAsciiCase) {
    TsxRCDataFormList forms;
    TsxRCDataFormItem* main = forms.Add("  TMainForm \t");
    EXPECT_EQ(main->FormName, "TMainForm");
    EXPECT_TRUE(main->Properties().Count() == 0);
    for (const char* key : {"TMainForm", "TMAINFORM", " tmainform ", "\r\nTmainForm\x01"})
        EXPECT_EQ(forms.Find(key), main) << key;
    EXPECT_EQ(forms.Find("TMainForm2"), nullptr);
    EXPECT_EQ(forms.Find(""), nullptr);
    EXPECT_TRUE(main->IsFormName("tmainFORM"));
    EXPECT_FALSE(main->IsFormName(" TMainForm"));
}

TEST(RCDataFormList, FirstMatchWinsAndOrderOfAddingStays) {
    TsxRCDataFormList forms;
    TsxRCDataFormItem* first = forms.Add("TAbout");
    TsxRCDataFormItem* second = forms.Add("tabout");
    forms.Add("TMain");
    EXPECT_EQ(forms.Find("TABOUT"), first);
    EXPECT_EQ(forms.Items(1), second);
    EXPECT_EQ(forms.Items(2)->FormName, "TMain");
}

TEST(RCDataProperyList, TrimsThePathButNotTheValue) {
    TsxRCDataFormList forms;
    TsxRCDataProperyList& props = forms.Add("TMainForm")->Properties();
    TsxRCDataProperyItem* item = props.Add("  Label1.Caption ", "  text  ");
    EXPECT_EQ(item->PropPath, "Label1.Caption");
    EXPECT_EQ(item->Value, "  text  ");
    props.Add("Label1.Caption", "again");
    ASSERT_EQ(props.Count(), 2);
    EXPECT_EQ(props.Items(1)->Value, "again");
    forms.Clear(); // the form items free their property lists
    EXPECT_EQ(forms.Count(), 0);
}

} // namespace
