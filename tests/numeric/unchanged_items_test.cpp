// Removal of unchanged items by id, through the exported entry and test hosts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

struct Items {
    TestInts refIds, ids;
    TestStrings refTexts, texts, extra;
    int Remove(bool withExtra = false) {
        return kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts,
                                                withExtra ? &extra : nullptr);
    }
};

TEST(RemoveUnchanged, KeepsNewAndChangedItemsInTheirOrder) {
    Items it{{1, 2}, {1, 2, 3}, {"Alpha", "Beta"}, {"alpha", "Gamma", "Delta"}, {"x", "y", "z"}};
    EXPECT_EQ(it.Remove(true), 1);
    EXPECT_EQ(it.ids.Values(), (Ints{2, 3}));
    EXPECT_EQ(it.texts.Values(), (Strings{"Gamma", "Delta"}));
    EXPECT_EQ(it.extra.Values(), (Strings{"y", "z"}));
    EXPECT_EQ(it.refIds.Values(), (Ints{1, 2}));
}

TEST(RemoveUnchanged, OnlyTheFirstReferenceWithAnIdCountsButEveryCurrentItemIsJudged) {
    Items it{{5, 5}, {5, 5, 5}, {"old", "new"}, {"new", "OLD", "old"}, {}};
    EXPECT_EQ(it.Remove(), 2);
    EXPECT_EQ(it.texts.Values(), Strings{"new"});

    Items all{{1, 2}, {2, 1}, {"a", "b"}, {"B", "A"}, {"p", "q"}};
    EXPECT_EQ(all.Remove(true), 2);
    EXPECT_TRUE(all.ids.Values().empty() && all.texts.Values().empty());
    EXPECT_TRUE(all.extra.Values().empty());
}

TEST(RemoveUnchanged, ExtraThatIsTheTextsArrayLosesEachItemOnce) {
    Items it{{1}, {1, 2}, {"a"}, {"a", "b"}, {}};
    EXPECT_EQ(
        kxu_remove_unchanged_items_by_id(&it.refIds, &it.refTexts, &it.ids, &it.texts, &it.texts),
        1);
    EXPECT_EQ(it.texts.Values(), Strings{"b"});
}

TEST(RemoveUnchanged, BadSizesAreRefusedBeforeAnythingChanges) {
    struct Row {
        Ints refIds, ids;
        Strings refTexts, texts, extra;
        bool withExtra;
        int result;
    };
    const Row rows[] = {
        {{1}, {}, {"a"}, {}, {}, false, -2},
        {{1}, {1}, {"a"}, {}, {}, false, -2},
        {{1}, {1, 2}, {"a"}, {"a"}, {}, false, -2},
        {{1}, {1}, {"a"}, {"a"}, {"e1", "e2"}, true, -2},
        {{1}, {1}, {"a"}, {"a"}, {}, true, -2},  // an empty extra differs in size
        {{}, {1}, {}, {"a"}, {}, false, -3},
        {{1}, {1}, {}, {"a"}, {}, false, -3},
        {{1, 2}, {1}, {"a"}, {"a"}, {}, false, -3},
    };
    for (const Row& row : rows) {
        Items it;
        for (int v : row.refIds) it.refIds.array.Add(v);
        for (int v : row.ids) it.ids.array.Add(v);
        for (const auto& s : row.refTexts) it.refTexts.array.Add(s.c_str());
        for (const auto& s : row.texts) it.texts.array.Add(s.c_str());
        for (const auto& s : row.extra) it.extra.array.Add(s.c_str());
        EXPECT_EQ(it.Remove(row.withExtra), row.result);
        EXPECT_EQ(it.ids.Values(), row.ids);
        EXPECT_EQ(it.texts.Values(), row.texts);
    }
}

TEST(RemoveUnchanged, HostObjectsAreAskedInOrderAndMissingOnesRefused) {
    Items it{{1}, {1}, {"a"}, {"a"}, {"e"}};
    EXPECT_EQ(
        kxu_remove_unchanged_items_by_id(&it.refIds, &it.refTexts, &it.ids, nullptr, &it.extra),
        -1);
    EXPECT_TRUE(it.refIds.requests.empty());
    it.refTexts.answerNull = true;
    EXPECT_EQ(it.Remove(), -1);
    EXPECT_TRUE(it.ids.requests.empty());  // the refusal comes before the next request
    it.refTexts.answerNull = false;
    it.extra.answerNull = true;
    EXPECT_EQ(it.Remove(true), -1);
    EXPECT_EQ(it.ids.Values(), Ints{1});
    it.extra.answerNull = false;
    it.ids.answerNull = true;  // an int array that is not there is the worker's to report
    EXPECT_EQ(it.Remove(), -2);
    it.ids.answerNull = false;
    it.refIds.answerNull = true;
    EXPECT_EQ(it.Remove(), -3);
    EXPECT_EQ(it.ids.requests.back(), HOST_TYPE_INT_ARRAY);
    EXPECT_NE(it.ids.args.back(), nullptr);
    EXPECT_EQ(it.texts.requests.back(), HOST_TYPE_STRING_ARRAY);
    EXPECT_EQ(it.texts.args.back(), nullptr);
}

// The removal as a backward walk that searches the reference for every item
// and removes items one at a time: the result the fast removal must match.
int WalkBackwards(const Ints& refIds, const Strings& refTexts, Ints& ids, Strings& texts,
                  Strings& extra) {
    int removed = 0;
    for (int i = static_cast<int>(ids.size()) - 1; i >= 0; --i) {
        auto k = std::find(refIds.begin(), refIds.end(), ids[i]) - refIds.begin();
        if (k < static_cast<long>(refIds.size()) &&
            CString(refTexts[k].c_str()).CompareNoCase(texts[i].c_str()) == 0) {
            texts.erase(texts.begin() + i);
            ids.erase(ids.begin() + i);
            extra.erase(extra.begin() + i);
            ++removed;
        }
    }
    return removed;
}

TEST(RemoveUnchanged, MatchesTheBackwardWalkForSmallAndLargeReferences) {
    std::mt19937 rng(5);
    const char* words[] = {"a", "A", "b", "B", "c"};
    for (int refSize : {1, 5, 15, 16, 1000}) {
        Items it;
        Ints refIds, ids;
        Strings refTexts, texts, extra;
        for (int i = 0; i < refSize; ++i) {
            refIds.push_back(static_cast<int>(rng() % (refSize + 3)) - 2);
            refTexts.push_back(words[rng() % 5]);
        }
        for (int i = 0; i < 2 * refSize + 3; ++i) {
            ids.push_back(static_cast<int>(rng() % (refSize + 6)) - 4);
            texts.push_back(words[rng() % 5]);
            extra.push_back(std::to_string(i));
        }
        for (int v : refIds) it.refIds.array.Add(v);
        for (int v : ids) it.ids.array.Add(v);
        for (const auto& s : refTexts) it.refTexts.array.Add(s.c_str());
        for (const auto& s : texts) it.texts.array.Add(s.c_str());
        for (const auto& s : extra) it.extra.array.Add(s.c_str());
        int expected = WalkBackwards(refIds, refTexts, ids, texts, extra);
        EXPECT_EQ(it.Remove(true), expected) << "reference of " << refSize;
        EXPECT_EQ(it.ids.Values(), ids);
        EXPECT_EQ(it.texts.Values(), texts);
        EXPECT_EQ(it.extra.Values(), extra);
    }
}

}  // namespace
