// The separator searches of a split against the plain reference search, in every mode: the
// searches the token splitter makes (remembering what they learn, a NUL over each answer, the
// token before it rewritten) must answer as the reference, and as the search that remembers
// nothing, from the same start. Both of those read to the end from every start, which on a long
// text with groups that never close costs the square of its length; they check a sample of the
// searches (the first and last ones, those at powers of two, and others picked by the input), so
// that a long input costs them a bounded number of passes; so does a memo asked from starts in no
// order. A slow input is a finding of libFuzzer's -timeout: the splitter's searches themselves must
// stay linear.
#include "companion/separator_reference.h"
#include "fuzz.h"
#include "kxtl.h"

#include <algorithm>
#include <vector>

namespace {

struct Mode {
    int separator;
    int options;
    int escape;
    const char* extra;
    bool angles;
};

// The answers of a walk as the splitter makes it: offsets (-1 for none) and states.
std::vector<std::pair<long, int>> Walk(const std::string& text, const Mode& mode) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    char* const base = buffer.data();
    kxtl::SeparatorMemo memo{};
    const bool white = (mode.separator & 0xFF) == 0;
    char* cur = white ? kxtl::skip_white_space(base) : base;
    std::vector<std::pair<long, int>> answers;
    while (cur != nullptr) {
        int state = 0;
        char* found = kxtl::find_separator_memo(cur, mode.separator, mode.options, &state,
                                                mode.escape, mode.extra, &memo);
        answers.emplace_back(found == nullptr ? -1 : found - base, state);
        if (found == nullptr) break;
        for (char* p = cur; p < found; ++p) *p = '(';
        *found = '\0';
        cur = white ? kxtl::skip_white_space_run(found + 1) : found + 1;
    }
    kxtl::release_separator_memo(&memo);
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Mode mode{};
    mode.separator = in.PickValueInArray<int>({',', ';', 0, '(', '"', -1});
    mode.options = in.ConsumeBool() ? kxtl::FS_QUOTES : 0;
    mode.escape = in.ConsumeBool() ? '\\' : 0;
    mode.extra = in.ConsumeBool() ? ";" : nullptr;
    mode.angles = in.ConsumeBool();
    const unsigned pick = in.ConsumeIntegral<unsigned>();
    std::string text = in.ConsumeRemainingBytesAsString();
    text = text.c_str();  // up to the first NUL

    const int previous = kxtl::set_parenth_use_angle_brackets(mode.angles ? 1 : 0);
    const auto remembered = Walk(text, mode);

    // The reference from each sampled start: the starts are those of the walk.
    ReferenceRules rules;
    rules.separator = mode.separator;
    rules.quotes = (mode.options & kxtl::FS_QUOTES) != 0;
    rules.angles = mode.angles;
    rules.escape = mode.escape;
    rules.extra = mode.extra;
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    char* const base = buffer.data();
    const bool white = (mode.separator & 0xFF) == 0;
    char* cur = white ? kxtl::skip_white_space(base) : base;
    const std::size_t n = remembered.size();
    // About sixteen picked starts whatever n is: one in every 97 would make a text of many
    // short tokens cost the reference a pass for each 97 of them.
    const std::size_t stride = std::max<std::size_t>(97, n / 16);
    for (std::size_t i = 0; i < n && cur != nullptr; ++i) {
        const bool sampled = i < 8 || i + 8 >= n || (i & (i - 1)) == 0 || (i ^ pick) % stride == 0;
        if (sampled) {
            int state = 0, afresh = 0;
            char* expected = ReferenceFindSeparator(cur, rules, &state);
            KX_CHECK((expected == nullptr ? -1 : expected - base) == remembered[i].first);
            KX_CHECK(state == remembered[i].second);
            KX_CHECK(kxtl::find_separator_ex(cur, mode.separator, mode.options, &afresh,
                                             mode.escape, mode.extra) == expected);
            KX_CHECK(afresh == state);
        }
        if (remembered[i].first < 0) break;
        char* found = base + remembered[i].first;
        for (char* p = cur; p < found; ++p) *p = '(';
        *found = '\0';
        cur = white ? kxtl::skip_white_space_run(found + 1) : found + 1;
    }

    // One memo over the unchanged text, asked from starts in no order (the input picks them),
    // now and then under other rules, answers as the search that remembers nothing.
    std::vector<char> fresh(text.begin(), text.end());
    fresh.push_back('\0');
    kxtl::SeparatorMemo memo{};
    for (unsigned k = 0, at = pick; k < 16; ++k, at = at * 1664525u + 1013904223u) {
        char* from = fresh.data() + at % fresh.size();
        const int separator = (at >> 28) % 4 == 0 ? ';' : mode.separator;
        int state = 0, afresh = 0;
        KX_CHECK(kxtl::find_separator_memo(from, separator, mode.options, &state, mode.escape,
                                           mode.extra, &memo) ==
                 kxtl::find_separator_ex(from, separator, mode.options, &afresh, mode.escape,
                                         mode.extra));
        KX_CHECK(state == afresh);
    }
    kxtl::release_separator_memo(&memo);
    kxtl::set_parenth_use_angle_brackets(previous);
    return 0;
}
