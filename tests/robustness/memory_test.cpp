// Heap exhaustion through the exported entries: the framework's k-th
// allocation fails, for k = 1, 2, ... until the call gets through. Each time
// the memory exception must pass out to the caller, and whatever the call had
// touched must still be sound: a string holds its old or its new text, never
// a mixture; an array holds, position by position, old or new elements (a
// filler that appends may stop part way). LeakSanitizer, in the sanitizer
// build, sees anything the unwinding dropped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "support/test_host.h"

namespace fs = std::filesystem;

namespace {

using Snapshot = std::vector<std::string>;

struct Outcome {
    bool threw = false;
    Snapshot before;  // the touched containers as the call found them
    Snapshot after;
};

// Runs `call` with the k-th allocation failing (k = 0: none); true if the
// memory exception came out. Any other exception is a fault.
template <class Call>
bool Armed(long k, Call call) {
    afx_detail::SetAllocationFailureCountdown(k);
    bool threw = false;
    try {
        call();
    } catch (CMemoryException* e) {
        e->Delete();
        threw = true;
    }
    afx_detail::SetAllocationFailureCountdown(0);
    return threw;
}

const std::string kApart = "\x01";  // keeps two containers of a snapshot apart

std::vector<Snapshot> Parts(const Snapshot& s) {
    std::vector<Snapshot> parts(1);
    for (const std::string& m : s)
        if (m == kApart)
            parts.emplace_back();
        else
            parts.back().push_back(m);
    return parts;
}

Snapshot Of(const CString& s) { return {std::string(s)}; }
Snapshot Join(Snapshot a, const Snapshot& b) {
    a.push_back(kApart);
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// How a container may look when the call stopped part way.
enum class Shape {
    Positions,    // each element the old or the new one at its position
    GrowingLast,  // the same, but the last may be a start of the new one
    Members,      // each element one of the old or new ones (file trees)
};

struct MemoryRow {
    const char* name;
    Shape shape;
    std::function<Outcome(long)> run;
};

void PrintTo(const MemoryRow& row, std::ostream* os) { *os << row.name; }

class MemoryExhaustion : public testing::TestWithParam<MemoryRow> {};

TEST_P(MemoryExhaustion, PassesTheExceptionOutAndKeepsContainersSound) {
    const MemoryRow& row = GetParam();
    const Outcome clean = row.run(0);
    ASSERT_FALSE(clean.threw);
    const Snapshot& done = clean.after;
    long failures = 0;
    for (long k = 1; k < 100000; ++k) {
        const Outcome o = row.run(k);
        if (!o.threw) {
            EXPECT_EQ(o.after, done) << "after " << failures << " failed allocations";
            break;
        }
        ++failures;
        if (row.shape != Shape::Members) {
            const auto before = Parts(o.before), after = Parts(o.after), fresh = Parts(done);
            ASSERT_EQ(after.size(), fresh.size());
            for (std::size_t c = 0; c < after.size(); ++c) {
                const Snapshot& was = c < before.size() ? before[c] : Snapshot{};
                ASSERT_LE(after[c].size(), std::max(was.size(), fresh[c].size())) << "k=" << k;
                for (std::size_t i = 0; i < after[c].size(); ++i) {
                    const std::string& m = after[c][i];
                    const bool isOld = i < was.size() && m == was[i];
                    const bool isNew = i < fresh[c].size() && m == fresh[c][i];
                    const bool growing = row.shape == Shape::GrowingLast &&
                                         i + 1 == after[c].size() && i < fresh[c].size() &&
                                         fresh[c][i].rfind(m, 0) == 0;
                    EXPECT_TRUE(isOld || isNew || growing) << "k=" << k << " at " << i << ": " << m;
                }
            }
        } else {
            for (const std::string& m : o.after)
                EXPECT_TRUE(std::count(done.begin(), done.end(), m) > 0 ||
                            std::count(o.before.begin(), o.before.end(), m) > 0)
                    << "k=" << k << ": " << m;
        }
    }
    EXPECT_GT(failures, 0) << "the call never allocated";
}

// One host array as the only container touched.
template <class Call>
Outcome OnArray(long k, std::initializer_list<const char*> old, Call call) {
    TestStrings host(old);
    Outcome o;
    o.before = host.Values();
    o.threw = Armed(k, [&] { call(host); });
    o.after = host.Values();
    return o;
}

// One string, rewritten in place.
template <class Call>
Outcome OnString(long k, const char* text, Call call) {
    CString s(text);
    Outcome o;
    o.before = Of(s);
    o.threw = Armed(k, [&] { call(s); });
    o.after = Of(s);
    return o;
}

const MemoryRow kTokenizing[] = {
    {"GetTokens_plain", Shape::Positions,
     [](long k) {
         CStringArray tokens;
         tokens.Add("old");
         Outcome o{false, ToVector(tokens), {}};
         o.threw = Armed(k, [&] { kxutilsGetTokens("alpha,beta,,gamma,", &tokens, ',', nullptr, 0, 0); });
         o.after = ToVector(tokens);
         return o;
     }},
    {"GetTokens_quoted", Shape::Positions,
     [](long k) {
         CStringArray tokens;
         Outcome o;
         o.threw = Armed(k, [&] {
             kxutilsGetTokens(" a , \"b,\"\"c\" ,d", &tokens, ',', nullptr, '"', 0);
         });
         o.after = ToVector(tokens);
         return o;
     }},
    {"GetTokens_angle", Shape::Positions,
     [](long k) {
         CStringArray tokens;
         Outcome o;
         o.threw = Armed(k, [&] { kxutilsGetTokens("f(a,b),<c,d>,e", &tokens, ',', nullptr, -2, 0); });
         o.after = ToVector(tokens);
         return o;
     }},
    {"tokenize_one_csv_line", Shape::Positions,
     [](long k) {
         return OnArray(k, {"old", "older"},
                        [](TestStrings& h) { kxu_tokenize_one_csv_line("a,\"b,c\",\"d\"\"e\",", &h); });
     }},
    {"separate_by_str", Shape::Positions,
     [](long k) {
         return OnArray(k, {"old"}, [](TestStrings& h) { kxu_separate_by_str("a--bb----ccc", &h, "--"); });
     }},
    // A suffix letter is appended on its own and its digits follow one by
    // one, each a complete label on the way ("P", then "P1").
    {"separate_char_with_numeric_suffix", Shape::GrowingLast,
     [](long k) {
         return OnArray(k, {"old"}, [](TestStrings& h) {
             kxu_separate_char_with_numeric_suffix("LUP1D2", &h, "LUCSREGF", "PDO");
         });
     }},
    {"set_tokens_by_str", Shape::Positions,
     [](long k) {
         TestStrings tokens{"alpha", "", "beta"};
         return OnString(k, "head:", [&](CString& s) { kxu_set_tokens_by_str(&s, &tokens, ", "); });
     }},
    {"separate_key_values", Shape::Positions,
     [](long k) {
         TestStrings keys{"k"};
         TestStrings values{"v"};
         Outcome o;
         o.before = Join(keys.Values(), values.Values());
         o.threw = Armed(k, [&] { kxu_separate_key_values("a = 1; b=2;k=v=w", &keys, &values, ';'); });
         o.after = Join(keys.Values(), values.Values());
         return o;
     }},
    {"make_key_values_str", Shape::Positions,
     [](long k) {
         TestStrings keys{"a", "b"};
         TestStrings values{"1", "2"};
         return OnString(k, "p", [&](CString& s) { kxu_make_key_values_str(&s, &keys, &values, ','); });
     }},
};
INSTANTIATE_TEST_SUITE_P(Tokenizing, MemoryExhaustion, testing::ValuesIn(kTokenizing));

const MemoryRow kTransforms[] = {
    {"keyword_replace_longer", Shape::Positions,
     [](long k) {
         return OnString(k, "and band and x and",
                         [](CString& s) { kxu_keyword_replace(&s, "and", "&&&&", false); });
     }},
    {"keyword_replace_shared_text", Shape::Positions,
     [](long k) {
         CString shared("a and b");
         CString s(shared);  // unsharing is the first allocation
         Outcome o{false, Of(s), {}};
         o.threw = Armed(k, [&] { kxu_keyword_replace(&s, "and", "&&", false); });
         o.after = Join(Of(s), Of(shared));
         o.before = Join(o.before, Of(shared));
         return o;
     }},
    {"get_correct_SK_expression", Shape::Positions,
     [](long k) {
         return OnString(k, "old", [](CString& s) {
             kxu_get_correct_SK_expression("a=1 and b<>2 or not c", &s);
         });
     }},
    {"wrap_text", Shape::Positions,
     [](long k) {
         return OnString(k, "aaa bbb ccc ddd\neee fff", [](CString& s) { kxu_wrap_text(&s, 4, 2); });
     }},
    {"str_pad_char", Shape::Positions,
     [](long k) {
         return OnString(k, "", [](CString& s) { s = kxu_str_pad_char("ab", 9, 1, '*'); });
     }},
    {"skip_C_comments", Shape::Positions,
     [](long k) {
         return OnString(k, " /* a */ x = 1; // b\n y = 2; /* c */ ",
                         [](CString& s) { kxu_skip_C_comments(&s, 0); });
     }},
    {"skip_C_comments_leading", Shape::Positions,
     [](long k) {
         return OnString(k, " /* a */ x = 1; // b\n", [](CString& s) { kxu_skip_C_comments(&s, 1); });
     }},
    {"make_C_string_from_ascii", Shape::Positions,
     [](long k) {
         return OnString(k, "old", [](CString& s) {
             kxu_make_C_string_from_ascii("say \"hi\"\tand\\ go\n with a longer tail", &s);
         });
     }},
    {"MakeValidCName", Shape::Positions,
     [](long k) {
         return OnString(k, "2nd value!", [](CString& s) {
             CString alias(s);  // shared, so the rewrite must copy first
             kxuMakeValidCName(&s, '_');
         });
     }},
    {"check_escape_html_charcters", Shape::Positions,
     [](long k) {
         return OnString(k, "a<b & c-1\nd>e", [](CString& s) {
             kxu_check_escape_html_charcters(&s, "<>& -\n", 0);
         });
     }},
    {"check_escape_html_charcters_back", Shape::Positions,
     [](long k) {
         return OnString(k, "&lt;p&gt;&amp;lt;&nbsp;x&#8722;1<br>", [](CString& s) {
             kxu_check_escape_html_charcters(&s, "<>& -\n", 1);
         });
     }},
};
INSTANTIATE_TEST_SUITE_P(Transforms, MemoryExhaustion, testing::ValuesIn(kTransforms));

// A small tree under the build folder, made before the countdown is armed.
struct Tree {
    Tree() {
        root = fs::path(KX_SCRATCH_DIR) / ("memory-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "src" / "sub");
        std::ofstream(root / "src" / "a.txt") << "line one\n  line two  \n\nthree";
        std::ofstream(root / "src" / "sub" / "b.txt") << "bee";
    }
    ~Tree() { fs::remove_all(root); }
    std::string Lib(const std::string& relative) const {
        std::string text = (root / relative).string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }
    // Every file below `relative` with its whole content.
    Snapshot Files(const std::string& relative) const {
        Snapshot out;
        if (!fs::exists(root / relative)) return out;
        for (const auto& e : fs::recursive_directory_iterator(root / relative)) {
            if (!e.is_regular_file()) continue;
            std::ifstream in(e.path(), std::ios::binary);
            out.push_back(fs::relative(e.path(), root / relative).string() + "=" +
                          std::string(std::istreambuf_iterator<char>(in), {}));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path root;
};

const MemoryRow kFiles[] = {
    {"read_text_file_lines", Shape::Positions,
     [](long k) {
         Tree t;
         return OnArray(k, {"kept"}, [&](TestStrings& h) {
             kxu_read_text_file_lines(t.Lib("src/a.txt").c_str(), &h, 0);
         });
     }},
    {"copy_directory", Shape::Members,
     [](long k) {
         Tree t;
         TestStrings dirs{"none"};
         TestStrings files{"*.tmp"};
         Outcome o;
         o.threw = Armed(k, [&] {
             kxu_copy_directory(t.Lib("src").c_str(), t.Lib("dst").c_str(), 1, &dirs, &files, 0);
         });
         EXPECT_EQ(t.Files("src").size(), 2u);  // the source is never touched
         o.after = t.Files("dst");
         return o;
     }},
    {"delete_files", Shape::Members,
     [](long k) {
         Tree t;
         TestStrings excluded{"none.txt"};
         Outcome o;
         o.before = t.Files("src");
         o.threw = Armed(k, [&] { kxu_delete_files(t.Lib("src/sub").c_str(), "*.txt", &excluded); });
         o.after = t.Files("src");
         return o;
     }},
    {"make_relative_path", Shape::Positions,
     [](long k) {
         return OnString(k, "old", [](CString& s) {
             kxu_make_relative_path(s, "C:\\a\\b\\c\\x.txt", "C:\\a\\d\\y.txt", 5);
         });
     }},
};
INSTANTIATE_TEST_SUITE_P(Files, MemoryExhaustion, testing::ValuesIn(kFiles));

const MemoryRow kMessages[] = {
    {"load_err_msg_str", Shape::Positions,
     [](long k) { return OnString(k, "old", [](CString& s) { kxu_load_err_msg_str(15000, &s, 0); }); }},
    {"load_msg_str", Shape::Positions,
     [](long k) {
         return OnString(k, "old", [](CString& s) {
             int line = 12;
             kxu_load_msg_str(15003, &s, "file.txt", &line, nullptr, 0);
         });
     }},
    {"err_msg_heading", Shape::Positions,
     [](long k) { return OnString(k, "old", [](CString& s) { kxu_err_msg_heading(15003, &s); }); }},
    {"load_runtime_err", Shape::Positions,
     [](long k) { return OnString(k, "old", [](CString& s) { kxu_load_runtime_err(15001, &s); }); }},
};
INSTANTIATE_TEST_SUITE_P(Messages, MemoryExhaustion, testing::ValuesIn(kMessages));

Snapshot Of(const TestInts& ints) {
    Snapshot out;
    for (int v : ints.Values()) out.push_back(std::to_string(v));
    return out;
}

const MemoryRow kNumeric[] = {
    // Trimmed, the source is already in order, so each position ends as it
    // began or trimmed; enough groups that the distinct array must grow.
    {"discrete_frequencies", Shape::Positions,
     [](long k) {
         TestStrings source{" a", "b ", "b"}, distinct{"held"};
         for (char c = 'c'; c <= 'z'; ++c) source.array.Add(CString(c));
         double counts[26];
         std::uint32_t groups = 0;
         Outcome o{false, Join(source.Values(), distinct.Values()), {}};
         o.threw = Armed(k, [&] {
             kxu_discrete_frequencies(&source, &distinct, counts, &groups, FREQ_TRIM);
         });
         o.after = Join(source.Values(), distinct.Values());
         return o;
     }},
    // Enough reference ids for the lookup table, which allocates too.
    {"remove_unchanged_items_by_id", Shape::Positions,
     [](long k) {
         TestInts refIds, ids{3, 40, 5};
         TestStrings refTexts, texts{"D", "new", "changed"}, extra{"x", "y", "z"};
         for (int i = 0; i < 20; ++i) {
             refIds.array.Add(i);
             refTexts.array.Add(CString(static_cast<char>('a' + i)));
         }
         Outcome o{false, Join(Join(Of(ids), texts.Values()), extra.Values()), {}};
         o.threw = Armed(k, [&] {
             kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts, &extra);
         });
         o.after = Join(Join(Of(ids), texts.Values()), extra.Values());
         return o;
     }},
};
INSTANTIATE_TEST_SUITE_P(Numeric, MemoryExhaustion, testing::ValuesIn(kNumeric));

}  // namespace
