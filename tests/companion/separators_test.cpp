// Tests of the tokenizing operations of Kxtl9_64 (src/companion/separators.cpp).
//
// Every text is copied into a heap buffer of exactly its length + 1, so a read past the NUL is
// caught by AddressSanitizer. The angle-bracket switch is process-wide: each test that turns it
// on restores it, so it is off between tests whatever their order.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kxplatform.h"
#include "kxtl.h"
#include "separator_reference.h"

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

// ---- Every search against the reference ------------------------------------------------------
//
// The searches take shortcuts (a tight loop until a bracket opens, the memo of a split); the
// reference in separator_reference.h takes none. Texts are walked as the token splitter walks
// them: a NUL written over each answer, the token before it rewritten (so a search that looked
// behind its start would be caught), the next search from the byte after, past white space in
// white-space mode.

struct Mode {
    int separator;
    int options;  // find_separator_alt: its `quotes`
    bool angles;
    int escape = 0;
    const char* extra = nullptr;
    bool alt = false;
};

enum Way { Reference, Afresh, Remembering };
using Answers = std::vector<std::pair<int, int>>;  // offset (-1: none) and state of each search

Answers Walk(const std::string& text, const Mode& mode, Way way) {
    AngleBrackets angles(mode.angles);
    Buffer buffer(text);
    kxtl::SeparatorMemo memo{};
    ReferenceRules rules;
    rules.separator = mode.separator;
    rules.quotes = mode.alt ? mode.options != 0 : (mode.options & Q) != 0;
    rules.brackets = !mode.alt;
    rules.angles = mode.angles;
    rules.escape = mode.alt ? 0 : mode.escape;
    rules.extra = mode.alt ? nullptr : mode.extra;
    const bool white = (mode.separator & 0xFF) == 0;
    char* cur = white ? kxtl::skip_white_space(buffer.get()) : buffer.get();
    Answers answers;
    while (cur != nullptr) {
        int state = 0;
        char* found = nullptr;
        if (way == Reference) {
            found = ReferenceFindSeparator(cur, rules, &state);
            if (mode.alt) state = 0;
        } else if (mode.alt) {
            found = kxtl::find_separator_alt(cur, mode.separator, mode.options);
        } else if (way == Afresh) {
            found = kxtl::find_separator_ex(cur, mode.separator, mode.options, &state, mode.escape,
                                            mode.extra);
        } else {
            found = kxtl::find_separator_memo(cur, mode.separator, mode.options, &state,
                                              mode.escape, mode.extra, &memo);
        }
        answers.emplace_back(buffer.offset(found), state);
        if (found == nullptr) break;
        for (char* p = cur; p < found; ++p) *p = '(';
        *found = '\0';
        cur = white ? kxtl::skip_white_space_run(found + 1) : found + 1;
    }
    kxtl::release_separator_memo(&memo);
    EXPECT_EQ(memo.groups, nullptr);
    return answers;
}

void ExpectAllAgree(const std::string& text, const Mode& mode) {
    const Answers expected = Walk(text, mode, Reference);
    ASSERT_EQ(Walk(text, mode, Afresh), expected)
        << "afresh: " << text.substr(0, 60) << " separator " << mode.separator;
    ASSERT_EQ(Walk(text, mode, Remembering), expected)
        << "memo: " << text.substr(0, 60) << " separator " << mode.separator;
}

std::vector<Mode> EveryMode() {
    std::vector<Mode> modes;
    for (const int separator : {int{','}, 0, int{'('}, int{'"'}, -1})
        for (const int options : {0, Q})
            for (const bool angles : {false, true}) {
                modes.push_back({separator, options, angles});
                modes.push_back({separator, options, angles, '\\', ";"});
                modes.push_back({separator, options != 0 ? 1 : 0, angles, 0, nullptr, true});
            }
    modes.push_back({',', Q, false, '(', nullptr});  // an escape byte that is also an opener
    modes.push_back({',', Q, false, '"', "\""});
    return modes;
}

// Every text of up to six bytes that matter.
TEST(SeparatorSearches, AgreeWithTheReferenceOnEveryShortText) {
    const std::string alphabet = ",\"(>\\ <";
    const std::vector<Mode> modes = EveryMode();
    for (int code = 0; code < 8 * 8 * 8 * 8 * 8 * 8; ++code) {
        std::string text;  // digit 7 stands for no byte, so shorter texts come too
        for (int k = 0, digits = code; k < 6; ++k, digits /= 8)
            if (digits % 8 < 7) text += alphabet[static_cast<std::size_t>(digits % 8)];
        // Each text in one mode, picked by a hash so that no byte of the text decides it.
        ExpectAllAgree(text,
                       modes[(static_cast<unsigned>(code) * 2654435761u >> 13) % modes.size()]);
    }
}

// Random texts rich in brackets, quotes and escapes, and long hostile ones: groups that never
// close, stray closers, deep nesting, a quote left open in front of brackets.
TEST(SeparatorSearches, AgreeWithTheReferenceOnRandomAndHostileTexts) {
    const std::vector<Mode> modes = EveryMode();
    std::mt19937 dice(20261206);
    const std::string bytes = ",,;  \t\"\"(()[]{}<>\\xy\xff";
    for (int i = 0; i < 3000; ++i) {
        std::string text(dice() % 80, 'x');
        for (char& c : text) c = bytes[dice() % bytes.size()];
        ExpectAllAgree(text, modes[dice() % modes.size()]);
    }
    const auto repeat = [](const std::string& unit, std::size_t size) {
        std::string text;
        while (text.size() < size) text += unit;
        return text;
    };
    for (const std::string unit : {"(a,", "<a,", "([{a,", " a\t(", "(k=v;", "((((a", ")(a,", "\"a,",
                                   "(a,)", "\\(a,", "[a,\"", "{<a,(>"}) {
        for (const Mode& mode : modes) ExpectAllAgree(repeat(unit, 600), mode);
        ExpectAllAgree("\"" + repeat(unit, 600), {',', Q, true});
        ExpectAllAgree(repeat(unit, 300) + ")" + repeat(unit, 300), {',', Q, true});
    }
}

// One memo over one unchanged buffer, searched from anywhere in any order and with other rules
// in between, still answers as the search that remembers nothing.
TEST(SeparatorSearches, MemoAnswersFromAnyStart) {
    std::mt19937 dice(7);
    const std::string bytes = ",;\"(()[]{}<>\\ x";
    for (int i = 0; i < 300; ++i) {
        std::string text(200, 'x');
        for (char& c : text) c = bytes[dice() % bytes.size()];
        Buffer buffer(text);
        kxtl::SeparatorMemo memo{};
        for (int k = 0; k < 200; ++k) {
            const int from = static_cast<int>(dice() % (text.size() + 1));
            const int separator = dice() % 4 == 0 ? ';' : ',';
            const int escape = dice() % 4 == 0 ? '\\' : 0;
            int expectedState = 0, state = 0;
            char* expected = kxtl::find_separator_ex(buffer.get() + from, separator, Q,
                                                     &expectedState, escape, nullptr);
            ASSERT_EQ(kxtl::find_separator_memo(buffer.get() + from, separator, Q, &state, escape,
                                                nullptr, &memo),
                      expected)
                << text << " from " << from;
            ASSERT_EQ(state, expectedState);
        }
        kxtl::release_separator_memo(&memo);
    }
    kxtl::release_separator_memo(nullptr);
    int state = 1;
    kxtl::SeparatorMemo memo{};
    EXPECT_EQ(kxtl::find_separator_memo(nullptr, ',', Q, &state, 0, nullptr, &memo), nullptr);
    EXPECT_EQ(state, 0);
    Buffer buffer("(a,b");
    EXPECT_EQ(buffer.offset(
                  kxtl::find_separator_memo(buffer.get(), ',', Q, nullptr, 0, nullptr, nullptr)),
              2);
    // Only a search that had to read past its answer keeps what it read.
    Buffer closed("a,(b)"), open("(a,b");
    EXPECT_NE(kxtl::find_separator_memo(closed.get(), ',', Q, &state, 0, nullptr, &memo), nullptr);
    EXPECT_EQ(memo.groups, nullptr);
    EXPECT_NE(kxtl::find_separator_memo(open.get(), ',', Q, &state, 0, nullptr, &memo), nullptr);
    EXPECT_NE(memo.groups, nullptr);
    kxtl::release_separator_memo(&memo);
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
