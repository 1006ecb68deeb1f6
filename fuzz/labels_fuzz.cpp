// Labels: the result and the whole array agree with a plain reading of the
// rules that compares each label with every element, on arrays that already
// hold labels (repeated ones too), so the repeat check's table is compared
// with a search of the array itself.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz.h"
#include "kxplatform.h"
#include "kxtl.h"

namespace {

using Labels = std::vector<std::string>;

bool In(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Whether an element other than the one at `skip` (none: the size) equals `label`.
bool Repeats(const Labels& labels, const std::string& label, std::size_t skip) {
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (i != skip && labels[i] == label) return true;
    return false;
}

int Reference(const std::string& text, Labels& labels, const char* letters, const char* suffixes,
              bool allowDuplicates) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (kxtl::get_char_class(c) == kxtl::CC_SPACE) continue;
        if (In(suffixes, c) || In(letters, c)) {
            const bool suffixFollows = i + 1 < text.size() && IsDigit(text[i + 1]);
            if (!allowDuplicates && !suffixFollows &&
                Repeats(labels, std::string(1, c), labels.size()))
                return -97;
            labels.emplace_back(1, c);
            continue;
        }
        if (!IsDigit(c)) return -98;
        if (i == 0) return -100;
        if (!IsDigit(text[i - 1]) && !In(suffixes, text[i - 1])) return -99;
        labels.back() += c;
        if (!allowDuplicates && Repeats(labels, labels.back(), labels.size() - 1)) return -97;
    }
    return static_cast<int>(labels.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int flags = in.ConsumeIntegralInRange(0, 3);
    const bool worksheet = in.ConsumeBool();
    // What the array holds before: short labels over a few letters and digits, so that
    // they meet the text's labels often.
    Labels before(in.ConsumeIntegralInRange(0, 40));
    for (std::string& label : before) {
        label = in.ConsumeRandomLengthString(4);
        for (char& c : label) c = "PLU12"[static_cast<unsigned char>(c) % 5];
    }
    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::string shown = text.substr(0, text.find('\0'));  // what a C string holds

    CStringArray labels;
    for (const std::string& label : before) labels.Add(label.c_str());
    Labels expected = before;
    int r, want;
    if (worksheet) {
        r = kxutilsSeparateWksLabelsChar(text.c_str(), &labels, flags);
        std::string upper = shown;
        for (char& c : upper)
            c = static_cast<char>(kxp::cp_to_upper(static_cast<unsigned char>(c)));
        want = Reference(upper, expected, (flags & 2) ? "LUCSREF" : "LUCSREGF", "PDO",
                         (flags & 1) != 0);
    } else {
        r = kxutilsSeparateCharWithNumericSuffix(text.c_str(), &labels, "LUCSREGF", "PDO",
                                                 flags & 1);
        want = Reference(shown, expected, "LUCSREGF", "PDO", (flags & 1) != 0);
    }
    KX_CHECK(r == want);
    KX_CHECK(labels.GetSize() == static_cast<INT_PTR>(expected.size()));
    for (INT_PTR i = 0; i < labels.GetSize(); ++i)
        KX_CHECK(ToStd(labels[i]) == expected[static_cast<std::size_t>(i)]);
    return 0;
}
