// Every flat entry with each pointer argument null in turn, and with host
// objects that answer null: the code a script gets back, and that nothing
// was touched that the refusal should have spared. A crash fails the whole
// program, which is the point.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "files/scratch.h"
#include "support/test_host.h"

namespace {

class NullMatrix;

struct NullRow {
    const char* name;
    int expected;
    std::function<int(NullMatrix&)> call;
};

void PrintTo(const NullRow& row, std::ostream* os) { *os << row.name; }

// What a row hands its entry, in a state every refusal must leave alone: the
// hosts hold {"b", "a"} out of order, so a sort would show; the string holds
// a keyword and characters to escape, so a transform that went ahead would
// show. Also a folder with two files for the entries that take paths.
class NullMatrix : public ScratchTest, public testing::WithParamInterface<NullRow> {
  public:
    using ScratchTest::Tree;
    // For the entries that must refuse before asking any host.
    int Unasked(int code) {
        EXPECT_TRUE(host.requests.empty());
        return code;
    }
    TestStrings host{"b", "a"}, other{"b", "a"}, none{"b", "a"};
    CString text{"a and <b> &lt;"};
    double counts[2] = {-1, -1};
    std::uint32_t groups = 99;
    std::string src, dst, file;  // as the library spells them

  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        none.answerNull = true;
        Write("src/a.txt", "one\ntwo\n");
        Write("src/b.dat", "x");
        src = Lib("src"), dst = Lib("dst"), file = Lib("src/a.txt");
    }
};

TEST_P(NullMatrix, AnswersItsCodeAndSparesWhatItRefused) {
    EXPECT_EQ(GetParam().call(*this), GetParam().expected);
    const std::vector<std::string> old{"b", "a"};
    EXPECT_EQ(host.Values(), old);
    EXPECT_EQ(other.Values(), old);
    EXPECT_EQ(none.Values(), old);
    EXPECT_STREQ(text, "a and <b> &lt;");
    EXPECT_TRUE(counts[0] == -1 && counts[1] == -1 && groups == 99);
}

using Kit = NullMatrix&;

// Splitting and joining: -1 before any request for a null text, host object
// or separator; a host that answers null is refused, never written through.
const NullRow kSeparators[] = {
    {"separate_by_str/text", -1,
     [](Kit c) { return c.Unasked(kxu_separate_by_str(nullptr, &c.host, ",")); }},
    {"separate_by_str/host", -1, [](Kit) { return kxu_separate_by_str("a,b", nullptr, ","); }},
    {"separate_by_str/separator", -1,
     [](Kit c) { return c.Unasked(kxu_separate_by_str("a,b", &c.host, nullptr)); }},
    {"separate_by_str/host_answers_null", -1,
     [](Kit c) { return kxu_separate_by_str("a,b", &c.none, ","); }},
    {"separate_by_str/host_answers_null_empty_text", 0,
     [](Kit c) { return kxu_separate_by_str("", &c.none, ","); }},
    {"set_tokens_by_str/joined", -1,
     [](Kit c) { return c.Unasked(kxu_set_tokens_by_str(nullptr, &c.host, ",")); }},
    {"set_tokens_by_str/host", -1,
     [](Kit c) { return kxu_set_tokens_by_str(&c.text, nullptr, ","); }},
    {"set_tokens_by_str/separator", -1,
     [](Kit c) { return c.Unasked(kxu_set_tokens_by_str(&c.text, &c.host, nullptr)); }},
    {"set_tokens_by_str/host_answers_null", -1,
     [](Kit c) { return kxu_set_tokens_by_str(&c.text, &c.none, ","); }},
    {"SeparateByStr/array_for_a_real_text", -1,
     [](Kit) { return kxutilsSeparateByStr("a,b", nullptr, ","); }},
    {"SeparateByStr/array_for_an_empty_text", 0,
     [](Kit) { return kxutilsSeparateByStr("", nullptr, ","); }},
};
INSTANTIATE_TEST_SUITE_P(Separators, NullMatrix, testing::ValuesIn(kSeparators));

// Tokenizing: a missing array is -1 with nothing done, except that an empty
// text needs no array; a null text is split as an empty copy.
const NullRow kTokenizing[] = {
    {"GetTokens/text_is_one_empty_token", 1,
     [](Kit) {
         CStringArray tokens;
         int r = kxutilsGetTokens(nullptr, &tokens, ',', nullptr, 0, 0);
         EXPECT_EQ(ToVector(tokens), std::vector<std::string>{""});
         return r;
     }},
    {"GetTokens/tokens_only_count", 3,
     [](Kit) { return kxutilsGetTokens("a,b,", nullptr, ',', nullptr, 0, 0); }},
    {"GetTokens/tokens_and_state_in_every_quote_mode", 0,
     [](Kit) {
         for (int mode : {0, 34, 39, -1, -2, 40, 60, 91, 123})
             EXPECT_GT(kxutilsGetTokens("a, \"b,c\" ,(d,e)", nullptr, ',', nullptr, mode, 64), 0)
                 << mode;
         return 0;
     }},
    {"tokenize_one_csv_line/line_is_one_empty_cell", 1,
     [](Kit) {
         TestStrings cells{"old"};
         int r = kxu_tokenize_one_csv_line(nullptr, &cells);
         EXPECT_EQ(cells.Values(), std::vector<std::string>{""});
         return r;
     }},
    {"tokenize_one_csv_line/host", -1,
     [](Kit) { return kxu_tokenize_one_csv_line("a,b", nullptr); }},
    {"tokenize_one_csv_line/host_answers_null", -1,
     [](Kit c) { return kxu_tokenize_one_csv_line("a,\"b", &c.none); }},
    {"tokenize_one_csv_line/host_answers_null_empty_line", 0,
     [](Kit c) { return kxu_tokenize_one_csv_line("", &c.none); }},
    {"separate_key_values/keys", -1,
     [](Kit c) { return kxu_separate_key_values("a=1;b=2", nullptr, &c.host, ';'); }},
    {"separate_key_values/values", -1,
     [](Kit c) { return kxu_separate_key_values("a=1;b=2", &c.host, nullptr, ';'); }},
    {"separate_key_values/keys_answer_null", -1,
     [](Kit c) { return kxu_separate_key_values("a=1;b=2", &c.none, &c.host, ';'); }},
    {"separate_key_values/values_answer_null", -1,
     [](Kit c) { return kxu_separate_key_values("a=1;b=2", &c.host, &c.none, ';'); }},
    {"make_key_values_str/joined", -1,
     [](Kit c) { return kxu_make_key_values_str(nullptr, &c.host, &c.other, ','); }},
    {"make_key_values_str/keys", -1,
     [](Kit c) { return kxu_make_key_values_str(&c.text, nullptr, &c.host, ','); }},
    {"make_key_values_str/values", -1,
     [](Kit c) { return kxu_make_key_values_str(&c.text, &c.host, nullptr, ','); }},
    {"make_key_values_str/hosts_answer_null", -1,
     [](Kit c) { return kxu_make_key_values_str(&c.text, &c.none, &c.none, ','); }},
    {"separate_char_with_numeric_suffix/host", -1,
     [](Kit) { return kxu_separate_char_with_numeric_suffix("LP1", nullptr, "LU", "P"); }},
    {"separate_char_with_numeric_suffix/host_answers_null", -1,
     [](Kit c) { return kxu_separate_char_with_numeric_suffix("LP1", &c.none, "LU", "P"); }},
    {"separate_char_with_numeric_suffix/text_is_empty", 1,
     [](Kit) {
         TestStrings labels{"x"};
         return kxu_separate_char_with_numeric_suffix(nullptr, &labels, "LU", "P");
     }},
    {"separate_char_with_numeric_suffix/letter_sets_are_empty", -98,
     [](Kit c) { return kxu_separate_char_with_numeric_suffix("LP1", &c.host, nullptr, nullptr); }},
    {"SeparateWksLabelsChar/labels", -1,
     [](Kit) { return kxutilsSeparateWksLabelsChar("LU", nullptr, 0); }},
};
INSTANTIATE_TEST_SUITE_P(Tokenizing, NullMatrix, testing::ValuesIn(kTokenizing));

// Text transforms: the text they rewrite and the texts they read.
const NullRow kTransforms[] = {
    {"keyword_replace/text", -1,
     [](Kit) { return kxu_keyword_replace(nullptr, "and", "&&", false); }},
    {"keyword_replace/keyword", -1,
     [](Kit c) { return kxu_keyword_replace(&c.text, nullptr, "&&", false); }},
    {"keyword_replace/replacement", -1,
     [](Kit c) { return kxu_keyword_replace(&c.text, "and", nullptr, true); }},
    {"keyword_replace/keyword_on_empty_text", 0,
     [](Kit) {
         CString empty;
         return kxu_keyword_replace(&empty, nullptr, nullptr, false);
     }},
    {"get_correct_SK_expression/source", 0,
     [](Kit) {
         CString r("old");
         int code = kxu_get_correct_SK_expression(nullptr, &r);
         EXPECT_STREQ(r, "");
         return code;
     }},
    {"get_correct_SK_expression/result", 0,
     [](Kit) { return kxu_get_correct_SK_expression("a and b", nullptr); }},
    {"wrap_text/text", -1, [](Kit) { return kxu_wrap_text(nullptr, 4, 0); }},
    {"str_pad_char/text_pads_like_an_empty_one", 3,
     [](Kit) {
         CString padded = kxu_str_pad_char(nullptr, 3, 0, '*');
         EXPECT_STREQ(padded, "***");
         return padded.GetLength();
     }},
    {"skip_C_comments/text", -1, [](Kit) { return kxu_skip_C_comments(nullptr, 0); }},
    {"make_C_string_from_ascii/source_gives_empty", 0,
     [](Kit) {
         CString out("old");
         kxu_make_C_string_from_ascii(nullptr, &out);
         return out.GetLength();
     }},
    {"make_C_string_from_ascii/output", 0,
     [](Kit) { return kxu_make_C_string_from_ascii("a\"b", nullptr), 0; }},
    {"MakeValidCName/name", 0, [](Kit) { return kxuMakeValidCName(nullptr, '_'), 0; }},
    {"check_escape_html_charcters/target", 0,
     [](Kit) { return kxu_check_escape_html_charcters(nullptr, "<>", 0), 0; }},
    {"check_escape_html_charcters/selection", 0,
     [](Kit c) {
         kxu_check_escape_html_charcters(&c.text, nullptr, 0);
         return kxu_check_escape_html_charcters(&c.text, nullptr, 1), 0;
     }},
};
INSTANTIATE_TEST_SUITE_P(Transforms, NullMatrix, testing::ValuesIn(kTransforms));

// Reorder: -1 before anything moves, for any null object, order or answer.
const int kOrder[] = {1, 0};
const NullRow kReorder[] = {
    {"multi_str_reorder/destination", -1,
     [](Kit c) { return kxu_multi_str_reorder(2, nullptr, kOrder, 2, &c.host); }},
    {"multi_str_reorder/order", -1,
     [](Kit c) { return kxu_multi_str_reorder(2, &c.host, nullptr, 2, &c.other); }},
    {"multi_str_reorder/source", -1,
     [](Kit c) { return kxu_multi_str_reorder(2, &c.host, kOrder, 2, nullptr); }},
    {"multi_str_reorder/destination_answers_null", -1,
     [](Kit c) { return kxu_multi_str_reorder(2, &c.none, kOrder, 2, &c.host); }},
    {"multi_str_reorder/source_answers_null", -1,
     [](Kit c) { return kxu_multi_str_reorder(2, &c.host, kOrder, 2, &c.none); }},
};
INSTANTIATE_TEST_SUITE_P(Reorder, NullMatrix, testing::ValuesIn(kReorder));

// Files: null paths fail with the entry's failure code and leave the folder
// alone; a null exclusion list (or a host without one) is no refusal.
const NullRow kFiles[] = {
    {"copy_directory/source", 0,
     [](Kit c) {
         int r = kxu_copy_directory(nullptr, c.dst.c_str(), 1, nullptr, nullptr, 0);
         EXPECT_TRUE(c.Tree("dst").empty());
         return r;
     }},
    {"copy_directory/destination", 0,
     [](Kit c) { return kxu_copy_directory(c.src.c_str(), nullptr, 1, nullptr, nullptr, 0); }},
    {"copy_directory/lists", 1,
     [](Kit c) {
         return kxu_copy_directory(c.src.c_str(), c.dst.c_str(), 1, nullptr, nullptr, 0);
     }},
    {"copy_directory/lists_answer_null", 1,
     [](Kit c) {
         return kxu_copy_directory(c.src.c_str(), c.dst.c_str(), 1, &c.none, &c.none, 0);
     }},
    {"delete_files/directory", -1, [](Kit) { return kxu_delete_files(nullptr, "*.*", nullptr); }},
    {"delete_files/pattern_means_every_file", 2,
     [](Kit c) { return kxu_delete_files(c.src.c_str(), nullptr, &c.none); }},
    {"read_text_file_lines/path", -1,
     [](Kit c) { return kxu_read_text_file_lines(nullptr, &c.host, 0); }},
    {"read_text_file_lines/host", -2,
     [](Kit c) { return kxu_read_text_file_lines(c.file.c_str(), nullptr, 0); }},
    {"read_text_file_lines/host_answers_null", -2,
     [](Kit c) { return kxu_read_text_file_lines(c.file.c_str(), &c.none, 0); }},
    {"make_relative_path/base", -2,
     [](Kit c) { return kxu_make_relative_path(c.text, nullptr, "C:\\a\\b.txt", 5); }},
    {"make_relative_path/target", -1,
     [](Kit c) { return kxu_make_relative_path(c.text, "C:\\a\\", nullptr, 5); }},
};
INSTANTIATE_TEST_SUITE_P(Files, NullMatrix, testing::ValuesIn(kFiles));

// Messages: a null output still answers whether the message exists; null
// arguments for a message's placeholders give 0 and leave the output alone.
// A message box whose handler answers OK, as a user would.
int MessageBoxAnswer(int id, const char* first, const char* second) {
    auto old = AfxSetMessageBoxHandler([](const char*, UINT, UINT) { return IDOK; });
    int r = kxu_err_msgbox(id, MB_OK, first, nullptr, second);
    AfxSetMessageBoxHandler(old);
    return r;
}

const NullRow kMessages[] = {
    {"err_msg_heading/heading", 0, [](Kit) { return kxu_err_msg_heading(15001, nullptr); }},
    {"load_err_msg_str/text", 1, [](Kit) { return kxu_load_err_msg_str(15001, nullptr, 0); }},
    {"load_msg_str/text", 1,
     [](Kit) {
         int line = 3;
         return kxu_load_msg_str(15003, nullptr, "f", &line, nullptr, 0);
     }},
    {"load_msg_str/every_argument", 0,
     [](Kit c) { return kxu_load_msg_str(15001, &c.text, nullptr, nullptr, nullptr, 0); }},
    {"load_msg_str/number", 0,
     [](Kit c) { return kxu_load_msg_str(15003, &c.text, nullptr, nullptr, "f", 0); }},
    {"load_msg_str/first", 0,
     [](Kit c) { return kxu_load_msg_str(15004, &c.text, nullptr, nullptr, "b", 0); }},
    {"load_msg_str/second", 0,
     [](Kit c) { return kxu_load_msg_str(15004, &c.text, "a", nullptr, nullptr, 0); }},
    {"err_msgbox/first", IDOK, [](Kit) { return MessageBoxAnswer(15004, nullptr, "b"); }},
    {"err_msgbox/second", IDOK, [](Kit) { return MessageBoxAnswer(15004, "a", nullptr); }},
    {"load_runtime_err/text", 0, [](Kit) { return kxu_load_runtime_err(15001, nullptr); }},
};
INSTANTIATE_TEST_SUITE_P(Messages, NullMatrix, testing::ValuesIn(kMessages));

// Shell items: a null handle, name or output fails with the operation's code.
int ShellQuery(unsigned int op) {
    unsigned int handle = 0;
    EXPECT_EQ(kxu_shell_item(&handle, 0, reinterpret_cast<INT_PTR>(KX_SAMPLE_FILE), nullptr, 0), 0);
    int r = kxu_shell_item(&handle, op, SHELL_PROP_RATING, nullptr, 8);
    EXPECT_EQ(kxu_shell_item(&handle, 1, 0, nullptr, 0), 0);
    return r;
}
const NullRow kShell[] = {
    {"shell_item/handle_on_create", 15053,
     [](Kit) {
         return kxu_shell_item(nullptr, 0, reinterpret_cast<INT_PTR>(KX_SAMPLE_FILE), nullptr, 0);
     }},
    {"shell_item/name", 15053,
     [](Kit) {
         unsigned int handle = 99;
         int r = kxu_shell_item(&handle, 0, 0, nullptr, 0);
         EXPECT_EQ(handle, 99u);
         return r;
     }},
    {"shell_item/handle_on_release", 15054,
     [](Kit) { return kxu_shell_item(nullptr, 1, 0, nullptr, 0); }},
    {"shell_item/handle_on_query", 15054,
     [](Kit) { return kxu_shell_item(nullptr, 4, SHELL_PROP_TITLE, nullptr, 0); }},
    {"shell_item/bool_output", 15059, [](Kit) { return ShellQuery(2); }},
    {"shell_item/time_output", 15060, [](Kit) { return ShellQuery(3); }},
    {"shell_item/text_output", 15057, [](Kit) { return ShellQuery(4); }},
    {"shell_item/number_output", 15058, [](Kit) { return ShellQuery(5); }},
};
INSTANTIATE_TEST_SUITE_P(Shell, NullMatrix, testing::ValuesIn(kShell));

// The removal with argument `nulled` null (from 10: that host answering null).
// A refusal leaves the items as they were, and a null among the first four is
// seen before any host is asked. A null extra array is no refusal: it is optional.
int Removal(int nulled) {
    TestInts refIds{1}, ids{1, 2};
    TestStrings refTexts{"a"}, texts{"A", "b"}, extra{"x", "y"};
    CHostObject* args[] = {&refIds, &refTexts, &ids, &texts, &extra};
    bool* answersNull[] = {&refIds.answerNull, &refTexts.answerNull, &ids.answerNull,
                           &texts.answerNull, &extra.answerNull};
    if (nulled < 10)
        args[nulled] = nullptr;
    else
        *answersNull[nulled - 10] = true;
    int r = kxu_remove_unchanged_items_by_id(args[0], args[1], args[2], args[3], args[4]);
    if (r < 0) {
        EXPECT_EQ(ids.Values(), (std::vector<int>{1, 2}));
        EXPECT_EQ(texts.Values(), (std::vector<std::string>{"A", "b"}));
        EXPECT_EQ(extra.Values(), (std::vector<std::string>{"x", "y"}));
    }
    if (nulled < 4) {
        EXPECT_TRUE(refIds.requests.empty() && texts.requests.empty());
    }
    return r;
}

// Numeric data: a null buffer with elements to convert, and each null or
// answering-null host object or output of the frequency count and the
// removal, refused before anything is changed.
const NullRow kNumeric[] = {
    {"NANUM_to_nan/data", -1, [](Kit) { return kxu_NANUM_to_nan(nullptr, 2); }},
    {"NANUM_to_nan/no_data_none_asked", 0, [](Kit) { return kxu_NANUM_to_nan(nullptr, 0); }},
    {"nan_inf_to_NANUM/data", -1, [](Kit) { return kxu_nan_inf_to_NANUM(nullptr, 2); }},
    {"nan_inf_to_NANUM/no_data_none_asked", 0,
     [](Kit) { return kxu_nan_inf_to_NANUM(nullptr, 0); }},
    {"discrete_frequencies/source", -1,
     [](Kit c) { return kxu_discrete_frequencies(nullptr, &c.other, c.counts, &c.groups, 0); }},
    {"discrete_frequencies/distinct", -1,
     [](Kit c) { return kxu_discrete_frequencies(&c.host, nullptr, c.counts, &c.groups, 0); }},
    {"discrete_frequencies/counts", -1,
     [](Kit c) { return kxu_discrete_frequencies(&c.host, &c.other, nullptr, &c.groups, 0); }},
    {"discrete_frequencies/distinct_count", -1,
     [](Kit c) { return kxu_discrete_frequencies(&c.host, &c.other, c.counts, nullptr, 0); }},
    {"discrete_frequencies/source_answers_null", -1,
     [](Kit c) { return kxu_discrete_frequencies(&c.none, &c.other, c.counts, &c.groups, 0); }},
    {"discrete_frequencies/distinct_answers_null", -1,
     [](Kit c) { return kxu_discrete_frequencies(&c.host, &c.none, c.counts, &c.groups, 0); }},
    {"remove_unchanged_items_by_id/reference_ids", -1, [](Kit) { return Removal(0); }},
    {"remove_unchanged_items_by_id/reference_texts", -1, [](Kit) { return Removal(1); }},
    {"remove_unchanged_items_by_id/ids", -1, [](Kit) { return Removal(2); }},
    {"remove_unchanged_items_by_id/texts", -1, [](Kit) { return Removal(3); }},
    {"remove_unchanged_items_by_id/extra_is_optional", 1, [](Kit) { return Removal(4); }},
    {"remove_unchanged_items_by_id/reference_ids_answer_null", -3, [](Kit) { return Removal(10); }},
    {"remove_unchanged_items_by_id/reference_texts_answer_null", -1,
     [](Kit) { return Removal(11); }},
    {"remove_unchanged_items_by_id/ids_answer_null", -2, [](Kit) { return Removal(12); }},
    {"remove_unchanged_items_by_id/texts_answer_null", -1, [](Kit) { return Removal(13); }},
    {"remove_unchanged_items_by_id/extra_answers_null", -1, [](Kit) { return Removal(14); }},
};
INSTANTIATE_TEST_SUITE_P(Numeric, NullMatrix, testing::ValuesIn(kNumeric));

}  // namespace
