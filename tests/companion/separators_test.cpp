// Tests of the tokenizing operations of Kxtl9_64 (src/companion/separators.cpp).
//
// Every text is copied into a heap buffer of exactly its length + 1, so a read past the NUL is
// caught by AddressSanitizer. The angle-bracket switch is process-wide: each test that turns it
// on restores it, so it is off between tests whatever their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

constexpr int Q = kxtl::FS_QUOTES;

// A writable copy of a text with no slack after its NUL.
struct Buffer {
    explicit Buffer(const std::string& text) : data(text.c_str(), text.c_str() + text.size() + 1) {}
    char* get() { return data.data(); }
    int offset(const char* p) { return p == nullptr ? -1 : static_cast<int>(p - data.data()); }
    std::vector<char> data;
};

struct AngleBrackets {
    explicit AngleBrackets(bool on) : previous(kxtl::set_parenth_use_angle_brackets(on)) {}
    ~AngleBrackets() { kxtl::set_parenth_use_angle_brackets(previous); }
    int previous;
};

TEST(AngleSwitch, StartsOffAndReturnsPrevious) {
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(1), 0);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(5), 1);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(0), 1);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(0), 0);
}

// Plain: find_separator; Ex: find_separator_ex; Alt: find_separator_alt, whose `options` column
// is its `quotes` argument, run with the angle-bracket switch on, which it must ignore.
enum Op { Plain, Ex, Alt };
struct SearchRow {
    Op op;
    std::string text;
    int separator;
    int options;
    std::vector<int> offsets;  // of the separators, walking as the token splitter does
    int state = 0;             // of the first search
    int escape = 0;
    const char* extra = nullptr;
};

TEST(FindSeparator, Table) {
    const std::string open(5000, '('), close(5000, ')');  // deeper than the inline stack
    const SearchRow rows[] = {
        {Plain, "\"a,b\",c", ',', 0, {2, 5}},    // quotes honoured only with 64
        {Plain, "\"d\"\"e,f\",g", ',', Q, {8}},  // "" stays inside the stretch
        {Plain, "\"(,\",x", ',', Q, {4}},        // brackets in quotes are literal
        {Plain, "f(a,[b,{c,d}]),e", ',', 0, {14}},
        {Plain, "(a,b", ',', Q, {2}, 1},         // an unclosed opener protects nothing
        {Plain, "(a,(b),c", ',', Q, {2, 6}, 1},  // a balanced inner group still counts
        {Plain, "(a,[b),c", ',', Q, {2, 6}, 1},
        {Plain, "a\"b,c", ',', Q, {3}, 1},  // unclosed quote
        {Plain, "ab,\"", ',', Q, {2}},      // quote right before the NUL
        {Plain, "a(b\"c,d)\",e", ',', Q, {9}, 1},
        {Plain, "(a],b)", ',', Q, {}},  // a closer of another kind is ordinary
        {Plain, "x]y,z", ',', Q, {3}},
        {Plain, "a,(b", ',', Q, {1}},  // state covers only the bytes scanned
        {Plain, "a(b", '(', Q, {1}},   // a separator is never an opener
        {Plain, "\"a b\"\tc", 0, Q, {5}},
        {Plain, "a\240b\r\nc", 0, Q, {3, 4}},                         // 0xA0 is not white space
        {Plain, "a\377b", static_cast<signed char>('\xFF'), Q, {1}},  // sign-extended
        {Plain, open + "a,b" + close + ",c", ',', Q, {10003}},
        {Plain, open + "a,b,c", ',', Q, {5001, 5003}, 1},
        {Ex, "a\\,b,c", ',', Q, {4}, 0, '\\'},
        {Ex, "a\\", ',', Q, {}, 0, '\\'},  // escape right before the NUL
        {Ex, "a,\\", ',', Q, {1}, 0, '\\'},
        {Ex, "\"\\", ',', Q, {}, 1, '\\'},
        {Ex, "\"a\\\"b,c\",d", ',', Q, {8}, 0, '\\'},  // an escaped quote stays inside
        {Ex, "\\(a,b", ',', Q, {3}, 0, '\\'},          // an escaped opener opens nothing
        {Ex, "(a;b);c", 0, Q, {5}, 0, 0, ";"},
        {Ex, "a\\;b;c,d", ',', Q, {4, 6}, 0, '\\', ";"},
        {Alt, "<a,b>", ',', 1, {2}},
        {Alt, "\"a\"\",b\",c", ',', 1, {7}},
        {Alt, "\"a,b\",c", ',', 0, {2, 5}},
        {Alt, "\"a,b", ',', 1, {2}},  // an unclosed quote protects nothing
        {Alt, "\"a b\" c", 0, 1, {5}},
    };
    for (const SearchRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text.substr(0, 20));
        AngleBrackets angles(row.op == Alt);
        const auto find = [&](char* p, int* state) {
            if (row.op == Plain) return kxtl::find_separator(p, row.separator, row.options, state);
            if (row.op == Ex) {
                return kxtl::find_separator_ex(p, row.separator, row.options, state, row.escape,
                                               row.extra);
            }
            *state = 0;
            return kxtl::find_separator_alt(p, row.separator, row.options);
        };
        Buffer buffer(row.text);
        std::vector<int> offsets;
        int state = -7, later = -7;
        for (char* p = find(buffer.get(), &state); p != nullptr; p = find(p + 1, &later))
            offsets.push_back(buffer.offset(p));
        EXPECT_EQ(offsets, row.offsets);
        EXPECT_EQ(state, row.state);
    }
    int state = 1;
    EXPECT_EQ(kxtl::find_separator(nullptr, ',', Q, &state), nullptr);
    EXPECT_EQ(state, 0);
    EXPECT_EQ(kxtl::find_separator_ex(nullptr, ',', Q, &state, '\\', ";"), nullptr);
    EXPECT_EQ(kxtl::find_separator_alt(nullptr, ',', 1), nullptr);
    Buffer buffer("(a,b");
    EXPECT_EQ(buffer.offset(kxtl::find_separator(buffer.get(), ',', Q, nullptr)), 2);
}

// The plain search takes a shortcut until a bracket opens; the extended search, given an escape
// byte that never occurs, takes the full scan from the start. Every text of up to six bytes that
// matter, walked as the token splitter walks it, must get the same answers and states from both.
TEST(FindSeparator, ShortcutAgreesWithTheFullScanOnEveryShortText) {
    const std::string alphabet = ",\"()<>x";
    for (const int options : {0, Q}) {
        for (const bool angles : {false, true}) {
            AngleBrackets setting(angles);
            for (int code = 0; code < 8 * 8 * 8 * 8 * 8 * 8; ++code) {
                std::string text;  // digit 7 stands for no byte, so shorter texts come too
                for (int k = 0, digits = code; k < 6; ++k, digits /= 8)
                    if (digits % 8 < 7) text += alphabet[static_cast<std::size_t>(digits % 8)];
                Buffer shortcut(text), full(text);
                for (int from = 0, found = 0; found >= 0; from = found + 1) {
                    int state = -1, fullState = -1;
                    found = shortcut.offset(
                        kxtl::find_separator(shortcut.get() + from, ',', options, &state));
                    ASSERT_EQ(found, full.offset(kxtl::find_separator_ex(
                                         full.get() + from, ',', options, &fullState, 1, nullptr)))
                        << text << " from " << from << " options " << options;
                    ASSERT_EQ(state, fullState) << text << " from " << from;
                }
            }
        }
    }
}

// The in-place edits. Strip reads `arg` as its flags (and must not write them); Unquote takes it
// as its options and reports in `flags`.
enum Edit { Trim, Skip, Strip, Unquote };

TEST(InPlaceEdits, Table) {
    const struct {
        Edit op;
        const char* text;
        int arg;
        int offset;  // of the result, -1 for null
        const char* expected;
        int flags;
    } rows[] = {
        {Trim, "", 0, -1, "", 0},
        {Trim, " \t\r\n\v\f", 0, -1, "", 0},
        {Trim, "\xA0", 0, 0, "\xA0", 0},
        {Skip, "", 0, -1, "", 0},
        {Skip, " \t", 0, -1, "", 0},
        {Skip, "  a ", 0, 2, "a ", 0},  // the text is left as it is
        // Only the first and last bytes matter; with flags 1 a doubled enclosing quote inside
        // becomes one, a lone one stays, and brackets are never collapsed.
        {Strip, "<a>", 1, 1, "a", 1},
        {Strip, "{}", 1, 1, "", 1},
        {Strip, "'x'", 1, 1, "x", 1},
        {Strip, "\"", 1, 0, "\"", 1},
        {Strip, "(a]", 1, 0, "(a]", 1},
        {Strip, " (a)", 1, 0, " (a)", 1},
        {Strip, "(a)(b)", 1, 1, "a)(b", 1},
        {Strip, "\"a\"\"b\"", 0, 1, "a\"\"b", 0},
        {Strip, "'it''s'", 1, 1, "it's", 1},
        {Strip, "\"a\"b\"", 1, 1, "a\"b", 1},
        {Strip, "(a((b)", 1, 1, "a((b", 1},
        {Unquote, "\"d\"\"e,f\"", 0, 1, "d\"e,f", 1},
        {Unquote, "\"ab\"\"", 0, 1, "ab\"", 5},  // the last pair is a doubled quote, no closer
        {Unquote, "\"\"", 0, 1, "", 1},
        {Unquote, "\"", 0, 1, "", 5},
        {Unquote, "\"ab\"x", 0, 1, "ab", 3},
        {Unquote, "\"ab\"x\"\"y", 0x2000, 1, "abx\"\"y", 3},  // the tail is kept as it is
        {Unquote, "\"ab\" ", 0x1000, 1, "ab", 3},             // other bits ignored
        {Unquote, "ab", 0x2000, 0, "ab", 0},
        {Unquote, " \"ab\"", 0, 0, " \"ab\"", 0},
        {Unquote, "", 0, 0, "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text << " arg " << row.arg);
        Buffer buffer(row.text);
        int flags = row.op == Unquote ? -7 : row.arg;
        const char* result = row.op == Trim    ? kxtl::skip_white_space(buffer.get())
                             : row.op == Skip  ? kxtl::skip_white_space_run(buffer.get())
                             : row.op == Strip ? kxtl::strip_enclosing_pair(buffer.get(), &flags)
                                               : kxtl::unquote_cell(buffer.get(), &flags, row.arg);
        EXPECT_EQ(buffer.offset(result), row.offset);
        EXPECT_STREQ(result != nullptr ? result : "", row.expected);
        EXPECT_EQ(flags, row.flags);
    }
    int flags = -7;
    EXPECT_EQ(kxtl::unquote_cell(nullptr, &flags, 0), nullptr);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(kxtl::skip_white_space(nullptr), nullptr);
    EXPECT_EQ(kxtl::skip_white_space_run(nullptr), nullptr);
    EXPECT_EQ(kxtl::strip_enclosing_pair(nullptr, nullptr), nullptr);
    Buffer quoted("\"a\"\"b\"");  // null flags read as 0
    EXPECT_STREQ(kxtl::strip_enclosing_pair(quoted.get(), nullptr), "a\"\"b");
    Buffer cell("\"x\"");
    EXPECT_STREQ(kxtl::unquote_cell(cell.get(), nullptr, 0), "x");
}

TEST(GetCharClass, EveryByteHasOneClassAndSignExtensionMatches) {
    using namespace kxtl;
    std::string white;
    int punct = 0;
    for (int c = 0; c < 256; ++c) {
        const int cls = get_char_class(c);
        EXPECT_EQ(get_char_class(static_cast<signed char>(c)), cls) << c;
        EXPECT_EQ(cls == CC_UPPER || cls == CC_LOWER,
                  kxp::cp_is_alpha(static_cast<unsigned char>(c)))
            << c;
        punct += cls == CC_PUNCT;
        if (cls == CC_SPACE) white += static_cast<char>(c);
    }
    EXPECT_EQ(punct, 32);  // the ASCII punctuation
    EXPECT_EQ(white, "\t\n\v\f\r ");
    const int rows[][2] = {
        {'0', CC_DIGIT},  {'9', CC_DIGIT},    {'A', CC_UPPER},    {'z', CC_LOWER},
        {0, CC_CONTROL},  {0x1F, CC_CONTROL}, {0x7F, CC_CONTROL}, {'_', CC_PUNCT},
        {0xA0, CC_OTHER}, {0x81, CC_OTHER},   {0xD7, CC_OTHER},   {0x8A, CC_UPPER},
        {0xDF, CC_LOWER}, {0xAA, CC_LOWER},   {-64, CC_UPPER},
    };
    for (const auto& row : rows) EXPECT_EQ(get_char_class(row[0]), row[1]) << row[0];
}

}  // namespace
