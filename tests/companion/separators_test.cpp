// The tokenizing operations of Kxtl9_64. The separator searches are held to the plain search of
// separator_reference.h; every text sits in a buffer of exactly its length + 1, so that
// AddressSanitizer sees a read past the NUL.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cctype>
#include <random>
#include <string>
#include <tuple>
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

// Texts are walked as the token splitter walks them: a NUL written over each answer, the token
// before it rewritten (a search that looked behind its start is caught), the next search from
// the byte after, past white space in white-space mode.
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
        } else if (way == Afresh && mode.escape == 0 && mode.extra == nullptr) {
            found = kxtl::find_separator(cur, mode.separator, mode.options, &state);
        } else if (way == Afresh && mode.extra != nullptr) {  // a null memo remembers nothing
            found = kxtl::find_separator_memo(cur, mode.separator, mode.options, &state,
                                              mode.escape, mode.extra, nullptr);
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

// A memo asked from any start, under changing rules, answers as the search that remembers
// nothing (the separators fuzz target asks it so). Here: a list under '"' leaves 9 as the next
// start of its split, a list under ';' then starts at 8 and ends; from 9 the quote at 10 opens.
TEST(SeparatorSearches, MemoStartedUnderOtherRulesForgetsTheSplitBefore) {
    Buffer buffer("(a,(cb,,\"d\"");
    kxtl::SeparatorMemo memo{};
    int state = -1;
    for (const auto& [from, separator, found, unclosed] :
         {std::tuple{5, '"', 8, 0}, {8, ';', -1, 0}, {9, ';', -1, 1}}) {
        EXPECT_EQ(buffer.offset(kxtl::find_separator_memo(buffer.get() + from, separator, Q, &state,
                                                          0, nullptr, &memo)),
                  found);
        EXPECT_EQ(state, unclosed) << from;
    }
    kxtl::release_separator_memo(&memo);
}

#if !defined(_WIN32)
// A split reads each byte a bounded number of times. Its first search may read to the end, to
// learn that a group never closes; from then on the memo answers, and a search that went back
// to reading the rest of the text would fault on its last page, made unreadable here.
TEST(SeparatorSearches, ASplitReadsTheRestOfTheTextOnce) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (const std::string unit : {"(a,", "[a,\"", "\"a,", "a,", "(k=v;"}) {
        SCOPED_TRACE(unit);
        void* area =
            mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(area, MAP_FAILED);
        char* const text = static_cast<char*>(area);
        for (std::size_t i = 0; i + 1 < 3 * page; ++i) text[i] = unit[i % unit.size()];
        text[3 * page - 1] = '\0';
        const int separator = unit.back();
        kxtl::SeparatorMemo memo{};
        int state = 0;
        char* found = kxtl::find_separator_memo(text, separator, Q, &state, 0, nullptr, &memo);
        ASSERT_EQ(mprotect(text + 2 * page, page, PROT_NONE), 0);
        while (found != nullptr && found < text + 2 * page - 200)
            found = kxtl::find_separator_memo(found + 1, separator, Q, &state, 0, nullptr, &memo);
        EXPECT_NE(found, nullptr);
        kxtl::release_separator_memo(&memo);
        munmap(area, 3 * page);
    }
}
#endif

// The splitters ask only for white space; the other classes are for the companion's callers.
// Below 0x80 they are those of the C library in its C locale.
TEST(GetCharClass, EveryByteHasOneClass) {
    using namespace kxtl;
    for (int c = 0; c < 256; ++c) {
        const int cls = get_char_class(c);
        EXPECT_EQ(get_char_class(static_cast<signed char>(c)), cls) << c;
        const int ascii = std::isspace(c)   ? CC_SPACE
                          : std::isdigit(c) ? CC_DIGIT
                          : std::isupper(c) ? CC_UPPER
                          : std::islower(c) ? CC_LOWER
                          : std::iscntrl(c) ? CC_CONTROL
                                            : CC_PUNCT;
        const bool letter = kxp::cp_is_alpha(static_cast<unsigned char>(c));
        EXPECT_EQ(cls, c < 0x80          ? ascii
                       : !letter         ? CC_OTHER
                       : c == 0x8A       ? CC_UPPER
                       : c == 0xAA       ? CC_LOWER
                       : cls == CC_UPPER ? cls
                                         : CC_LOWER)
            << c;
    }
}

}  // namespace
