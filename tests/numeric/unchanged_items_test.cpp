// Removal of unchanged items by id, through the exported entry and test hosts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/test_host.h"

namespace {

using Ints = std::vector<int>;

struct Items {
    Ints refIds, ids;
    Strings refTexts, texts, extra;
};

struct Hosts {
    explicit Hosts(const Items& it) {
        for (int v : it.refIds) refIds.array.Add(v);
        for (int v : it.ids) ids.array.Add(v);
        for (auto [host, texts] :
             {std::pair{&refTexts, &it.refTexts}, {&this->texts, &it.texts}, {&extra, &it.extra}})
            for (const std::string& s : *texts) host->array.Add(s.c_str());
    }
    int Remove() {
        return kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts, &extra);
    }
    TestInts refIds, ids;
    TestStrings refTexts, texts, extra;
};

// The removal as a backward walk that searches the reference for every item
// and removes items one at a time: what the fast removal must match exactly.
int WalkBackwards(Items& it) {
    int removed = 0;
    for (int i = static_cast<int>(it.ids.size()) - 1; i >= 0; --i) {
        auto k = std::find(it.refIds.begin(), it.refIds.end(), it.ids[i]) - it.refIds.begin();
        if (k < static_cast<long>(it.refIds.size()) &&
            CString(it.refTexts[k].c_str()).CompareNoCase(it.texts[i].c_str()) == 0) {
            it.ids.erase(it.ids.begin() + i);
            it.texts.erase(it.texts.begin() + i);
            it.extra.erase(it.extra.begin() + i);
            ++removed;
        }
    }
    return removed;
}

TEST(RemoveUnchanged, MatchesTheBackwardWalk) {
    std::vector<Items> cases = {
        {{1, 2}, {1, 2, 3}, {"Alpha", "Beta"}, {"alpha", "Gamma", "Delta"}, {"x", "y", "z"}},
        {{5, 5}, {5, 5, 5}, {"old", "new"}, {"new", "OLD", "old"}, {"p", "q", "r"}},  // first wins
        {{1, 2}, {2, 1}, {"a", "b"}, {"B", "A"}, {"p", "q"}},  // everything goes
    };
    std::mt19937 rng(5);
    const char* words[] = {"a", "A", "b", "B", "c"};
    for (int m : {1, 5, 15, 16, 1000}) {  // a search below 16 reference ids, a table from there
        Items& it = cases.emplace_back();
        for (int i = 0; i < 3 * m + 3; ++i) {
            Ints& ids = i < m ? it.refIds : it.ids;
            ids.push_back(static_cast<int>(rng() % (m + 6)) - 4);
            (i < m ? it.refTexts : it.texts).push_back(words[rng() % 5]);
            if (i >= m) it.extra.push_back(std::to_string(i));
        }
    }
    Hosts same(cases[0]);  // an extra that is the texts array loses each item once
    for (Items& it : cases) {
        Hosts hosts(it);
        EXPECT_EQ(hosts.Remove(), WalkBackwards(it)) << "reference of " << it.refIds.size();
        EXPECT_EQ(hosts.ids.Values(), it.ids);
        EXPECT_EQ(hosts.texts.Values(), it.texts);
        EXPECT_EQ(hosts.extra.Values(), it.extra);
    }
    EXPECT_EQ(kxu_remove_unchanged_items_by_id(&same.refIds, &same.refTexts, &same.ids, &same.texts,
                                               &same.texts),
              1);
    EXPECT_EQ(same.texts.Values(), (Strings{"Gamma", "Delta"}));
}

TEST(RemoveUnchanged, BadArraysAreRefusedBeforeAnythingChanges) {
    const std::pair<Items, int> rows[] = {
        {{{1}, {}, {"a"}, {}, {"e"}}, -2},          {{{1}, {1, 2}, {"a"}, {"a"}, {"e", "f"}}, -2},
        {{{1}, {1}, {"a"}, {"a"}, {"e", "f"}}, -2},  // extra of another size
        {{{}, {1}, {}, {"a"}, {"e"}}, -3},          {{{1, 2}, {1}, {"a"}, {"a"}, {"e"}}, -3},
    };
    for (const auto& [items, result] : rows) {
        Hosts hosts(items);
        EXPECT_EQ(hosts.Remove(), result);
        EXPECT_TRUE(hosts.ids.Values() == items.ids && hosts.texts.Values() == items.texts);
    }
}

}  // namespace
