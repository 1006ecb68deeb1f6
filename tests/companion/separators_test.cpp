// Tests of the tokenizing operations of Kxtl9_64 (src/companion/separators.cpp).
//
// Every text is copied into a heap buffer of exactly its length + 1, so a read past the NUL is
// caught by AddressSanitizer. The angle-bracket switch is process-wide: each test that turns it
// on restores it, so it is off between tests whatever their order.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

constexpr int Q = kxtl::FS_QUOTES;

// A writable copy of a text with no slack after its NUL.
class Buffer {
  public:
    explicit Buffer(const char* text) : size_(std::strlen(text) + 1), data_(new char[size_]) {
        std::memcpy(data_.get(), text, size_);
    }
    char* get() { return data_.get(); }
    int offset(const char* p) { return p == nullptr ? -1 : static_cast<int>(p - data_.get()); }

  private:
    std::size_t size_;
    std::unique_ptr<char[]> data_;
};

class AngleBrackets {
  public:
    explicit AngleBrackets(bool on) : previous_(kxtl::set_parenth_use_angle_brackets(on)) {}
    ~AngleBrackets() { kxtl::set_parenth_use_angle_brackets(previous_); }

  private:
    int previous_;
};

// The offsets of the successive separators the way the token splitter walks a text: search,
// then search again one byte after the separator found. `state` is that of the first search.
template <typename Find>
std::vector<int> walk(const char* text, Find find, int* firstState = nullptr) {
    Buffer buffer(text);
    std::vector<int> offsets;
    int state = -7;
    for (char* p = find(buffer.get(), &state); p != nullptr; p = find(p + 1, &state)) {
        if (firstState != nullptr && offsets.empty()) *firstState = state;
        offsets.push_back(buffer.offset(p));
    }
    if (firstState != nullptr && offsets.empty()) *firstState = state;
    return offsets;
}

struct SearchRow {
    const char* text;
    int separator;
    int options;
    bool angles;
    std::vector<int> offsets;
    int state;  // of the first search
};

TEST(AngleSwitch, StartsOffAndReturnsPrevious) {
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(1), 0);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(5), 1);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(0), 1);
    EXPECT_EQ(kxtl::set_parenth_use_angle_brackets(0), 0);
}

TEST(FindSeparator, Table) {
    const SearchRow rows[] = {
        {"a,b,c", ',', Q, false, {1, 3}, 0},
        {"", ',', Q, false, {}, 0},
        {"\"a,b\",c", ',', Q, false, {5}, 0},
        {"\"a,b\",c", ',', 0, false, {2, 5}, 0},       // quotes honoured only with 64
        {"\"d\"\"e,f\",g", ',', Q, false, {8}, 0},     // "" stays inside the stretch
        {"\"\",x", ',', Q, false, {2}, 0},             // empty stretch
        {"\"(,\",x", ',', Q, false, {4}, 0},           // brackets in quotes are literal
        {"f(a,[b,{c,d}]),e", ',', 0, false, {14}, 0},  // nesting
        {"<a,b>,c", ',', Q, false, {2, 5}, 0},         // <> only with the switch
        {"<a,b>,c", ',', Q, true, {5}, 0},
        {"(a,b", ',', Q, false, {2}, 1},  // unclosed: nothing is lost
        {"((((((((,", ',', Q, false, {8}, 1},
        {"(a,(b),c", ',', Q, false, {2, 6}, 1},  // balanced inner group still counts
        {"(a,[b),c", ',', Q, false, {2, 6}, 1},
        {"a\"b,c", ',', Q, false, {3}, 1},  // unclosed quote
        {"\"ab\"\",c", ',', Q, false, {5}, 1},
        {"ab,\"", ',', Q, false, {2}, 0},  // quote right before the NUL
        {"a(b\"c,d)\",e", ',', Q, false, {9}, 1},
        {"(a],b)", ',', Q, false, {}, 0},  // mismatched closer is ordinary
        {"x]y,z", ',', Q, false, {3}, 0},
        {"a,(b", ',', Q, false, {1}, 0},  // state covers only the bytes scanned
        {"[a)b,c]", ',', Q, false, {}, 0},
        {"a(b", '(', Q, false, {1}, 0},              // a separator is never an opener
        {"ab  (c d) e", 0, Q, false, {2, 3, 9}, 0},  // white space
        {"\"a b\"\tc", 0, Q, false, {5}, 0},
        {"a\240b\r\nc", 0, Q, false, {3, 4}, 0},                         // 0xA0 is not white space
        {"a\377b", static_cast<signed char>('\xFF'), Q, false, {1}, 0},  // sign-extended
    };
    for (const SearchRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text);
        AngleBrackets angles(row.angles);
        int state = -7;
        const auto find = [&](char* p, int* s) {
            return kxtl::find_separator(p, row.separator, row.options, s);
        };
        EXPECT_EQ(walk(row.text, find, &state), row.offsets);
        EXPECT_EQ(state, row.state);
    }
}

TEST(FindSeparator, NullTextAndNullState) {
    int state = 1;
    EXPECT_EQ(kxtl::find_separator(nullptr, ',', Q, &state), nullptr);
    EXPECT_EQ(state, 0);
    Buffer buffer("(a,b");
    EXPECT_EQ(buffer.offset(kxtl::find_separator(buffer.get(), ',', Q, nullptr)), 2);
    EXPECT_EQ(kxtl::find_separator_ex(nullptr, ',', Q, &state, '\\', ";"), nullptr);
    EXPECT_EQ(kxtl::find_separator_alt(nullptr, ',', 1), nullptr);
}

TEST(FindSeparator, DeepNestingStaysCorrect) {
    // Deeper than the inline stack, so the spill path is exercised too.
    const std::string open(5000, '('), close(5000, ')');
    const std::string balanced = open + "a,b" + close + ",c";
    EXPECT_EQ(
        walk(balanced.c_str(), [](char* p, int* s) { return kxtl::find_separator(p, ',', Q, s); }),
        std::vector<int>({10003}));
    const std::string unclosed = open + "a,b" + ",c";
    EXPECT_EQ(
        walk(unclosed.c_str(), [](char* p, int* s) { return kxtl::find_separator(p, ',', Q, s); }),
        std::vector<int>({5001, 5003}));
}

struct ExRow {
    const char* text;
    int escape;
    const char* extra;
    std::vector<int> offsets;
    int state;
};

TEST(FindSeparatorEx, EscapeAndExtra) {
    const ExRow rows[] = {
        {"a\\,b,c", '\\', nullptr, {4}, 0},
        {"a\\", '\\', nullptr, {}, 0},  // escape right before the NUL
        {"a,\\", '\\', nullptr, {1}, 0},
        {"\"\\", '\\', nullptr, {}, 1},             // quote, then escape at the end
        {"\"a\\\"b,c\",d", '\\', nullptr, {8}, 0},  // escaped quote stays inside
        {"\\(a,b", '\\', nullptr, {3}, 0},          // escaped opener opens nothing
        {"a;b,c", 0, ";", {1, 3}, 0},
        {"(a;b);c", 0, ";", {5}, 0},
        {"a\\;b;c", '\\', ";", {4}, 0},
    };
    for (const ExRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text);
        int state = -7;
        const auto find = [&](char* p, int* s) {
            return kxtl::find_separator_ex(p, ',', Q, s, row.escape, row.extra);
        };
        EXPECT_EQ(walk(row.text, find, &state), row.offsets);
        EXPECT_EQ(state, row.state);
    }
}

TEST(FindSeparatorAlt, BracketsIgnoredQuotesOptional) {
    AngleBrackets angles(true);  // must not matter
    const SearchRow rows[] = {
        {"(a,b)", ',', 1, true, {2}, 0},
        {"<a,b>", ',', 1, true, {2}, 0},
        {"\"a,b\",c", ',', 1, true, {5}, 0},
        {"\"a,b\",c", ',', 0, true, {2, 5}, 0},
        {"\"a\"\",b\",c", ',', 1, true, {7}, 0},
        {"\"a,b", ',', 1, true, {2}, 0},  // unclosed quote protects nothing
        {"\"a b\" c", 0, 1, true, {5}, 0},
    };
    for (const SearchRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text);
        const auto find = [&](char* p, int*) {
            return kxtl::find_separator_alt(p, row.separator, row.options);
        };
        EXPECT_EQ(walk(row.text, find), row.offsets);
    }
}

std::string shown(const char* text) { return text == nullptr ? "<null>" : text; }

struct TrimRow {
    char* (*skip)(char*);
    const char* text;
    const char* expected;  // null: null result
    int offset;            // of the result
};

TEST(SkipWhiteSpace, TrimsAndSkips) {
    const auto trim = kxtl::skip_white_space;  // cuts trailing white space too
    const auto run = kxtl::skip_white_space_run;
    const TrimRow rows[] = {
        {trim, "", nullptr, -1}, {trim, " \t\r\n\v\f", nullptr, -1},
        {trim, "a", "a", 0},     {trim, "  a b \t", "a b", 2},
        {trim, "a  ", "a", 0},   {trim, "\xA0", "\xA0", 0},
        {run, "", nullptr, -1},  {run, " \t", nullptr, -1},
        {run, "a", "a", 0},      {run, "  a ", "a ", 2},
    };
    for (const TrimRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text);
        Buffer buffer(row.text);
        const char* result = row.skip(buffer.get());
        EXPECT_EQ(buffer.offset(result), row.offset);
        EXPECT_EQ(shown(result), shown(row.expected));
    }
    EXPECT_EQ(trim(nullptr), nullptr);
    EXPECT_EQ(run(nullptr), nullptr);
}

struct PairRow {
    const char* text;
    int flags;
    const char* expected;
    int offset;
};

// Only the first and last bytes matter; with flags 1 a doubled enclosing quote inside becomes
// one, a lone one stays, and brackets are never collapsed.
TEST(StripEnclosingPair, Table) {
    const PairRow rows[] = {
        {"(a)", 1, "a", 1},
        {"<a>", 1, "a", 1},
        {"[a b]", 1, "a b", 1},
        {"{}", 1, "", 1},
        {"'x'", 1, "x", 1},
        {"\"\"", 1, "", 1},
        {"\"", 1, "\"", 0},
        {"(", 1, "(", 0},
        {"(a]", 1, "(a]", 0},
        {" (a)", 1, " (a)", 0},
        {"(a) ", 1, "(a) ", 0},
        {"", 1, "", 0},
        {"(a)(b)", 1, "a)(b", 1},
        {"\"a\"\"b\"", 1, "a\"b", 1},
        {"\"a\"\"b\"", 0, "a\"\"b", 1},
        {"'it''s'", 1, "it's", 1},
        {"\"a\"b\"", 1, "a\"b", 1},
        {"(a((b)", 1, "a((b", 1},
    };
    for (const PairRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text);
        Buffer buffer(row.text);
        int flags = row.flags;
        const char* result = kxtl::strip_enclosing_pair(buffer.get(), &flags);
        EXPECT_EQ(buffer.offset(result), row.offset);
        EXPECT_STREQ(result, row.expected);
        EXPECT_EQ(flags, row.flags);  // read, never written
    }
    EXPECT_EQ(kxtl::strip_enclosing_pair(nullptr, nullptr), nullptr);
    Buffer buffer("\"a\"\"b\"");
    EXPECT_STREQ(kxtl::strip_enclosing_pair(buffer.get(), nullptr), "a\"\"b");
}

struct UnquoteRow {
    const char* text;
    int options;
    const char* expected;
    int flags;
    int offset;
};

TEST(UnquoteCell, Table) {
    const UnquoteRow rows[] = {
        {"\"a,b\"", 0, "a,b", 1, 1},
        {"\"d\"\"e\"", 0, "d\"e", 1, 1},
        {"\"ab\"\"\"", 0, "ab\"", 1, 1},
        {"\"ab\"\"", 0, "ab\"", 5, 1},  // the last pair is a doubled quote, no closer
        {"\"\"", 0, "", 1, 1},
        {"\"", 0, "", 5, 1},
        {"\"ab", 0, "ab", 5, 1},
        {"\"ab\"x", 0, "ab", 3, 1},
        {"\"ab\"x", 0x2000, "abx", 3, 1},
        {"\"ab\"x\"\"y", 0x2000, "abx\"\"y", 3, 1},  // the tail is copied as it is
        {"\"ab\" ", 0x1000, "ab", 3, 1},             // other bits ignored
        {"ab", 0x2000, "ab", 0, 0},
        {"a\"b\"", 0, "a\"b\"", 0, 0},
        {" \"ab\"", 0, " \"ab\"", 0, 0},
        {"", 0, "", 0, 0},
    };
    for (const UnquoteRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << "text: " << row.text << " options " << row.options);
        Buffer buffer(row.text);
        int flags = -7;
        const char* result = kxtl::unquote_cell(buffer.get(), &flags, row.options);
        EXPECT_EQ(buffer.offset(result), row.offset);
        EXPECT_STREQ(result, row.expected);
        EXPECT_EQ(flags, row.flags);
    }
    int flags = -7;
    EXPECT_EQ(kxtl::unquote_cell(nullptr, &flags, 0), nullptr);
    EXPECT_EQ(flags, 0);
    Buffer buffer("\"x\"");
    EXPECT_STREQ(kxtl::unquote_cell(buffer.get(), nullptr, 0), "x");
}

TEST(GetCharClass, WhiteSpaceIsExactlyTheSixBytes) {
    std::string white;
    for (int c = 0; c < 256; ++c)
        if (kxtl::get_char_class(c) == kxtl::CC_SPACE) white += static_cast<char>(c);
    EXPECT_EQ(white, "\t\n\v\f\r ");
}

TEST(GetCharClass, EveryByteHasOneClassAndSignExtensionMatches) {
    int punct = 0;
    for (int c = 0; c < 256; ++c) {
        SCOPED_TRACE(c);
        const int cls = kxtl::get_char_class(c);
        EXPECT_EQ(kxtl::get_char_class(static_cast<signed char>(c)), cls);
        const bool letter = cls == kxtl::CC_UPPER || cls == kxtl::CC_LOWER;
        EXPECT_EQ(letter, kxp::cp_is_alpha(static_cast<unsigned char>(c)));
        if (cls == kxtl::CC_PUNCT) ++punct;
    }
    EXPECT_EQ(punct, 32);  // the ASCII punctuation

    const struct {
        int ch;
        int cls;
    } rows[] = {
        {'0', kxtl::CC_DIGIT},    {'9', kxtl::CC_DIGIT},  {'A', kxtl::CC_UPPER},
        {'z', kxtl::CC_LOWER},    {0, kxtl::CC_CONTROL},  {0x1F, kxtl::CC_CONTROL},
        {0x7F, kxtl::CC_CONTROL}, {'!', kxtl::CC_PUNCT},  {'~', kxtl::CC_PUNCT},
        {'_', kxtl::CC_PUNCT},    {0xA0, kxtl::CC_OTHER}, {0x80, kxtl::CC_OTHER},
        {0x81, kxtl::CC_OTHER},   {0xD7, kxtl::CC_OTHER}, {0x8A, kxtl::CC_UPPER},
        {0x9A, kxtl::CC_LOWER},   {0xDF, kxtl::CC_LOWER}, {0xAA, kxtl::CC_LOWER},
        {-64, kxtl::CC_UPPER},    {-1, kxtl::CC_LOWER},   {-96, kxtl::CC_OTHER},
    };
    for (const auto& row : rows) EXPECT_EQ(kxtl::get_char_class(row.ch), row.cls) << row.ch;
}

}  // namespace

namespace {

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
                Buffer shortcut(text.c_str()), full(text.c_str());
                for (int from = 0;;) {
                    int state = -1, fullState = -1;
                    const int found = shortcut.offset(
                        kxtl::find_separator(shortcut.get() + from, ',', options, &state));
                    ASSERT_EQ(found, full.offset(kxtl::find_separator_ex(
                                         full.get() + from, ',', options, &fullState, 1, nullptr)))
                        << text << " from " << from << " options " << options;
                    ASSERT_EQ(state, fullState) << text << " from " << from;
                    if (found < 0) break;
                    from = found + 1;
                }
            }
        }
    }
}

}  // namespace
