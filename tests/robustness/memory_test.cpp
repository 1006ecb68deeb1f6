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
#include <memory>
#include <string>

#include "support/test_host.h"

namespace fs = std::filesystem;

namespace {

using Snapshot = std::vector<std::string>;
using State = std::vector<Snapshot>;  // one snapshot per container

Snapshot Of(const CString& s) { return {std::string(s)}; }
Snapshot Of(const TestInts& ints) {
    Snapshot out;
    for (int v : ints.Values()) out.push_back(std::to_string(v));
    return out;
}

// Everything a row's call may touch, made before the countdown is armed.
struct Box {
    explicit Box(const char* old) : text(old) {
        // Enough reference ids for the removal's lookup table, which allocates
        // too; a frequency source in order once trimmed, so each position ends
        // as it began or trimmed, with enough groups that the distinct array
        // must grow.
        for (int i = 0; i < 20; ++i) {
            refIds.array.Add(i);
            refTexts.array.Add(CString(static_cast<char>('a' + i)));
        }
        for (char c = 'c'; c <= 'z'; ++c) source.array.Add(CString(c));
    }
    ~Box() {
        if (!root.empty()) fs::remove_all(root);
    }
    // A small tree under the build folder, for the rows that take paths.
    void MakeTree() {
        root = fs::path(KX_SCRATCH_DIR) / ("memory-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "src" / "sub");
        std::ofstream(root / "src" / "a.txt") << "line one\n  line two  \n\nthree";
        std::ofstream(root / "src" / "sub" / "b.txt") << "bee";
        src = Lib("src"), dst = Lib("dst");
    }
    std::string Lib(const std::string& relative) const {
        std::string text = (root / relative).string();
        std::replace(text.begin(), text.end(), '/', '\\');
        return text;
    }
    // Every file of the tree with its whole content.
    Snapshot Files() const {
        Snapshot out;
        if (root.empty()) return out;
        for (const auto& e : fs::recursive_directory_iterator(root)) {
            if (!e.is_regular_file()) continue;
            std::ifstream in(e.path(), std::ios::binary);
            out.push_back(fs::relative(e.path(), root).generic_string() + "=" +
                          std::string(std::istreambuf_iterator<char>(in), {}));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    State Take() const {
        return {Of(text),        Of(shared),     host.Values(),  keys.Values(), values.Values(),
                source.Values(), texts.Values(), extra.Values(), Of(ids),       Files()};
    }
    CString text, shared;
    TestStrings host{"alpha", "", "beta"}, keys{"a", "b"}, values{"1", "2"};
    TestStrings excluded{"none", "*.tmp"}, source{" a", "b ", "b"};
    TestStrings refTexts, texts{"D", "new", "changed"}, extra{"x", "y", "z"};
    TestInts refIds, ids{3, 40, 5};
    fs::path root;
    std::string src, dst;  // as the library spells them
    double counts[27];
    std::uint32_t groups = 0;
    int number = 12;
};

void Share(Box& b) { b.shared = b.text; }  // so the rewrite must copy first
void MakeTree(Box& b) { b.MakeTree(); }

// How a container may look when the call stopped part way.
enum class Shape {
    Positions,    // each element the old or the new one at its position
    GrowingLast,  // the same, but the last may be a start of the new one
    Members,      // each element one of the old or new ones (file trees)
};

struct MemoryRow {
    const char* name;
    const char* text;  // in the box's string before the call
    std::function<void(Box&)> call;
    Shape shape = Shape::Positions;
    void (*prepare)(Box&) = nullptr;
};

void PrintTo(const MemoryRow& row, std::ostream* os) { *os << row.name; }

struct Outcome {
    bool threw = false;
    State before, after;
};

// Runs the row with the k-th allocation failing (k = 0: none). Any exception
// but the memory exception is a fault, and leaves the test.
Outcome Attempt(const MemoryRow& row, long k) {
    Box box(row.text);
    if (row.prepare) row.prepare(box);
    Outcome o{false, box.Take(), {}};
    afx_detail::SetAllocationFailureCountdown(k);
    try {
        row.call(box);
    } catch (CMemoryException* e) {
        e->Delete();
        o.threw = true;
    }
    afx_detail::SetAllocationFailureCountdown(0);
    o.after = box.Take();
    return o;
}

bool In(const Snapshot& s, const std::string& m) {
    return std::find(s.begin(), s.end(), m) != s.end();
}

class MemoryExhaustion : public testing::TestWithParam<MemoryRow> {};

TEST_P(MemoryExhaustion, PassesTheExceptionOutAndKeepsContainersSound) {
    const MemoryRow& row = GetParam();
    const Outcome clean = Attempt(row, 0);
    ASSERT_FALSE(clean.threw);
    const State& done = clean.after;
    long failures = 0;
    for (long k = 1; k < 100000; ++k) {
        const Outcome o = Attempt(row, k);
        if (!o.threw) {
            EXPECT_EQ(o.after, done) << "after " << failures << " failed allocations";
            break;
        }
        ++failures;
        for (std::size_t c = 0; c < done.size(); ++c) {
            const Snapshot &was = o.before[c], &now = o.after[c], &fresh = done[c];
            if (row.shape == Shape::Members) {
                for (const std::string& m : now)
                    EXPECT_TRUE(In(fresh, m) || In(was, m)) << "k=" << k << ": " << m;
                // What the call would have kept, the source of a copy above all, is still there.
                for (const std::string& m : was)
                    EXPECT_TRUE(!In(fresh, m) || In(now, m)) << "k=" << k << ": " << m;
                continue;
            }
            ASSERT_LE(now.size(), std::max(was.size(), fresh.size())) << "k=" << k;
            for (std::size_t i = 0; i < now.size(); ++i) {
                const bool isOld = i < was.size() && now[i] == was[i];
                const bool isNew = i < fresh.size() && now[i] == fresh[i];
                const bool growing = row.shape == Shape::GrowingLast && i + 1 == now.size() &&
                                     i < fresh.size() && fresh[i].rfind(now[i], 0) == 0;
                EXPECT_TRUE(isOld || isNew || growing)
                    << "k=" << k << " at " << i << ": " << now[i];
            }
        }
    }
    EXPECT_GT(failures, 0) << "the call never allocated";
}

const MemoryRow kTokenizing[] = {
    {"GetTokens_plain", "",
     [](Box& b) { kxutilsGetTokens("alpha,beta,,gamma,", &b.host.array, ',', nullptr, 0, 0); }},
    {"GetTokens_quoted", "",
     [](Box& b) { kxutilsGetTokens(" a , \"b,\"\"c\" ,d", &b.host.array, ',', nullptr, '"', 0); }},
    {"GetTokens_angle", "",
     [](Box& b) { kxutilsGetTokens("f(a,b),<c,d>,e", &b.host.array, ',', nullptr, -2, 0); }},
    {"tokenize_one_csv_line", "",
     [](Box& b) { kxu_tokenize_one_csv_line("a,\"b,c\",\"d\"\"e\",", &b.host); }},
    {"separate_by_str", "", [](Box& b) { kxu_separate_by_str("a--bb----ccc", &b.host, "--"); }},
    // A suffix letter is appended on its own and its digits follow one by
    // one, each a complete label on the way ("P", then "P1").
    {"separate_char_with_numeric_suffix", "",
     [](Box& b) { kxu_separate_char_with_numeric_suffix("LUP1D2", &b.host, "LUCSREGF", "PDO"); },
     Shape::GrowingLast},
    {"set_tokens_by_str", "head:", [](Box& b) { kxu_set_tokens_by_str(&b.text, &b.host, ", "); }},
    {"separate_key_values", "",
     [](Box& b) { kxu_separate_key_values("a = 1; b=2;k=v=w", &b.keys, &b.values, ';'); }},
    {"make_key_values_str", "p",
     [](Box& b) { kxu_make_key_values_str(&b.text, &b.keys, &b.values, ','); }},
};
INSTANTIATE_TEST_SUITE_P(Tokenizing, MemoryExhaustion, testing::ValuesIn(kTokenizing));

const MemoryRow kTransforms[] = {
    {"keyword_replace_longer", "and band and x and",
     [](Box& b) { kxu_keyword_replace(&b.text, "and", "&&&&", false); }},
    {"keyword_replace_shared_text", "a and b",
     [](Box& b) { kxu_keyword_replace(&b.text, "and", "&&", false); }, Shape::Positions, Share},
    {"get_correct_SK_expression", "old",
     [](Box& b) { kxu_get_correct_SK_expression("a=1 and b<>2 or not c", &b.text); }},
    {"wrap_text", "aaa bbb ccc ddd\neee fff", [](Box& b) { kxu_wrap_text(&b.text, 4, 2); }},
    {"str_pad_char", "", [](Box& b) { b.text = kxu_str_pad_char("ab", 9, 1, '*'); }},
    {"skip_C_comments", " /* a */ x = 1; // b\n y = 2; /* c */ ",
     [](Box& b) { kxu_skip_C_comments(&b.text, 0); }},
    {"skip_C_comments_leading", " /* a */ x = 1; // b\n",
     [](Box& b) { kxu_skip_C_comments(&b.text, 1); }},
    {"make_C_string_from_ascii", "old",
     [](Box& b) {
         kxu_make_C_string_from_ascii("say \"hi\"\tand\\ go\n with a longer tail", &b.text);
     }},
    {"MakeValidCName", "2nd value!", [](Box& b) { kxuMakeValidCName(&b.text, '_'); },
     Shape::Positions, Share},
    {"check_escape_html_charcters", "a<b & c-1\nd>e",
     [](Box& b) { kxu_check_escape_html_charcters(&b.text, "<>& -\n", 0); }},
    {"check_escape_html_charcters_back", "&lt;p&gt;&amp;lt;&nbsp;x&#8722;1<br>",
     [](Box& b) { kxu_check_escape_html_charcters(&b.text, "<>& -\n", 1); }},
};
INSTANTIATE_TEST_SUITE_P(Transforms, MemoryExhaustion, testing::ValuesIn(kTransforms));

const MemoryRow kFiles[] = {
    {"read_text_file_lines", "",
     [](Box& b) { kxu_read_text_file_lines(b.Lib("src/a.txt").c_str(), &b.host, 0); },
     Shape::Positions, MakeTree},
    {"copy_directory", "",
     [](Box& b) {
         kxu_copy_directory(b.src.c_str(), b.dst.c_str(), 1, &b.excluded, &b.excluded, 0);
     },
     Shape::Members, MakeTree},
    {"delete_files", "",
     [](Box& b) { kxu_delete_files(b.Lib("src/sub").c_str(), "*.txt", &b.excluded); },
     Shape::Members, MakeTree},
    {"make_relative_path", "old",
     [](Box& b) { kxu_make_relative_path(b.text, "C:\\a\\b\\c\\x.txt", "C:\\a\\d\\y.txt", 5); }},
};
INSTANTIATE_TEST_SUITE_P(Files, MemoryExhaustion, testing::ValuesIn(kFiles));

const MemoryRow kMessages[] = {
    {"load_err_msg_str", "old", [](Box& b) { kxu_load_err_msg_str(15000, &b.text, 0); }},
    {"load_msg_str", "old",
     [](Box& b) { kxu_load_msg_str(15003, &b.text, "file.txt", &b.number, nullptr, 0); }},
    {"err_msg_heading", "old", [](Box& b) { kxu_err_msg_heading(15003, &b.text); }},
    {"load_runtime_err", "old", [](Box& b) { kxu_load_runtime_err(1, &b.text); }},
};
INSTANTIATE_TEST_SUITE_P(Messages, MemoryExhaustion, testing::ValuesIn(kMessages));

const MemoryRow kNumeric[] = {
    {"discrete_frequencies", "",
     [](Box& b) { kxu_discrete_frequencies(&b.source, &b.keys, b.counts, &b.groups, FREQ_TRIM); }},
    {"remove_unchanged_items_by_id", "",
     [](Box& b) {
         kxu_remove_unchanged_items_by_id(&b.refIds, &b.refTexts, &b.ids, &b.texts, &b.extra);
     }},
};
INSTANTIATE_TEST_SUITE_P(Numeric, MemoryExhaustion, testing::ValuesIn(kNumeric));

}  // namespace
