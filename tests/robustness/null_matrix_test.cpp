// Every flat entry with each pointer argument null in turn, and with host
// objects that answer null: the code a script gets back, and that nothing
// was touched that the refusal should have spared. A crash fails the whole
// program, which is the point.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/test_host.h"

namespace fs = std::filesystem;

namespace {

// A host whose every request answers null.
TestStrings NullStrings() {
    TestStrings host{"kept"};
    host.answerNull = true;
    return host;
}

// A real folder with two files, for the entries that take paths.
struct Folder {
    Folder() {
        path = fs::path(KX_SCRATCH_DIR) / ("null-matrix-" + std::to_string(getpid()) + "-" +
                                           std::to_string(counter++));
        fs::remove_all(path);
        fs::create_directories(path / "src");
        std::ofstream(path / "src" / "a.txt") << "one\ntwo\n";
        std::ofstream(path / "src" / "b.dat") << "x";
    }
    ~Folder() { fs::remove_all(path); }
    std::string Lib(const char* relative) const {
        std::string text = (path / relative).string();
        for (char& c : text)
            if (c == '/') c = '\\';
        return text;
    }
    std::size_t Count(const char* relative) const {
        std::size_t n = 0;
        if (fs::exists(path / relative))
            for ([[maybe_unused]] const auto& e : fs::directory_iterator(path / relative)) ++n;
        return n;
    }
    fs::path path;
    static inline int counter = 0;
};

struct NullRow {
    const char* name;
    int expected;
    std::function<int()> call;  // runs the entry and checks what it spared
};

void PrintTo(const NullRow& row, std::ostream* os) { *os << row.name; }

class NullMatrix : public testing::TestWithParam<NullRow> {};

TEST_P(NullMatrix, AnswersItsCodeAndSurvives) { EXPECT_EQ(GetParam().call(), GetParam().expected); }

// Splitting and joining: -1 before any request for a null text, host object
// or separator; a host that answers null is refused, never written through.
const NullRow kSeparators[] = {
    {"separate_by_str/text", -1,
     [] {
         TestStrings h{"kept"};
         int r = kxu_separate_by_str(nullptr, &h, ",");
         EXPECT_TRUE(h.requests.empty());
         EXPECT_EQ(h.Values(), std::vector<std::string>{"kept"});
         return r;
     }},
    {"separate_by_str/host", -1, [] { return kxu_separate_by_str("a,b", nullptr, ","); }},
    {"separate_by_str/separator", -1,
     [] {
         TestStrings h{"kept"};
         int r = kxu_separate_by_str("a,b", &h, nullptr);
         EXPECT_TRUE(h.requests.empty());
         return r;
     }},
    {"separate_by_str/host_answers_null", -1,
     [] {
         TestStrings h = NullStrings();
         int r = kxu_separate_by_str("a,b", &h, ",");
         EXPECT_EQ(h.requests.size(), 1u);
         EXPECT_EQ(h.Values(), std::vector<std::string>{"kept"});
         return r;
     }},
    {"separate_by_str/host_answers_null_empty_text", 0,
     [] {
         TestStrings h = NullStrings();
         return kxu_separate_by_str("", &h, ",");
     }},
    {"set_tokens_by_str/joined", -1,
     [] {
         TestStrings h{"a"};
         return kxu_set_tokens_by_str(nullptr, &h, ",");
     }},
    {"set_tokens_by_str/host", -1,
     [] {
         CString j("p");
         int r = kxu_set_tokens_by_str(&j, nullptr, ",");
         EXPECT_STREQ(j, "p");
         return r;
     }},
    {"set_tokens_by_str/separator", -1,
     [] {
         CString j("p");
         TestStrings h{"a"};
         int r = kxu_set_tokens_by_str(&j, &h, nullptr);
         EXPECT_TRUE(h.requests.empty());
         EXPECT_STREQ(j, "p");
         return r;
     }},
    {"set_tokens_by_str/host_answers_null", -1,
     [] {
         CString j("p");
         TestStrings h = NullStrings();
         int r = kxu_set_tokens_by_str(&j, &h, ",");
         EXPECT_STREQ(j, "p");
         return r;
     }},
    {"SeparateByStr/array_for_a_real_text", -1,
     [] { return kxutilsSeparateByStr("a,b", nullptr, ","); }},
    {"SeparateByStr/array_for_an_empty_text", 0,
     [] { return kxutilsSeparateByStr("", nullptr, ","); }},
};
INSTANTIATE_TEST_SUITE_P(Separators, NullMatrix, testing::ValuesIn(kSeparators));

// Tokenizing: a missing array is -1 with nothing done, except that an empty
// text needs no array; a null text is split as an empty copy.
int KeyValues(bool nullKeys, bool nullValues, bool keysAnswerNull, bool valuesAnswerNull) {
    TestStrings keys{"k"};
    TestStrings values{"v"};
    keys.answerNull = keysAnswerNull;
    values.answerNull = valuesAnswerNull;
    int r = kxu_separate_key_values("a=1;b=2", nullKeys ? nullptr : &keys,
                                    nullValues ? nullptr : &values, ';');
    EXPECT_EQ(keys.Values(), std::vector<std::string>{"k"});
    EXPECT_EQ(values.Values(), std::vector<std::string>{"v"});
    return r;
}
int JoinKeyValues(bool nullJoined, bool nullKeys, bool nullValues, bool answerNull) {
    CString joined("p");
    TestStrings keys{"a"};
    TestStrings values{"1"};
    keys.answerNull = values.answerNull = answerNull;
    int r = kxu_make_key_values_str(nullJoined ? nullptr : &joined, nullKeys ? nullptr : &keys,
                                    nullValues ? nullptr : &values, ',');
    EXPECT_STREQ(joined, "p");
    return r;
}
const NullRow kTokenizing[] = {
    {"GetTokens/text_is_one_empty_token", 1,
     [] {
         CStringArray tokens;
         int r = kxutilsGetTokens(nullptr, &tokens, ',', nullptr, 0, 0);
         EXPECT_EQ(ToVector(tokens), std::vector<std::string>{""});
         return r;
     }},
    {"GetTokens/tokens_only_count", 3,
     [] { return kxutilsGetTokens("a,b,", nullptr, ',', nullptr, 0, 0); }},
    {"GetTokens/tokens_and_state_in_every_quote_mode", 0,
     [] {
         for (int mode : {0, 34, 39, -1, -2, 40, 60, 91, 123})
             EXPECT_GT(kxutilsGetTokens("a, \"b,c\" ,(d,e)", nullptr, ',', nullptr, mode, 64), 0)
                 << mode;
         return 0;
     }},
    {"tokenize_one_csv_line/line", 1,
     [] {
         TestStrings cells{"old"};
         int r = kxu_tokenize_one_csv_line(nullptr, &cells);
         EXPECT_EQ(cells.Values(), std::vector<std::string>{""});
         return r;
     }},
    {"tokenize_one_csv_line/host", -1, [] { return kxu_tokenize_one_csv_line("a,b", nullptr); }},
    {"tokenize_one_csv_line/host_answers_null", -1,
     [] {
         TestStrings cells = NullStrings();
         int r = kxu_tokenize_one_csv_line("a,\"b", &cells);
         EXPECT_EQ(cells.Values(), std::vector<std::string>{"kept"});
         return r;
     }},
    {"tokenize_one_csv_line/host_answers_null_empty_line", 0,
     [] {
         TestStrings cells = NullStrings();
         return kxu_tokenize_one_csv_line("", &cells);
     }},
    {"separate_key_values/keys", -1, [] { return KeyValues(true, false, false, false); }},
    {"separate_key_values/values", -1, [] { return KeyValues(false, true, false, false); }},
    {"separate_key_values/keys_answer_null", -1, [] { return KeyValues(false, false, true, false); }},
    {"separate_key_values/values_answer_null", -1,
     [] { return KeyValues(false, false, false, true); }},
    {"make_key_values_str/joined", -1, [] { return JoinKeyValues(true, false, false, false); }},
    {"make_key_values_str/keys", -1, [] { return JoinKeyValues(false, true, false, false); }},
    {"make_key_values_str/values", -1, [] { return JoinKeyValues(false, false, true, false); }},
    {"make_key_values_str/hosts_answer_null", -1,
     [] { return JoinKeyValues(false, false, false, true); }},
    {"separate_char_with_numeric_suffix/host", -1,
     [] { return kxu_separate_char_with_numeric_suffix("LP1", nullptr, "LU", "P"); }},
    {"separate_char_with_numeric_suffix/host_answers_null", -1,
     [] {
         TestStrings labels = NullStrings();
         return kxu_separate_char_with_numeric_suffix("LP1", &labels, "LU", "P");
     }},
    {"separate_char_with_numeric_suffix/text_is_empty", 1,
     [] {
         TestStrings labels{"x"};
         return kxu_separate_char_with_numeric_suffix(nullptr, &labels, "LU", "P");
     }},
    {"separate_char_with_numeric_suffix/letter_sets_are_empty", -98,
     [] {
         TestStrings labels;
         int r = kxu_separate_char_with_numeric_suffix("LP1", &labels, nullptr, nullptr);
         EXPECT_TRUE(labels.Values().empty());
         return r;
     }},
    {"SeparateWksLabelsChar/labels", -1,
     [] { return kxutilsSeparateWksLabelsChar("LU", nullptr, 0); }},
};
INSTANTIATE_TEST_SUITE_P(Tokenizing, NullMatrix, testing::ValuesIn(kTokenizing));

// Text transforms: the text they rewrite and the texts they read.
const NullRow kTransforms[] = {
    {"keyword_replace/text", -1, [] { return kxu_keyword_replace(nullptr, "and", "&&", false); }},
    {"keyword_replace/keyword", -1,
     [] {
         CString t("a and b");
         int r = kxu_keyword_replace(&t, nullptr, "&&", false);
         EXPECT_STREQ(t, "a and b");
         return r;
     }},
    {"keyword_replace/replacement", -1,
     [] {
         CString t("a and b");
         int r = kxu_keyword_replace(&t, "and", nullptr, true);
         EXPECT_STREQ(t, "a and b");
         return r;
     }},
    {"keyword_replace/keyword_on_empty_text", 0,
     [] {
         CString t;
         return kxu_keyword_replace(&t, nullptr, nullptr, false);
     }},
    {"get_correct_SK_expression/source", 0,
     [] {
         CString r("old");
         int code = kxu_get_correct_SK_expression(nullptr, &r);
         EXPECT_STREQ(r, "");
         return code;
     }},
    {"get_correct_SK_expression/result", 0,
     [] { return kxu_get_correct_SK_expression("a and b", nullptr); }},
    {"wrap_text/text", -1, [] { return kxu_wrap_text(nullptr, 4, 0); }},
    {"str_pad_char/text", 3,
     [] {
         CString padded = kxu_str_pad_char(nullptr, 3, 0, '*');
         EXPECT_STREQ(padded, "***");  // a missing text pads like an empty one
         return padded.GetLength();
     }},
    {"skip_C_comments/text", -1, [] { return kxu_skip_C_comments(nullptr, 0); }},
    {"make_C_string_from_ascii/source", 0,
     [] {
         CString out("old");
         kxu_make_C_string_from_ascii(nullptr, &out);
         return out.GetLength();
     }},
    {"make_C_string_from_ascii/output", 0,
     [] {
         kxu_make_C_string_from_ascii("a\"b", nullptr);
         return 0;
     }},
    {"MakeValidCName/name", 0,
     [] {
         kxuMakeValidCName(nullptr, '_');
         return 0;
     }},
    {"check_escape_html_charcters/target", 0,
     [] {
         kxu_check_escape_html_charcters(nullptr, "<>", 0);
         return 0;
     }},
    {"check_escape_html_charcters/selection", 0,
     [] {
         CString t("a<b");
         kxu_check_escape_html_charcters(&t, nullptr, 0);
         kxu_check_escape_html_charcters(&t, nullptr, 1);
         EXPECT_STREQ(t, "a<b");
         return 0;
     }},
};
INSTANTIATE_TEST_SUITE_P(Transforms, NullMatrix, testing::ValuesIn(kTransforms));

// Reorder: -1 before anything moves, for any null object, order or answer.
int Reorder(bool nullDestination, bool nullOrder, bool nullSource, bool destinationAnswersNull,
            bool sourceAnswersNull) {
    TestStrings to{"x", "y"};
    TestStrings from{"a", "b"};
    to.answerNull = destinationAnswersNull;
    from.answerNull = sourceAnswersNull;
    const int order[] = {1, 0};
    int r = kxu_multi_str_reorder(2, nullDestination ? nullptr : &to, nullOrder ? nullptr : order,
                                  2, nullSource ? nullptr : &from);
    EXPECT_EQ(to.Values(), (std::vector<std::string>{"x", "y"}));
    return r;
}
const NullRow kReorder[] = {
    {"multi_str_reorder/destination", -1, [] { return Reorder(true, false, false, false, false); }},
    {"multi_str_reorder/order", -1, [] { return Reorder(false, true, false, false, false); }},
    {"multi_str_reorder/source", -1, [] { return Reorder(false, false, true, false, false); }},
    {"multi_str_reorder/destination_answers_null", -1,
     [] { return Reorder(false, false, false, true, false); }},
    {"multi_str_reorder/source_answers_null", -1,
     [] { return Reorder(false, false, false, false, true); }},
};
INSTANTIATE_TEST_SUITE_P(Reorder, NullMatrix, testing::ValuesIn(kReorder));

// Files: null paths fail with the entry's failure code and leave the folder
// alone; null exclusion lists (or hosts without them) exclude nothing.
const NullRow kFiles[] = {
    {"copy_directory/source", 0,
     [] {
         Folder f;
         int r = kxu_copy_directory(nullptr, f.Lib("dst").c_str(), 1, nullptr, nullptr, 0);
         EXPECT_FALSE(fs::exists(f.path / "dst"));
         return r;
     }},
    {"copy_directory/destination", 0,
     [] {
         Folder f;
         return kxu_copy_directory(f.Lib("src").c_str(), nullptr, 1, nullptr, nullptr, 0);
     }},
    {"copy_directory/lists_null_or_answer_null", 1,
     [] {
         Folder f;
         TestStrings dirs = NullStrings();
         TestStrings files = NullStrings();
         int r = kxu_copy_directory(f.Lib("src").c_str(), f.Lib("dst").c_str(), 1, &dirs, &files, 0);
         EXPECT_EQ(dirs.requests.size() + files.requests.size(), 2u);
         EXPECT_EQ(f.Count("dst"), 2u);
         EXPECT_EQ(kxu_copy_directory(f.Lib("src").c_str(), f.Lib("dst2").c_str(), 1, nullptr,
                                      nullptr, 0),
                   1);
         EXPECT_EQ(f.Count("dst2"), 2u);
         return r;
     }},
    {"delete_files/directory", -1, [] { return kxu_delete_files(nullptr, "*.*", nullptr); }},
    {"delete_files/pattern_means_every_file", 2,
     [] {
         Folder f;
         TestStrings excluded = NullStrings();
         int r = kxu_delete_files(f.Lib("src").c_str(), nullptr, &excluded);
         EXPECT_EQ(f.Count("src"), 0u);
         return r;
     }},
    {"read_text_file_lines/path", -1,
     [] {
         TestStrings lines{"kept"};
         int r = kxu_read_text_file_lines(nullptr, &lines, 0);
         EXPECT_EQ(lines.Values(), std::vector<std::string>{"kept"});
         return r;
     }},
    {"read_text_file_lines/host", -2,
     [] {
         Folder f;
         return kxu_read_text_file_lines(f.Lib("src\\a.txt").c_str(), nullptr, 0);
     }},
    {"read_text_file_lines/host_answers_null", -2,
     [] {
         Folder f;
         TestStrings lines = NullStrings();
         return kxu_read_text_file_lines(f.Lib("src\\a.txt").c_str(), &lines, 0);
     }},
    {"make_relative_path/base", -2,
     [] {
         CString r("old");
         int code = kxu_make_relative_path(r, nullptr, "C:\\a\\b.txt", 5);
         EXPECT_STREQ(r, "old");
         return code;
     }},
    {"make_relative_path/target", -1,
     [] {
         CString r("old");
         int code = kxu_make_relative_path(r, "C:\\a\\", nullptr, 5);
         EXPECT_STREQ(r, "old");
         return code;
     }},
};
INSTANTIATE_TEST_SUITE_P(Files, NullMatrix, testing::ValuesIn(kFiles));

// Messages: a null output still answers whether the message exists; null
// arguments for a message's placeholders give 0 and leave the output alone.
const NullRow kMessages[] = {
    {"err_msg_heading/heading", 0, [] { return kxu_err_msg_heading(15001, nullptr); }},
    {"load_err_msg_str/text", 1, [] { return kxu_load_err_msg_str(15001, nullptr, 0); }},
    {"load_msg_str/text", 1,
     [] {
         int n = 3;
         return kxu_load_msg_str(15003, nullptr, "f", &n, nullptr, 0);
     }},
    {"load_msg_str/every_argument", 0,
     [] {
         CString t("old");
         int r = kxu_load_msg_str(15001, &t, nullptr, nullptr, nullptr, 0);
         EXPECT_STREQ(t, "old");
         return r;
     }},
    {"load_msg_str/number", 0,
     [] {
         CString t("old");
         int r = kxu_load_msg_str(15003, &t, nullptr, nullptr, "f", 0);
         EXPECT_STREQ(t, "old");
         return r;
     }},
    {"load_msg_str/second", 0,
     [] {
         CString t("old");
         int r = kxu_load_msg_str(15004, &t, "a", nullptr, nullptr, 0);
         EXPECT_STREQ(t, "old");
         return r;
     }},
    {"err_msgbox/every_argument", IDOK,
     [] {
         AFX_MSGBOX_HANDLER old = AfxSetMessageBoxHandler([](const char*, UINT, UINT) { return IDOK; });
         int r = kxu_err_msgbox(15004, MB_OK, nullptr, nullptr, "b");
         AfxSetMessageBoxHandler(old);
         return r;
     }},
    {"load_runtime_err/text", 0, [] { return kxu_load_runtime_err(15001, nullptr); }},
};
INSTANTIATE_TEST_SUITE_P(Messages, NullMatrix, testing::ValuesIn(kMessages));

// Shell items: a null handle, name or output fails with the operation's code.
int ShellQuery(unsigned int op) {
    unsigned int handle = 0;
    EXPECT_EQ(kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(KX_SAMPLE_FILE), nullptr, 0),
              0);
    int r = kxu_shell_item(&handle, op, SHELL_PROP_RATING, nullptr, 8);
    EXPECT_EQ(kxu_shell_item(&handle, 1, 0, nullptr, 0), 0);
    return r;
}
const NullRow kShell[] = {
    {"shell_item/handle_on_create", 15053,
     [] { return kxu_shell_item(nullptr, 0, reinterpret_cast<INT_PTR>(KX_SAMPLE_FILE), nullptr, 0); }},
    {"shell_item/name", 15053,
     [] {
         unsigned int handle = 99;
         int r = kxu_shell_item(&handle, 0, 0, nullptr, 0);
         EXPECT_EQ(handle, 99u);
         return r;
     }},
    {"shell_item/handle_on_release", 15054, [] { return kxu_shell_item(nullptr, 1, 0, nullptr, 0); }},
    {"shell_item/handle_on_query", 15054,
     [] { return kxu_shell_item(nullptr, 4, SHELL_PROP_TITLE, nullptr, 0); }},
    {"shell_item/bool_output", 15059, [] { return ShellQuery(2); }},
    {"shell_item/time_output", 15060, [] { return ShellQuery(3); }},
    {"shell_item/text_output", 15057, [] { return ShellQuery(4); }},
    {"shell_item/number_output", 15058, [] { return ShellQuery(5); }},
};
INSTANTIATE_TEST_SUITE_P(Shell, NullMatrix, testing::ValuesIn(kShell));

// Numeric data: a null buffer with elements to convert, and each null or
// answering-null host object of the frequency count and the removal, refused
// before anything is changed.
const NullRow kNumeric[] = {
    {"NANUM_to_nan/data", -1, [] { return kxu_NANUM_to_nan(nullptr, 2); }},
    {"NANUM_to_nan/no_data_none_asked", 0, [] { return kxu_NANUM_to_nan(nullptr, 0); }},
    {"nan_inf_to_NANUM/data", -1, [] { return kxu_nan_inf_to_NANUM(nullptr, 2); }},
    {"nan_inf_to_NANUM/no_data_none_asked", 0, [] { return kxu_nan_inf_to_NANUM(nullptr, 0); }},
};
INSTANTIATE_TEST_SUITE_P(Numeric, NullMatrix, testing::ValuesIn(kNumeric));

// The frequency count with one of its pointers null (or answering null):
// -1, the source in its old order and nothing appended or counted.
struct FrequencyCase {
    const char* name;
    int nulled;  // 0 source, 1 distinct, 2 counts, 3 distinctCount; +10: the host answers null
};
void PrintTo(const FrequencyCase& c, std::ostream* os) { *os << c.name; }
class NullFrequencies : public testing::TestWithParam<FrequencyCase> {};
TEST_P(NullFrequencies, RefusesBeforeChangingAnything) {
    const int nulled = GetParam().nulled;
    TestStrings source{"b", "a", "b"}, distinct{"held"};
    source.answerNull = nulled == 10;
    distinct.answerNull = nulled == 11;
    double counts[3] = {-1, -1, -1};
    std::uint32_t groups = 99;
    EXPECT_EQ(kxu_discrete_frequencies(nulled == 0 ? nullptr : &source,
                                       nulled == 1 ? nullptr : &distinct,
                                       nulled == 2 ? nullptr : counts,
                                       nulled == 3 ? nullptr : &groups, FREQ_TRIM),
              -1);
    EXPECT_EQ(source.array.GetSize(), 3);
    EXPECT_STREQ(source.array[0], "b");
    EXPECT_EQ(distinct.array.GetSize(), 1);
    EXPECT_TRUE(counts[0] == -1 && groups == 99);
}
INSTANTIATE_TEST_SUITE_P(Numeric, NullFrequencies,
                         testing::Values(FrequencyCase{"source", 0}, FrequencyCase{"distinct", 1},
                                         FrequencyCase{"counts", 2},
                                         FrequencyCase{"distinct_count", 3},
                                         FrequencyCase{"source_answers_null", 10},
                                         FrequencyCase{"distinct_answers_null", 11}),
                         [](const auto& info) { return std::string(info.param.name); });

// The removal with one host object null or answering null: its code, and the
// current items as they were. A null extra array is no refusal: it is optional.
struct RemovalCase {
    const char* name;
    int nulled;  // 0..4: which argument is null; +10: that host answers null
    int expected;
};
void PrintTo(const RemovalCase& c, std::ostream* os) { *os << c.name; }
class NullRemoval : public testing::TestWithParam<RemovalCase> {};
TEST_P(NullRemoval, RefusesBeforeChangingAnything) {
    const auto [name, nulled, expected] = GetParam();
    TestInts refIds{1}, ids{1, 2};
    TestStrings refTexts{"a"}, texts{"A", "b"}, extra{"x", "y"};
    CHostObject* args[] = {&refIds, &refTexts, &ids, &texts, &extra};
    if (nulled < 10) {
        args[nulled] = nullptr;
    } else {
        for (auto* host : {&refTexts, &texts, &extra})
            host->answerNull = args[nulled - 10] == host;
        for (auto* host : {&refIds, &ids}) host->answerNull = args[nulled - 10] == host;
    }
    EXPECT_EQ(kxu_remove_unchanged_items_by_id(args[0], args[1], args[2], args[3], args[4]),
              expected);
    if (expected < 0) {
        EXPECT_EQ(ids.Values(), (std::vector<int>{1, 2}));
        EXPECT_EQ(texts.Values(), (std::vector<std::string>{"A", "b"}));
        EXPECT_EQ(extra.Values(), (std::vector<std::string>{"x", "y"}));
    }
    if (nulled < 4) {
        EXPECT_TRUE(refIds.requests.empty() && texts.requests.empty());
    }
}
INSTANTIATE_TEST_SUITE_P(
    Numeric, NullRemoval,
    testing::Values(RemovalCase{"reference_ids", 0, -1}, RemovalCase{"reference_texts", 1, -1},
                    RemovalCase{"ids", 2, -1}, RemovalCase{"texts", 3, -1},
                    RemovalCase{"extra_is_optional", 4, 1},
                    RemovalCase{"reference_ids_answer_null", 10, -3},
                    RemovalCase{"reference_texts_answer_null", 11, -1},
                    RemovalCase{"ids_answer_null", 12, -2},
                    RemovalCase{"texts_answer_null", 13, -1},
                    RemovalCase{"extra_answers_null", 14, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
