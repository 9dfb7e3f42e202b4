#include "sxSortCollection.h"

#include "Exceptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QRL_EXCEPTION_CLASS(EHookFailure, Exception);

class TKeyItem : public TsxItemType<TKeyItem> {
public:
    static constexpr char TypeName[] = "TKeyItem";
    int Key = 0;

    // A change that concerns this item alone.
    void Touch() { Changed(false); }
};

class TDerivedKeyItem : public TsxItemType<TDerivedKeyItem, TKeyItem> {
public:
    static constexpr char TypeName[] = "TDerivedKeyItem";
};

class TOtherItem : public TsxItemType<TOtherItem> {
public:
    static constexpr char TypeName[] = "TOtherItem";
};

using TLog = std::vector<std::string>;

std::string Id(const TsxSortCollectionItem* item) {
    return "#" + std::to_string(item->ItemID());
}

// A list of TKeyItem ordered by Key that logs every hook call into a log outside it, so that its
// destruction can be watched too. Each hook can be made to fail.
class TRecordingList : public TsxSortCollectionOf<TKeyItem> {
public:
    explicit TRecordingList(TLog& log) : log_(log) {}
    ~TRecordingList() override { DestroyItems(); }

    bool LogCompare = false;
    bool FailCompare = false;
    bool FailJoin = false;
    bool FailUpdate = false;
    // Notify(item, 1) fails for the item with this ItemID.
    int FailLeavingID = -1;

    void BeginUpdate() override {
        log_.push_back("BeginUpdate");
        TsxSortCollection::BeginUpdate();
    }
    void EndUpdate() override {
        log_.push_back("EndUpdate");
        TsxSortCollection::EndUpdate();
    }

protected:
    int Compare(int index1, int index2) override {
        if (LogCompare)
            log_.push_back("Compare(" + std::to_string(index1) + "," + std::to_string(index2) + ")");
        if (FailCompare)
            throw EHookFailure(AnsiString("compare failed"));
        return Items(index1)->Key - Items(index2)->Key;
    }
    void Notify(TsxSortCollectionItem* item, int action) override {
        log_.push_back("Notify(" + Id(item) + "," + std::to_string(action) + ")");
        if (action == 1 && item->ItemID() == FailLeavingID)
            throw EHookFailure(AnsiString("leave failed"));
    }
    void Update(TsxSortCollectionItem* item) override {
        log_.push_back("Update(" + (item != nullptr ? Id(item) : "-") + ")");
        if (FailUpdate)
            throw EHookFailure(AnsiString("update failed"));
    }
    void SetItemName(TsxSortCollectionItem* item) override {
        log_.push_back("SetItemName(" + Id(item) + ")");
        if (FailJoin)
            throw EHookFailure(AnsiString("join failed"));
    }

private:
    TLog& log_;
};

static_assert(std::is_same_v<decltype(std::declval<TRecordingList&>().Add()), TKeyItem*>);
static_assert(std::is_same_v<decltype(std::declval<TRecordingList&>().Items(0)), TKeyItem*>);

class SortCollection : public ::testing::Test {
protected:
    TLog log;
    TRecordingList list{log};

    // Adds items with these keys, then forgets what adding them logged.
    void Fill(const std::vector<int>& keys) {
        for (int key : keys)
            list.Add()->Key = key;
        log.clear();
    }

    std::vector<int> Keys() const {
        std::vector<int> keys;
        for (int i = 0; i < list.Count(); ++i)
            keys.push_back(list.Items(i)->Key);
        return keys;
    }
};

TEST_F(SortCollection, AddAppendsTheItemAndReportsItJoiningTwice) {
    TKeyItem* first = list.Add();
    EXPECT_THAT(log, ElementsAre("SetItemName(#0)", "Notify(#0,0)", "Update(-)", "Notify(#0,0)"));

    TKeyItem* second = list.Add();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), first);
    EXPECT_EQ(list.Items(1), second);
    EXPECT_EQ(second->Collection(), &list);
    EXPECT_EQ(second->GetIndex(), list.Count() - 1);
    EXPECT_EQ(second->ItemID(), 1);
}

TEST_F(SortCollection, ItemCreatedWithAListJoinsItAndReportsOnce) {
    TKeyItem* item = TKeyItem::Create(&list);
    EXPECT_THAT(log, ElementsAre("SetItemName(#0)", "Notify(#0,0)", "Update(-)"));
    EXPECT_EQ(item->Collection(), &list);
    EXPECT_EQ(item->GetIndex(), 0);

    std::unique_ptr<TKeyItem> loose(TKeyItem::Create(nullptr));
    EXPECT_EQ(loose->Collection(), nullptr);
    EXPECT_EQ(loose->GetIndex(), -1);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(SortCollection, ItemWhoseJoiningFailsIsDeletedAndLeavesTheList) {
    list.FailJoin = true;
    EXPECT_THROW(list.Add(), EHookFailure);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THAT(log, ElementsAre("SetItemName(#0)", "Notify(#0,1)", "Update(-)"));
}

TEST_F(SortCollection, ItemIDsKeepGrowingThroughClearAndRemoval) {
    Fill({1, 2, 3});
    list.Clear();
    EXPECT_EQ(list.Add()->ItemID(), 3);
    delete list.Items(0);
    EXPECT_EQ(list.Add()->ItemID(), 4);
}

TEST_F(SortCollection, ClearDeletesFromTheBackInsideOneBracket) {
    Fill({1, 2, 3});
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THAT(log, ElementsAre("BeginUpdate", "Notify(#2,1)", "Notify(#1,1)", "Notify(#0,1)", "EndUpdate",
                                 "Update(-)"));
}

TEST_F(SortCollection, ClearOfAnEmptyListCallsNothing) {
    list.Clear();
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(SortCollection, ClearStoppedByAFailingItemClosesItsBracket) {
    Fill({10, 11, 12});
    list.FailLeavingID = 1;
    EXPECT_THROW(list.Clear(), EHookFailure);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_THAT(Keys(), ElementsAre(10, 11));
    EXPECT_EQ(list.Items(1)->Collection(), &list);
    EXPECT_THAT(log, ElementsAre("BeginUpdate", "Notify(#2,1)", "Notify(#1,1)", "EndUpdate", "Update(-)"));

    list.FailLeavingID = -1;
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SortCollection, DestructionReportsTheLeavingItemsButNoUpdate) {
    TLog ownLog;
    auto doomed = std::make_unique<TRecordingList>(ownLog);
    doomed->Add();
    doomed->Add();
    ownLog.clear();
    doomed.reset();
    EXPECT_THAT(ownLog, ElementsAre("BeginUpdate", "Notify(#1,1)", "Notify(#0,1)", "EndUpdate"));
}

TEST_F(SortCollection, DeletedItemLeavesItsListAndTheLaterOnesMoveUp) {
    Fill({10, 20, 30});
    TKeyItem* last = list.Items(2);
    delete list.Items(1);
    EXPECT_THAT(Keys(), ElementsAre(10, 30));
    EXPECT_EQ(last->GetIndex(), 1);
    EXPECT_THAT(log, ElementsAre("Notify(#1,1)", "Update(-)"));
}

TEST_F(SortCollection, SetCollectionMovesAnItemToAnotherList) {
    TLog otherLog;
    TRecordingList other(otherLog);
    other.Add();
    otherLog.clear();
    Fill({10, 20});
    TKeyItem* item = list.Items(0);

    item->SetCollection(&other);
    EXPECT_THAT(log, ElementsAre("Notify(#0,1)", "Update(-)"));
    EXPECT_THAT(otherLog, ElementsAre("SetItemName(#1)", "Notify(#1,0)", "Update(-)"));
    EXPECT_EQ(item->Collection(), &other);
    EXPECT_EQ(item->GetIndex(), 1);
    EXPECT_EQ(item->ItemID(), 1);
    EXPECT_THAT(Keys(), ElementsAre(20));

    otherLog.clear();
    item->SetCollection(&other);
    EXPECT_THAT(otherLog, IsEmpty());

    item->SetCollection(nullptr);
    std::unique_ptr<TKeyItem> loose(item);
    EXPECT_EQ(other.Count(), 1);
    EXPECT_EQ(loose->GetIndex(), -1);
    EXPECT_THAT(otherLog, ElementsAre("Notify(#1,1)", "Update(-)"));
}

TEST_F(SortCollection, ListTakesItsItemTypeAndTypesDerivedFromIt) {
    struct Case {
        const char* name;
        const TClassInfo& type;
        bool accepted;
    };
    const Case cases[] = {
        {"the list's own type", TKeyItem::ClassInfo, true},
        {"a derived type", TDerivedKeyItem::ClassInfo, true},
        {"the base item type", TsxSortCollectionItem::ClassInfo, false},
        {"an unrelated type", TOtherItem::ClassInfo, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.Clear();
        log.clear();
        if (c.accepted) {
            auto* item = static_cast<TsxSortCollectionItem*>(c.type.Create(&list));
            EXPECT_EQ(&item->ClassType(), &c.type);
            EXPECT_EQ(list.Items(0), item);
        } else {
            try {
                c.type.Create(&list);
                ADD_FAILURE() << "no EListError";
            } catch (const EListError& e) {
                EXPECT_EQ(e.Message(), "Invalid property value");
            }
            EXPECT_EQ(list.Count(), 0);
            EXPECT_THAT(log, IsEmpty());
        }
    }
}

TEST_F(SortCollection, ListsAndItemsArePersistentObjectsWithTheirClassRecords) {
    const TsxSortCollectionItem* item = TDerivedKeyItem::Create(&list);
    EXPECT_STREQ(item->ClassName(), "TDerivedKeyItem");
    EXPECT_EQ(item->ClassType().Parent, &TKeyItem::ClassInfo);
    EXPECT_TRUE(item->InheritsFrom(TsxSortCollectionItem::ClassInfo));
    EXPECT_TRUE(item->InheritsFrom(TPersistent::ClassInfo));
    EXPECT_FALSE(item->InheritsFrom(TOtherItem::ClassInfo));
    EXPECT_TRUE(list.InheritsFrom(TPersistent::ClassInfo));
    EXPECT_STREQ(TsxSortCollectionItem::ClassInfo.Parent->Name, "TPersistent");
}

TEST_F(SortCollection, ListOfTheBaseItemTypeTakesAnyItem) {
    TsxSortCollection any(TsxSortCollectionItem::ClassInfo);
    TOtherItem::Create(&any);
    TKeyItem::Create(&any);
    any.Add();
    EXPECT_EQ(any.Count(), 3);
}

TEST_F(SortCollection, RefusedItemIsLeftInNoList) {
    TsxSortCollectionOf<TOtherItem> others;
    TOtherItem* item = others.Add();
    EXPECT_THROW(item->SetCollection(&list), EListError);
    std::unique_ptr<TOtherItem> loose(item);
    EXPECT_EQ(loose->Collection(), nullptr);
    EXPECT_EQ(others.Count(), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SortCollection, NestedBracketsHoldBackUpdatesUntilTheOutermostCloses) {
    Fill({1, 2});
    list.BeginUpdate();
    list.BeginUpdate();
    EXPECT_EQ(list.UpdateCount(), 2);
    list.Add();
    list.Items(1)->Touch();
    list.Items(1)->SetIndex(0);
    delete list.Items(2);
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 1);
    EXPECT_THAT(Keys(), ElementsAre(2, 1));
    EXPECT_THAT(log, ElementsAre("BeginUpdate", "BeginUpdate", "SetItemName(#2)", "Notify(#2,0)",
                                 "Notify(#2,0)", "Notify(#2,1)", "EndUpdate"));
    log.clear();
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_THAT(log, ElementsAre("EndUpdate", "Update(-)"));
}

TEST_F(SortCollection, ItemChangeReportsTheItemAlone) {
    Fill({1, 2});
    list.Items(1)->Touch();
    EXPECT_THAT(log, ElementsAre("Update(#1)"));
}

TEST_F(SortCollection, PositionOutsideTheListRaisesTheListIndexError) {
    struct Case {
        const char* name;
        std::function<void(TRecordingList&)> action;
        const char* message;
    };
    const Case cases[] = {
        {"Items past the end", [](TRecordingList& l) { l.Items(5); }, "List index out of bounds (5)"},
        {"Items at Count", [](TRecordingList& l) { l.Items(3); }, "List index out of bounds (3)"},
        {"Items before the start", [](TRecordingList& l) { l.Items(-1); }, "List index out of bounds (-1)"},
        {"Exchange, first index", [](TRecordingList& l) { l.Exchange(5, 0); },
         "List index out of bounds (5)"},
        {"Exchange, second index", [](TRecordingList& l) { l.Exchange(0, 5); },
         "List index out of bounds (5)"},
        {"Exchange, both", [](TRecordingList& l) { l.Exchange(-2, 7); }, "List index out of bounds (-2)"},
        {"SetIndex past the end", [](TRecordingList& l) { l.Items(0)->SetIndex(5); },
         "List index out of bounds (5)"},
        {"SetIndex before the start", [](TRecordingList& l) { l.Items(2)->SetIndex(-1); },
         "List index out of bounds (-1)"},
    };
    Fill({10, 20, 30});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.action(list);
            ADD_FAILURE() << "no EListError";
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_THAT(Keys(), ElementsAre(10, 20, 30));
        EXPECT_THAT(log, IsEmpty());
    }
}

TEST_F(SortCollection, ExchangeSwapsWithoutNotification) {
    Fill({10, 20, 30});
    list.Exchange(0, 2);
    list.Exchange(1, 1);
    EXPECT_THAT(Keys(), ElementsAre(30, 20, 10));
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(SortCollection, SetIndexMovesTheItemAndShiftsTheOnesBetween) {
    struct Case {
        int from;
        int to;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {0, 3, {1, 2, 3, 0}},
        {3, 0, {3, 0, 1, 2}},
        {1, 2, {0, 2, 1, 3}},
        {2, 1, {0, 2, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << " to " << c.to);
        list.Clear();
        Fill({0, 1, 2, 3});
        TKeyItem* moved = list.Items(c.from);
        moved->SetIndex(c.to);
        EXPECT_EQ(Keys(), c.keys);
        EXPECT_EQ(moved->GetIndex(), c.to);
        EXPECT_THAT(log, ElementsAre("Update(-)"));
    }
}

TEST_F(SortCollection, SetIndexToTheCurrentPositionOrOutsideAListDoesNothing) {
    Fill({0, 1, 2});
    list.Items(1)->SetIndex(1);
    EXPECT_THAT(Keys(), ElementsAre(0, 1, 2));
    EXPECT_THAT(log, IsEmpty());

    std::unique_ptr<TKeyItem> loose(TKeyItem::Create(nullptr));
    loose->SetIndex(7);
    EXPECT_EQ(loose->GetIndex(), -1);
}

TEST_F(SortCollection, SortOrdersByCompareInsideOneBracket) {
    const std::vector<std::vector<int>> inputs = {
        {},
        {7},
        {1, 2},
        {2, 1},
        {3, 1, 2},
        {1, 2, 3, 4, 5, 6, 7, 8},
        {8, 7, 6, 5, 4, 3, 2, 1},
        {3, 1, 3, 2, 1, 3},
        {5, 5, 5, 5},
        {9, -4, 0, 17, -4, 3, 12, 0, 8, 1, 1, -20, 6},
    };
    for (const std::vector<int>& input : inputs) {
        SCOPED_TRACE(::testing::PrintToString(input));
        list.Clear();
        Fill(input);
        std::vector<int> expected = input;
        std::sort(expected.begin(), expected.end());
        list.Sort();
        EXPECT_EQ(Keys(), expected);
        EXPECT_THAT(log, ElementsAre("BeginUpdate", "EndUpdate", "Update(-)"));
    }
}

TEST_F(SortCollection, SortOrdersEverySmallSequenceAndKeepsTheItems) {
    // Every sequence of up to six keys out of {0, 1, 2}.
    for (int length = 0; length <= 6; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= 3;
        for (int code = 0; code < combinations; ++code) {
            std::vector<int> input;
            for (int rest = code, i = 0; i < length; ++i, rest /= 3)
                input.push_back(rest % 3);
            SCOPED_TRACE(::testing::PrintToString(input));
            list.Clear();
            Fill(input);
            std::set<TsxSortCollectionItem*> before;
            for (int i = 0; i < list.Count(); ++i)
                before.insert(list.Items(i));

            list.Sort();
            std::vector<int> keys = Keys();
            ASSERT_TRUE(std::is_sorted(keys.begin(), keys.end()));
            std::set<TsxSortCollectionItem*> after;
            for (int i = 0; i < list.Count(); ++i)
                after.insert(list.Items(i));
            ASSERT_EQ(after, before);
        }
    }
}

TEST_F(SortCollection, SortComparesAgainstThePivotWhereverItMoves) {
    Fill({2, 5, 1, 4, 3});
    list.LogCompare = true;
    list.Sort();
    EXPECT_THAT(Keys(), ElementsAre(1, 2, 3, 4, 5));
    // The first exchange moves the pivot (position 2) to position 0, and the next comparisons follow it.
    EXPECT_THAT(log,
                ElementsAre("BeginUpdate", "Compare(0,2)", "Compare(4,2)", "Compare(3,2)", "Compare(2,2)",
                            "Compare(1,0)", "Compare(1,0)", "Compare(0,0)", "Compare(1,2)", "Compare(4,2)",
                            "Compare(3,2)", "Compare(2,2)", "Compare(2,3)", "Compare(4,3)", "Compare(3,3)",
                            "Compare(3,3)", "EndUpdate", "Update(-)"));
}

TEST_F(SortCollection, SortStoppedByAFailingCompareClosesItsBracket) {
    struct Case {
        const char* name;
        int openBrackets;
        bool failUpdate;
        TLog tail;
    };
    const Case cases[] = {
        {"no bracket open", 0, false, {"EndUpdate", "Update(-)"}},
        {"inside a bracket", 1, false, {"EndUpdate"}},
        {"Update failing as well", 0, true, {"EndUpdate", "Update(-)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.Clear();
        Fill({3, 1, 2});
        for (int i = 0; i < c.openBrackets; ++i)
            list.BeginUpdate();
        log.clear();
        list.FailCompare = true;
        list.FailUpdate = c.failUpdate;
        try {
            list.Sort();
            ADD_FAILURE() << "no EHookFailure";
        } catch (const EHookFailure& e) {
            EXPECT_EQ(e.Message(), "compare failed");
        }
        list.FailCompare = false;
        list.FailUpdate = false;
        EXPECT_EQ(list.UpdateCount(), c.openBrackets);
        TLog expected{"BeginUpdate"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(log, expected);
        EXPECT_THAT(Keys(), ElementsAre(3, 1, 2));
        for (int i = 0; i < c.openBrackets; ++i)
            list.EndUpdate();
    }
}

} // namespace
