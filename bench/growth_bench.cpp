// Growth on hostile texts: every text entry of the library on inputs built to make it slow
// (brackets and quotes that never close, stray closers, deep nesting, unending comments and
// entities, near-misses of a keyword), each at 64 KB and at 512 KB. Time proportional to the
// input makes the second run about 8 times the first; the program prints each ratio, of the
// least CPU time of three runs, and fails when one is above 10 even after measuring again (see
// bench/ratios.h). The 512 KB runs no longer fit the fastest caches, and their arrays of tokens
// neither: a little above 8 is that, not growth. The entries that rewrite a text in place are
// judged beside the copy of their text instead, at most 10 / 8 of its growth (see InPlace).
#include <benchmark/benchmark.h>

#include <zuvuvur/zuvuvur.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ratios.h"

namespace {

constexpr int kSmall = 64 << 10;
constexpr int kLarge = 512 << 10;

std::string Repeat(const std::string& unit, int size) {
    std::string text;
    text.reserve(static_cast<std::size_t>(size) + unit.size());
    while (text.size() < static_cast<std::size_t>(size)) text += unit;
    text.resize(static_cast<std::size_t>(size));
    return text;
}

using Call = std::function<void(const std::string&)>;

// The call to measure, and for the entries that rewrite a text in place the
// least they do: copy the text into their string (see InPlace).
struct Calls {
    template <class F>
    Calls(F f) : call(std::move(f)) {}  // a call of its own, judged alone
    Calls(Call c, Call f) : call(std::move(c)), floor(std::move(f)) {}
    Call call;
    Call floor;
};

struct Case {
    std::string name;
    std::string prefix;  // once in front of the repeated unit
    std::string unit;
    Calls calls;
};

CStringArray g_tokens, g_values;  // reused from call to call, as a script reuses its arrays

Call Tokens(char separator, int quoteMode, int options) {
    return [=](const std::string& text) {
        int state = 0;
        benchmark::DoNotOptimize(
            kxutilsGetTokens(text.c_str(), &g_tokens, separator, &state, quoteMode, options));
    };
}

// Entries that rewrite a CString in place get a fresh copy of the text each time, into the
// string of the call before, as a script reuses its variables. Several of them only read a
// hostile text (a word too long to wrap, entities that never complete) and take microseconds,
// at the speed of memory, which a 512 KB text and its copy no longer fit the fastest caches
// for: their growth is judged beside that of the copy alone, made into the same string from
// the same text, so that the same pages and caches are measured.
Calls InPlace(std::function<void(CString&)> edit) {
    auto s = std::make_shared<CString>();
    return {[=](const std::string& text) {
                *s = text.c_str();
                edit(*s);
                benchmark::DoNotOptimize(s->GetLength());
            },
            [=](const std::string& text) {
                *s = text.c_str();
                benchmark::DoNotOptimize(s->GetLength());
            }};
}

// Two paths that agree up to their last folder, made from the text once rather than in the
// timed call, and a result string reused from call to call.
Call RelativePath() {
    struct Paths {
        const std::string* text = nullptr;
        std::string base, target;
        CString result;
    };
    auto paths = std::make_shared<Paths>();
    return [paths](const std::string& text) {
        if (paths->text != &text) {
            paths->text = &text;
            paths->base = text + "y\\z.txt";
            paths->target = text + "x.txt";
        }
        benchmark::DoNotOptimize(
            kxu_make_relative_path(paths->result, paths->base.c_str(), paths->target.c_str(), 1));
    };
}

std::vector<Case> Cases() {
    using S = const std::string&;
    std::vector<Case> cases = {
        // The separator searches, under every road into them.
        {"tokens (a,", "", "(a,", Tokens(',', 0, 0)},
        {"tokens <a, angle", "", "<a,", Tokens(',', QUOTE_MODE_ANGLE, 0)},
        {"tokens ([{a,", "", "([{a,", Tokens(',', 0, 0)},
        {"tokens white space ' a\\t('", "", " a\t(", Tokens('\0', 0, 0)},
        {"tokens white space (a b, mode -1", "", "(a b ", Tokens('\0', -1, 0)},
        {"tokens (a, extended", "", "(a,", Tokens(',', 0, GT_EX_SEARCH)},
        {"tokens ((((a", "", "((((a", Tokens(',', 0, 0)},
        {"tokens )(a, stray closers", "", ")(a,", Tokens(',', 0, 0)},
        {"tokens \"(a, open quote first", "\"", "(a,", Tokens(',', 0, 0)},
        {"tokens \"a, quotes", "", "\"a,", Tokens(',', '"', GT_UNQUOTE_OPTION)},
        {"tokens x\"a, alternative", "x\"", "a,", Tokens(',', 0, GT_ALT_SEARCH)},
        {"tokens (a\\n lines", "", "(a\r\n", Tokens('\n', 0, 0)},
        {"csv (a,", "", "(a,", [](S t) { kxutilsTokenizeOneCSVLine(t.c_str(), &g_tokens); }},
        {"csv \"a\"\"b, open quote", "", "\"a\"\"b,",
         [](S t) { kxutilsTokenizeOneCSVLine(t.c_str(), &g_tokens); }},
        {"key=value (k=v;", "", "(k=v;",
         [](S t) { kxutilsSeparateKeyValues(t.c_str(), &g_tokens, &g_values, ';'); }},
        {"key=value \"k=v;", "", "\"k=v;",
         [](S t) { kxutilsSeparateKeyValues(t.c_str(), &g_tokens, &g_values, ';'); }},
        // The other splitters and joiners.
        {"separate by aab in aaa", "", "a",
         [](S t) { kxutilsSeparateByStr(t.c_str(), &g_tokens, "aab"); }},
        {"separate by ab", "", "ab", [](S t) { kxutilsSeparateByStr(t.c_str(), &g_tokens, "ab"); }},
        {"separate by a near miss an eighth as long", "", "a",
         [](S t) {
             const std::string separator = std::string(t.size() / 8, 'a') + "b";
             kxutilsSeparateByStr(t.c_str(), &g_tokens, separator.c_str());
         }},
        {"labels with duplicates", "", "LUP1D2 ",
         [](S t) {
             g_tokens.SetSize(0);
             kxutilsSeparateWksLabelsChar(t.c_str(), &g_tokens, 1);
         }},
        // Distinct labels P1000000, P1000001, ... after an array that already holds "P" once
        // for every label of the text.
        {"labels after many equal ones", "", "x",
         [](S t) {
             std::string text;
             for (int n = 1000000; text.size() + 8 <= t.size(); ++n)
                 text += "P" + std::to_string(n);
             g_tokens.SetSize(0);
             for (std::size_t i = 0; i < t.size() / 8; ++i) g_tokens.Add("P");
             kxutilsSeparateWksLabelsChar(text.c_str(), &g_tokens, 0);
         }},
        // Letter sets as long as the text: each byte is looked up, not searched for.
        {"labels, long letter sets", "", "LP1",
         [](S t) {
             const std::string letters = std::string(t.size(), 'x') + "L";
             const std::string suffixes = std::string(t.size(), 'y') + "P";
             g_tokens.SetSize(0);
             kxutilsSeparateCharWithNumericSuffix(t.c_str(), &g_tokens, letters.c_str(),
                                                  suffixes.c_str(), 1);
         }},
        {"labels p123...", "", "p1234567890",
         [](S t) {
             g_tokens.SetSize(0);
             kxutilsSeparateWksLabelsChar(t.c_str(), &g_tokens, 1);
         }},
        // The transforms.
        {"keyword an in aaa ignoring case", "", "a",
         InPlace([](CString& s) { kxu_keyword_replace(&s, "aaaab", "x", true); })},
        {"keyword and in andandand", "", "and",
         InPlace([](CString& s) { kxu_keyword_replace(&s, "and", "&&&&", true); })},
        {"keyword and spaced", "", "and ",
         InPlace([](CString& s) { kxu_keyword_replace(&s, "AND", "&&&&", true); })},
        {"expression", "", "a=1 and not b|c or ",
         [](S t) {
             CString result;
             kxu_get_correct_SK_expression(t.c_str(), &result);
         }},
        {"wrap one long word", "", "x", InPlace([](CString& s) { kxu_wrap_text(&s, 40, 4); })},
        {"wrap many blanks", "", "a  ", InPlace([](CString& s) { kxu_wrap_text(&s, 3, 2); })},
        {"C comments open /*", "/*", "/*", InPlace([](CString& s) { kxu_skip_C_comments(&s, 0); })},
        {"C comments //", "", "//\\\n", InPlace([](CString& s) { kxu_skip_C_comments(&s, 0); })},
        {"C comments open string", "\"", "a/**/",
         InPlace([](CString& s) { kxu_skip_C_comments(&s, 0); })},
        {"C comments leading", "", "/**/ ",
         InPlace([](CString& s) { kxu_skip_C_comments(&s, 1); })},
        {"C string", "", "\"\\?\x01",
         [](S t) {
             CString out;
             kxu_make_C_string_from_ascii(t.c_str(), &out);
         }},
        {"C name", "", "1 -", InPlace([](CString& s) { kxuMakeValidCName(&s, 'x'); })},
        {"html escape", "", "<&\" -\n",
         InPlace([](CString& s) { kxutilsCheckEscapeHTMLCharcters(&s, nullptr, 0); })},
        {"html unescape &&&", "", "&",
         InPlace([](CString& s) { kxutilsCheckEscapeHTMLCharcters(&s, nullptr, 1); })},
        {"html unescape &amp", "", "&am",
         InPlace([](CString& s) { kxutilsCheckEscapeHTMLCharcters(&s, nullptr, 1); })},
        {"pad", "", "abc",
         [](S t) { benchmark::DoNotOptimize(kxu_str_pad_char(t.c_str(), 1 << 20, 2, '*')); }},
        {"relative path", "C:\\", "a\\", RelativePath()},
    };
    return cases;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const std::vector<Case> cases = Cases();
    const auto add = [](const std::string& name, std::shared_ptr<const std::string> text,
                        const Call& call) {
        benchmark::RegisterBenchmark(
            name.c_str(),
            [text, call](benchmark::State& state) {
                for (auto _ : state) call(*text);
                state.SetBytesProcessed(state.iterations() *
                                        static_cast<std::int64_t>(text->size()));
            })
            ->Repetitions(3)
            ->ComputeStatistics(
                "min",
                [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
            ->DisplayAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond);
    };
    for (const Case& c : cases) {
        for (const int size : {kSmall, kLarge}) {
            const auto text = std::make_shared<const std::string>(
                c.prefix + Repeat(c.unit, size - static_cast<int>(c.prefix.size())));
            const std::string at = "/" + std::to_string(size >> 10) + "K";
            add(c.name + at, text, c.calls.call);
            if (c.calls.floor) add(c.name + ", the copy alone" + at, text, c.calls.floor);
        }
    }
    // 8 is linear. Beside the copy alone, 10 / 8 of its growth.
    RatioReporter reporter;
    for (const Case& c : cases) {
        if (c.calls.floor)
            reporter.Growth(c.name + "/512K", c.name + "/64K", c.name + ", the copy alone/512K",
                            c.name + ", the copy alone/64K", 1.25);
        else
            reporter.Ratio(c.name + "/512K", c.name + "/64K", 10.0, RatioReporter::Kind::Limit);
    }
    const int result = reporter.Measure();
    benchmark::Shutdown();
    return result;
}
