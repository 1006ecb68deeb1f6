// Every flat entry, from one table of calls, in two hostile settings.
//
// Null: each pointer argument null in turn, and host objects that answer
// null. The row gives the code a script gets back; nothing the refusal should
// have spared may change.
//
// Memory: the framework's k-th allocation fails, for k = 1, 2, ... until the
// call gets through. The memory exception must pass out to the caller, and
// whatever the call touched must still be sound: a string holds its old or
// its new text, an array holds position by position old or new elements (a
// filler that appends may stop part way), a tree holds old or new files.
// LeakSanitizer, in the sanitizer build, sees anything the unwinding dropped.
//
// A crash fails the whole program, which is the point.
#include <climits>
#include <functional>
#include <string>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

using State = std::vector<Strings>;  // one snapshot per container

// What a row hands its entry. The hosts hold {"b", "a"} out of order, so a
// sort would show; the text holds a keyword and characters to escape, so a
// transform that went ahead would show.
struct Box {
    Box() {
        // Enough reference ids for the removal's lookup table, which allocates
        // too; a frequency source in order once trimmed, with enough groups
        // that the distinct array must grow.
        for (int i = 0; i < 20; ++i) {
            refIds.array.Add(i);
            refTexts.array.Add(CString(static_cast<char>('a' + i)));
        }
        for (char c = 'c'; c <= 'z'; ++c) source.array.Add(CString(c));
        for (double& c : counts) c = -1;
        none.answerNull = true;
    }
    // For the entries that must refuse before asking any host.
    int Unasked(int code) {
        for (const TestStrings* h : Hosts()) EXPECT_TRUE(h->requests.empty());
        EXPECT_TRUE(refIds.requests.empty() && ids.requests.empty());
        return code;
    }
    // For the rows whose call fills an array by design: `out`, which the
    // refusal check leaves out, must then hold `want`.
    int Out(int code, const Strings& want) {
        EXPECT_EQ(out.Values(), want);
        return code;
    }
    std::vector<const TestStrings*> Hosts() const {
        return {&host, &other, &none, &keys, &values, &source, &refTexts, &texts, &extra};
    }
    TestStrings host{"b", "a"}, other{"b", "a"}, none{"b", "a"}, keys{"a", "b"}, values{"1", "2"};
    TestStrings excluded{"none", "*.tmp"}, source{" a", "b ", "b"};
    TestStrings refTexts, texts{"D", "new", "changed"}, extra{"x", "y", "z"}, out{"old"};
    TestInts refIds, ids{3, 40, 5};
    CString text{"a and <b> &lt;"}, shared;
    double counts[27];
    std::uint32_t groups = 99;
    int number = 12;
    unsigned int handle = 99;
    std::string src, dst, file;  // as the library spells them
};

constexpr int kAny = INT_MIN;  // the code of a call that gets through is its own tests' business

struct Row {
    const char* name;
    int code;
    std::function<int(Box&)> call;
    const char* text = nullptr;  // in the box's string instead, before the call
    bool share = false;  // the text shared with another string, so a rewrite must copy first
    // A filler that appends may stop part way, and the last label may be a
    // start of the new one.
    bool growing = false;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

#define CALL(...) []([[maybe_unused]] Box& b) { return __VA_ARGS__; }

class Entries : public ScratchTest, public testing::WithParamInterface<Row> {
  protected:
    // A fresh small tree, for the entries that take paths.
    void Fill(Box& b, const Row& row) {
        fs::remove_all(root_);
        Write("src/a.txt", "one\n  two  \n\nthree");
        Write("src/b.dat", "x");
        Write("src/sub/b.txt", "bee");
        b.src = Lib("src"), b.dst = Lib("dst"), b.file = Lib("src/a.txt");
        if (row.text) b.text = row.text;
        if (row.share) b.shared = b.text;
    }
    State Take(const Box& b) const {
        auto of = [](const CString& s) { return Strings{std::string(s)}; };
        Strings ids, numbers{std::to_string(b.groups), std::to_string(b.handle)}, files;
        for (int v : b.ids.Values()) ids.push_back(std::to_string(v));
        for (double c : b.counts) numbers.push_back(std::to_string(c));
        for (const std::string& name : Tree(""))
            files.push_back(name.back() == '/' ? name : name + "=" + Read(name));
        State state{of(b.text), of(b.shared), ids, numbers};
        for (const TestStrings* h : b.Hosts()) state.push_back(h->Values());
        state.push_back(files);  // last, as the rows that copy or delete leave it out
        return state;
    }
};

class NullArguments : public Entries {};

TEST_P(NullArguments, AnswerTheirCodeAndSpareWhatTheyRefused) {
    Box b;
    Fill(b, GetParam());
    State before = Take(b);
    EXPECT_EQ(GetParam().call(b), GetParam().code);
    State after = Take(b);
    if (GetParam().code > 0) before.pop_back(), after.pop_back();  // the files: a copy or deletion
    EXPECT_EQ(after, before);
}

class MemoryExhaustion : public Entries {};

bool In(const Strings& s, const std::string& m) {
    return std::find(s.begin(), s.end(), m) != s.end();
}

// Runs the row with the k-th allocation failing, for k = 1, 2, ... until the
// call gets through (k = 0 first: none fails, for the end state). Any
// exception but the memory exception is a fault, and leaves the test.
TEST_P(MemoryExhaustion, PassesTheExceptionOutAndKeepsContainersSound) {
    const Row& row = GetParam();
    State done;
    for (long k = 0;; ++k) {
        Box b;
        Fill(b, row);
        const State was = Take(b);
        afx_detail::SetAllocationFailureCountdown(k);
        bool threw = false;
        int code = 0;
        try {
            code = row.call(b);
        } catch (CMemoryException* e) {
            e->Delete(), threw = true;
        }
        afx_detail::SetAllocationFailureCountdown(0);
        const State now = Take(b);
        if (k == 0) {
            ASSERT_FALSE(threw);
            EXPECT_TRUE(row.code == kAny || code == row.code) << code;
            done = now;
            continue;
        }
        if (!threw) {
            EXPECT_EQ(now, done) << "after " << k - 1 << " failed allocations";
            EXPECT_GT(k, 1) << "the call never allocated";
            break;
        }
        for (std::size_t c = 0; c < done.size(); ++c) {
            const Strings &old = was[c], &is = now[c], &fresh = done[c];
            if (c + 1 == done.size()) {  // the files: each an old or a new one
                for (const std::string& m : is)
                    EXPECT_TRUE(In(fresh, m) || In(old, m)) << "k=" << k << ": " << m;
                // What the call would have kept, the source of a copy above all, is still there.
                for (const std::string& m : old)
                    EXPECT_TRUE(!In(fresh, m) || In(is, m)) << "k=" << k << ": " << m;
                continue;
            }
            ASSERT_LE(is.size(), std::max(old.size(), fresh.size())) << "k=" << k;
            for (std::size_t i = 0; i < is.size(); ++i) {
                const bool growing = row.growing && i + 1 == is.size() && i < fresh.size() &&
                                     fresh[i].rfind(is[i], 0) == 0;
                EXPECT_TRUE((i < old.size() && is[i] == old[i]) ||
                            (i < fresh.size() && is[i] == fresh[i]) || growing)
                    << "k=" << k << " at " << i << ": " << is[i];
            }
        }
    }
}

// The code calls answer alike; each that answers otherwise fails the row.
int Each(std::initializer_list<int> codes) {
    int call = 0;
    for (int code : codes) EXPECT_EQ(code, *codes.begin()) << "call " << call++;
    return *codes.begin();
}

// The removal with one host answering null.
int Removal(Box& b, bool& answerNull) {
    answerNull = true;
    int r = kxu_remove_unchanged_items_by_id(&b.refIds, &b.refTexts, &b.ids, &b.texts, &b.extra);
    answerNull = false;
    return r;
}

// A message box whose handler answers OK, as a user would.
int MessageBoxAnswer(int id, const char* first, const char* second) {
    auto old = AfxSetMessageBoxHandler([](const char*, UINT, UINT) { return IDOK; });
    int r = kxu_err_msgbox(id, MB_OK, first, nullptr, second);
    AfxSetMessageBoxHandler(old);
    return r;
}

const int kOrder[] = {1, 0};

const Row kNull[] = {
    // -1 before any request, for a null text or separator to split or join,
    // or a null among the removal's first four.
    {"refused_before_any_request", -1,
     CALL(b.Unasked(Each(
         {kxu_separate_by_str(nullptr, &b.host, ","), kxu_separate_by_str("a,b", &b.host, nullptr),
          kxu_set_tokens_by_str(nullptr, &b.host, ","),
          kxu_set_tokens_by_str(&b.text, &b.host, nullptr),
          kxu_remove_unchanged_items_by_id(nullptr, &b.refTexts, &b.ids, &b.texts, &b.extra),
          kxu_remove_unchanged_items_by_id(&b.refIds, nullptr, &b.ids, &b.texts, &b.extra),
          kxu_remove_unchanged_items_by_id(&b.refIds, &b.refTexts, nullptr, &b.texts, &b.extra),
          kxu_remove_unchanged_items_by_id(&b.refIds, &b.refTexts, &b.ids, nullptr, &b.extra)})))},
    // -1 before anything moves, for a missing or null-answering host object,
    // a null output, order, data to convert, text to rewrite or path.
    {"refused", -1,
     CALL(Each({kxu_separate_by_str("a,b", nullptr, ","), kxu_separate_by_str("a,b", &b.none, ","),
                kxutilsSeparateByStr("a,b", nullptr, ","), kxu_set_tokens_by_str(&b.text, nullptr, ","),
                kxu_set_tokens_by_str(&b.text, &b.none, ","), kxu_tokenize_one_csv_line("a,b", nullptr),
                kxu_tokenize_one_csv_line("a,\"b", &b.none),
                kxu_separate_char_with_numeric_suffix("LP1", nullptr, "LU", "P"),
                kxu_separate_char_with_numeric_suffix("LP1", &b.none, "LU", "P"),
                kxutilsSeparateWksLabelsChar("LU", nullptr, 0),
                kxu_separate_key_values("a=1;b=2", nullptr, &b.host, ';'),
                kxu_separate_key_values("a=1;b=2", &b.host, nullptr, ';'),
                kxu_separate_key_values("a=1;b=2", &b.none, &b.host, ';'),
                kxu_separate_key_values("a=1;b=2", &b.host, &b.none, ';'),
                kxu_make_key_values_str(nullptr, &b.host, &b.other, ','),
                kxu_make_key_values_str(&b.text, nullptr, &b.host, ','),
                kxu_make_key_values_str(&b.text, &b.host, nullptr, ','),
                kxu_make_key_values_str(&b.text, &b.none, &b.none, ','),
                kxu_multi_str_reorder(2, nullptr, kOrder, 2, &b.host),
                kxu_multi_str_reorder(2, &b.host, nullptr, 2, &b.other),
                kxu_multi_str_reorder(2, &b.host, kOrder, 2, nullptr),
                kxu_multi_str_reorder(2, &b.none, kOrder, 2, &b.host),
                kxu_multi_str_reorder(2, &b.host, kOrder, 2, &b.none),
                kxu_discrete_frequencies(nullptr, &b.other, b.counts, &b.groups, 0),
                kxu_discrete_frequencies(&b.host, nullptr, b.counts, &b.groups, 0),
                kxu_discrete_frequencies(&b.host, &b.other, nullptr, &b.groups, 0),
                kxu_discrete_frequencies(&b.host, &b.other, b.counts, nullptr, 0),
                kxu_discrete_frequencies(&b.none, &b.other, b.counts, &b.groups, 0),
                kxu_discrete_frequencies(&b.host, &b.none, b.counts, &b.groups, 0),
                kxu_NANUM_to_nan(nullptr, 2), kxu_nan_inf_to_NANUM(nullptr, 2),
                kxu_keyword_replace(nullptr, "and", "&&", false),
                kxu_keyword_replace(&b.text, nullptr, "&&", false),
                kxu_keyword_replace(&b.text, "and", nullptr, true), kxu_wrap_text(nullptr, 4, 0),
                kxu_skip_C_comments(nullptr, 0), kxu_delete_files(nullptr, "*.*", nullptr),
                kxu_read_text_file_lines(nullptr, &b.host, 0),
                kxu_make_relative_path(b.text, "C:\\a\\", nullptr, 5),
                Removal(b, b.refTexts.answerNull), Removal(b, b.texts.answerNull),
                Removal(b, b.extra.answerNull)}))},
    {"reference_ids_answer_null", -3, CALL(Removal(b, b.refIds.answerNull))},
    {"ids_answer_null_or_no_file_host_or_base", -2,
     CALL(Each({Removal(b, b.ids.answerNull), kxu_read_text_file_lines(b.file.c_str(), nullptr, 0),
                kxu_read_text_file_lines(b.file.c_str(), &b.none, 0),
                kxu_make_relative_path(b.text, nullptr, "C:\\a\\b.txt", 5)}))},
    {"letter_sets_are_empty", -98,
     CALL(kxu_separate_char_with_numeric_suffix("LP1", &b.host, nullptr, nullptr))},
    // 0, with nothing done: an empty text needs no host; no keyword, a null
    // source or nothing to convert leave the text alone; null paths copy
    // nothing; a null output still answers whether the message exists, and
    // null arguments for a message's placeholders leave the output alone.
    {"nothing_done", 0,
     CALL(Each({kxu_separate_by_str("", &b.none, ","), kxutilsSeparateByStr("", nullptr, ","),
                kxu_tokenize_one_csv_line("", &b.none),
                kxu_keyword_replace(&b.shared, nullptr, nullptr, false),
                (b.shared = "old", kxu_get_correct_SK_expression(nullptr, &b.shared)),
                kxu_get_correct_SK_expression("a and b", nullptr),
                (b.shared = "old", kxu_make_C_string_from_ascii(nullptr, &b.shared), 0),
                (kxu_make_C_string_from_ascii("a\"b", nullptr), kxuMakeValidCName(nullptr, '_'), 0),
                (kxu_check_escape_html_charcters(nullptr, "<>", 0), 0),
                (kxu_check_escape_html_charcters(&b.text, nullptr, 0), 0),
                (kxu_check_escape_html_charcters(&b.text, nullptr, 1), 0),
                kxu_NANUM_to_nan(nullptr, 0), kxu_nan_inf_to_NANUM(nullptr, 0),
                kxu_copy_directory(nullptr, b.dst.c_str(), 1, nullptr, nullptr, 0),
                kxu_copy_directory(b.src.c_str(), nullptr, 1, nullptr, nullptr, 0),
                kxu_err_msg_heading(15001, nullptr), kxu_load_runtime_err(15001, nullptr),
                kxu_load_msg_str(15001, &b.text, nullptr, nullptr, nullptr, 0),
                kxu_load_msg_str(15003, &b.text, nullptr, nullptr, "f", 0),
                kxu_load_msg_str(15004, &b.text, nullptr, nullptr, "b", 0),
                kxu_load_msg_str(15004, &b.text, "a", nullptr, nullptr, 0)}))},
    // 1 for what goes through: a null text is split as an empty copy, pads
    // like an empty one; a null exclusion list (or a host without one) is no
    // refusal; a null output still answers whether the message exists; null
    // message-box arguments show the message (the box answers OK).
    {"null_as_empty", 1,
     CALL(Each({b.Out(kxutilsGetTokens(nullptr, &b.out.array, ',', nullptr, 0, 0), {""}),
                b.Out(kxu_tokenize_one_csv_line(nullptr, &b.out), {""}),
                kxu_separate_char_with_numeric_suffix(nullptr, &b.out, "LU", "P"),
                CString(kxu_str_pad_char(nullptr, 3, 0, '*')) == "***",
                kxu_copy_directory(b.src.c_str(), b.dst.c_str(), 1, nullptr, nullptr, 0),
                kxu_copy_directory(b.src.c_str(), b.dst.c_str(), 1, &b.none, &b.none, 0),
                kxu_load_err_msg_str(15001, nullptr, 0),
                kxu_load_msg_str(15003, nullptr, "f", &b.number, nullptr, 0),
                MessageBoxAnswer(15004, nullptr, "b"), MessageBoxAnswer(15004, "a", nullptr)}))},
    {"extra_array_is_optional", 1,
     [](Box&) {
         TestInts refIds{1}, ids{1, 2};
         TestStrings refTexts{"a"}, texts{"A", "b"};
         return kxu_remove_unchanged_items_by_id(&refIds, &refTexts, &ids, &texts, nullptr);
     }},
    // A null array only counts; a null pattern means every file.
    {"GetTokens_only_counts", 3, CALL(kxutilsGetTokens("a,b,", nullptr, ',', nullptr, 0, 0))},
    {"delete_files_every_file", 2, CALL(kxu_delete_files(b.src.c_str(), nullptr, &b.none))},
    // Shell items: a null handle, name or output fails with the operation's code.
    {"shell_item/handle_or_name", 15053,
     CALL(Each({kxu_shell_item(&b.handle, 0, 0, nullptr, 0),
                kxu_shell_item(nullptr, 0, INT_PTR(KX_SAMPLE_FILE), nullptr, 0)}))},
    {"shell_item/handle", 15054,
     CALL(Each({kxu_shell_item(nullptr, 1, 0, nullptr, 0),
                kxu_shell_item(nullptr, 4, SHELL_PROP_TITLE, nullptr, 0)}))},
    {"shell_item/outputs", 0,
     [](Box&) {
         unsigned int handle = 0;
         EXPECT_EQ(kxu_shell_item(&handle, 0, INT_PTR(KX_SAMPLE_FILE), nullptr, 0), 0);
         const int codes[] = {15059, 15060, 15057, 15058};  // bool, time, text, number
         for (int op = 2; op <= 5; ++op)
             EXPECT_EQ(kxu_shell_item(&handle, op, SHELL_PROP_RATING, nullptr, 8), codes[op - 2]);
         return kxu_shell_item(&handle, 1, 0, nullptr, 0);
     }},
};
INSTANTIATE_TEST_SUITE_P(Null, NullArguments, testing::ValuesIn(kNull));

// Calls that write different containers share a row: each container must
// hold its old or its new content, whichever call the failure stopped.
const Row kMemory[] = {
    {"GetTokens", 11,
     CALL(kxutilsGetTokens("alpha,beta,,gamma,", &b.host.array, ',', nullptr, 0, 0) +
          kxutilsGetTokens(" a , \"b,\"\"c\" ,d", &b.other.array, ',', nullptr, '"', 0) +
          kxutilsGetTokens("f(a,b),<c,d>,e", &b.keys.array, ',', nullptr, -2, 0))},
    {"tokenize_one_csv_line_and_separate_by_str", kAny,
     CALL(kxu_tokenize_one_csv_line("a,\"b,c\",\"d\"\"e\",", &b.host) +
          kxu_separate_by_str("a--bb----ccc", &b.other, "--"))},
    // A suffix letter is appended on its own and its digits follow one by
    // one, each a complete label on the way ("P", then "P1").
    {"separate_char_with_numeric_suffix", kAny,
     CALL(kxu_separate_char_with_numeric_suffix("LUP1D2", &b.host, "LUCSREGF", "PDO")), nullptr,
     false, true},
    {"set_tokens_by_str_and_make_key_values_str", kAny,
     CALL(kxu_set_tokens_by_str(&b.shared, &b.host, ", ") +
          kxu_make_key_values_str(&b.text, &b.keys, &b.values, ','))},
    {"separate_key_values", kAny,
     CALL(kxu_separate_key_values("a = 1; b=2;k=v=w", &b.keys, &b.values, ';'))},
    {"keyword_replace_of_a_shared_text", kAny,
     CALL(kxu_keyword_replace(&b.text, "and", "&&&&", false)), "and band and x and", true},
    {"get_correct_SK_expression_and_make_relative_path", kAny,
     CALL(kxu_get_correct_SK_expression("a=1 and b<>2 or not c", &b.shared) +
          kxu_make_relative_path(b.text, "C:\\a\\b\\c\\x.txt", "C:\\a\\d\\y.txt", 5))},
    {"wrap_text_and_str_pad_char", kAny,
     CALL((b.shared = kxu_str_pad_char("ab", 9, 1, '*'), kxu_wrap_text(&b.text, 4, 2))),
     "aaa bbb ccc ddd\neee fff"},
    {"skip_C_comments", kAny,
     CALL(kxu_skip_C_comments(&b.text, 0) + kxu_skip_C_comments(&b.shared, 1)),
     " /* a */ x = 1; // b\n y = 2; /* c */ ", true},
    {"MakeValidCName_and_make_C_string_from_ascii", kAny,
     CALL((kxuMakeValidCName(&b.shared, '_'),
           kxu_make_C_string_from_ascii("say \"hi\"\tand\\ go\n with a longer tail", &b.text), 0)),
     "2nd value!", true},
    {"check_escape_html_charcters_both_ways", kAny,
     CALL((kxu_check_escape_html_charcters(&b.text, "<>& -\n", 0),
           kxu_check_escape_html_charcters(&b.shared, "<>& -\n", 1), 0)),
     "a<b & c-1\nd>e &lt;p&gt;&amp;lt;&nbsp;x&#8722;1<br>", true},
    {"read_text_file_lines", kAny, CALL(kxu_read_text_file_lines(b.file.c_str(), &b.host, 0))},
    {"copy_directory", 1,
     CALL(kxu_copy_directory(b.src.c_str(), b.dst.c_str(), 1, &b.excluded, &b.excluded, 0))},
    {"delete_files", 1, CALL(kxu_delete_files((b.src + "\\sub").c_str(), "*.txt", &b.excluded))},
    {"messages", kAny,
     CALL(kxu_load_err_msg_str(15000, &b.text, 0) + kxu_err_msg_heading(15003, &b.shared))},
    {"more_messages", kAny,
     CALL(kxu_load_msg_str(15003, &b.text, "file.txt", &b.number, nullptr, 0) +
          kxu_load_runtime_err(1, &b.shared))},
    {"discrete_frequencies", kAny,
     CALL(kxu_discrete_frequencies(&b.source, &b.keys, b.counts, &b.groups, FREQ_TRIM))},
    {"remove_unchanged_items_by_id", kAny,
     CALL(kxu_remove_unchanged_items_by_id(&b.refIds, &b.refTexts, &b.ids, &b.texts, &b.extra))},
};
INSTANTIATE_TEST_SUITE_P(Memory, MemoryExhaustion, testing::ValuesIn(kMemory));

}  // namespace
