// Missing values, frequencies and removal of unchanged items, through the exports and test hosts.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/test_host.h"

namespace {

using Doubles = std::vector<double>;
using Ints = std::vector<int>;

TEST(MissingValues, ConvertTheFirstCountInPlaceAndCountThem) {
    using Limits = std::numeric_limits<double>;
    constexpr double N = NANUM;
    const double nan = std::nan(""), inf = Limits::infinity(), max = Limits::max();
    ASSERT_EQ(std::bit_cast<std::uint64_t>(N), 0x81AA74FE1C132C0EULL);
    const auto toNan = kxu_NANUM_to_nan, toN = kxu_nan_inf_to_NANUM;
    constexpr std::uint32_t kAll = 0;  // the row's whole buffer
    // Empty output: the data unchanged.
    std::tuple<int (*)(double*, std::uint32_t), Doubles, std::uint32_t, Doubles, int> rows[] = {
        {toNan, {1.0, N, -2.5, N}, kAll, {1.0, nan, -2.5, nan}, 2},
        {toNan, {std::nextafter(N, 0.0), nan, inf, -0.0}, kAll, {}, 0},
        {toNan, {N, N}, 1, {nan, N}, 1},
        {toN, {nan, inf, -inf, 0.0, N}, kAll, {N, N, N, 0.0, N}, 3},
        {toN, {-std::nan("7"), Limits::signaling_NaN()}, kAll, {N, N}, 2},
        {toN, {max, Limits::denorm_min(), -0.0, -max}, kAll, {}, 0},
        {toN, {inf, inf}, 1, {N, inf}, 1},
        // Counts the int result cannot report, such as a negative count passed on: refused.
        {toNan, {N}, static_cast<std::uint32_t>(-2), {}, -1},
        {toN, {inf}, std::uint32_t{INT_MAX} + 1, {}, -1},
    };
    for (auto& [convert, data, count, output, result] : rows) {
        const Doubles want = output.empty() ? data : output;
        EXPECT_EQ(convert(data.data(), count ? count : static_cast<std::uint32_t>(data.size())),
                  result);
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_TRUE(std::isnan(want[i]) ? std::isnan(data[i])
                                            : std::bit_cast<std::uint64_t>(data[i]) ==
                                                  std::bit_cast<std::uint64_t>(want[i]))
                << result << " " << i;
    }
}

TEST(Frequencies, GroupsSortedStringsAndAppendsThemAfterWhatWasThere) {
    // Options, source; the source sorted, the distinct array and the counts buffer afterwards.
    // Case variants rank equal, so where case does not count a group may be spelled as any of
    // them: those rows are compared lower-cased.
    const std::tuple<std::uint32_t, Strings, Strings, Strings, Doubles> rows[] = {
        {0, {"b", "a", "b", "b"}, {"a", "b", "b", "b"}, {"old", "a", "b"}, {1, 3, -1, -1}},
        {0, {"x"}, {"x"}, {"old", "x"}, {1}},
        {0, {}, {}, {"old"}, {}},  // nothing counted, nothing written
        {FREQ_CASE_SENSITIVE, {"A", "a", "B"}, {"A", "B", "a"}, {"old", "A", "B", "a"}, {1, 1, 1}},
        {0, {"A", "a", "B"}, {"a", "a", "b"}, {"old", "a", "b"}, {2, 1, -1}},
        {FREQ_TRIM, {" a", "a\t"}, {"a", "a"}, {"old", "a"}, {2, -1}},
        {0, {" a", "a "}, {" a", "a "}, {"old", " a", "a "}, {1, 1}},
        {0xF0, {"10", "9", "10"}, {"10", "10", "9"}, {"old", "10", "9"}, {2, 1, -1}},  // as text
    };
    for (const auto& [options, source, sorted, distinct, counts] : rows) {
        TestStrings from, to{"old"};
        for (const std::string& s : source) from.array.Add(s.c_str());
        Doubles buffer(source.size() + 1, -1.0);
        std::uint32_t groups = 99;
        EXPECT_EQ(kxu_discrete_frequencies(&from, &to, buffer.data(), &groups, options),
                  source.empty() ? 0 : 1);
        const auto folded = [&](Strings v) {
            for (std::string& s : v)
                if (!(options & FREQ_CASE_SENSITIVE)) s = CString(s.c_str()).MakeLower();
            return v;
        };
        EXPECT_EQ(folded(from.Values()), sorted);
        EXPECT_EQ(folded(to.Values()), distinct);
        EXPECT_EQ(groups, source.empty() ? 99 : distinct.size() - 1);  // this call's groups only
        EXPECT_EQ(Doubles(buffer.begin(), buffer.end() - 1), counts);
    }
}

// Reference and current items, as the hosts hold them.
struct Items {
    Ints refIds, ids;
    Strings refTexts, texts, extra;
};

// The export on hosts that hold `it`, which then holds what they hold after the call.
// `extraIsTexts` hands the texts' host in as the extra one too.
int Remove(Items& it, bool extraIsTexts = false) {
    TestInts refIds, ids;
    TestStrings refTexts, texts, extra;
    for (auto [host, values] : {std::pair{&refIds, &it.refIds}, {&ids, &it.ids}})
        for (int v : *values) host->array.Add(v);
    for (auto [host, values] :
         {std::pair{&refTexts, &it.refTexts}, {&texts, &it.texts}, {&extra, &it.extra}})
        for (const std::string& s : *values) host->array.Add(s.c_str());
    const int r = kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts,
                                                   extraIsTexts ? &texts : &extra);
    it = {it.refIds, ids.Values(), it.refTexts, texts.Values(), extra.Values()};
    return r;
}

// The removal as first described, one item at a time: an item goes when the first reference
// text of its id equals its own, ignoring case. Arrays that do not fit are refused, -2 for the
// current ones, -3 for the reference, before anything changes.
int Kept(Items& it) {
    if (it.ids.empty() || it.ids.size() != it.texts.size() || it.extra.size() != it.ids.size())
        return -2;
    if (it.refIds.empty() || it.refIds.size() != it.refTexts.size()) return -3;
    Items kept{it.refIds, {}, it.refTexts, {}, {}};
    for (std::size_t i = 0; i < it.ids.size(); ++i) {
        const auto k = std::find(it.refIds.begin(), it.refIds.end(), it.ids[i]) - it.refIds.begin();
        if (k < std::ssize(it.refIds) &&
            CString(it.refTexts[k].c_str()).CompareNoCase(it.texts[i].c_str()) == 0)
            continue;
        kept.ids.push_back(it.ids[i]);
        kept.texts.push_back(it.texts[i]);
        kept.extra.push_back(it.extra[i]);
    }
    const auto removed = static_cast<int>(it.ids.size() - kept.ids.size());
    it = kept;
    return removed;
}

TEST(RemoveUnchanged, KeepsExactlyTheNewAndChangedItems) {
    std::vector<Items> cases = {
        {{1, 2}, {1, 2, 3}, {"Alpha", "Beta"}, {"alpha", "Gamma", "Delta"}, {"x", "y", "z"}},
        {{5, 5}, {5, 5, 5}, {"old", "new"}, {"new", "OLD", "old"}, {"p", "q", "r"}},  // first wins
        {{1, 2}, {2, 1}, {"a", "b"}, {"B", "A"}, {"p", "q"}},  // everything goes
        {{1}, {}, {"a"}, {}, {"e"}},
        {{1}, {1, 2}, {"a"}, {"a"}, {"e", "f"}},
        {{1}, {1}, {"a"}, {"a"}, {"e", "f"}},
        {{}, {1}, {}, {"a"}, {"e"}},
        {{1, 2}, {1}, {"a"}, {"a"}, {"e"}},
    };
    std::mt19937 rng(5);
    const char* words[] = {"a", "A", "b", "B", "c"};
    for (int m : {1, 5, 15, 16, 1000}) {  // a search below 16 reference ids, a table from there
        Items& it = cases.emplace_back();
        for (int i = 0; i < 3 * m + 3; ++i) {
            (i < m ? it.refIds : it.ids).push_back(static_cast<int>(rng() % (m + 6)) - 4);
            (i < m ? it.refTexts : it.texts).push_back(words[rng() % 5]);
            if (i >= m) it.extra.push_back(std::to_string(i));
        }
    }
    // Ids that all hash to the first slot of the removal's table, as it hashes them (128 slots
    // for 40 reference ids): each lookup there would walk the whole crowd, so part way the
    // removal turns to a sorted copy of the reference, with the same answers.
    std::vector<int> crowd;
    for (std::uint64_t id = 0; crowd.size() < 60; ++id)
        if ((id * 0x9E3779B97F4A7C15ULL) >> 57 == 0) crowd.push_back(static_cast<int>(id));
    Items& crowded = cases.emplace_back();
    for (int i = 0; i < 140; ++i) {
        const bool ref = i < 40;  // every other one; ten repeat an id, with another text
        (ref ? crowded.refIds : crowded.ids).push_back(crowd[ref ? i % 30 * 2 : rng() % 60]);
        (ref ? crowded.refTexts : crowded.texts).push_back(words[rng() % 5]);
        if (!ref) crowded.extra.push_back(std::to_string(i));
    }
    Items same = cases[0];  // an extra that is the texts array loses each item once
    for (Items& it : cases) {
        Items kept = it;
        const int removed = Kept(kept);
        EXPECT_EQ(Remove(it), removed) << it.refIds.size();
        EXPECT_TRUE(it.ids == kept.ids && it.texts == kept.texts && it.extra == kept.extra);
    }
    EXPECT_EQ(Remove(same, true), 1);
    EXPECT_EQ(same.texts, (Strings{"Gamma", "Delta"}));
}

}  // namespace
