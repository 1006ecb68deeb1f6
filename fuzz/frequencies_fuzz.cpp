// Frequencies: the source ends sorted, the distinct strings follow what the
// distinct array held, in strictly rising order under the case rule, and each
// count is the number of source strings equal to its string.
#include "fuzz.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint32_t options = in.ConsumeIntegral<std::uint32_t>();
    const bool caseSensitive = (options & FREQ_CASE_SENSITIVE) != 0;
    FuzzStrings source, distinct;
    distinct.array.Add("held");
    if (in.ConsumeBool()) SplitInto(source.array, in);  // else an empty source
    const INT_PTR n = source.array.GetSize();
    std::vector<std::string> expected;
    for (INT_PTR i = 0; i < n; ++i) {
        CString s = source.array[i];
        if (options & FREQ_TRIM) s.TrimLeft().TrimRight();
        expected.push_back(ToStd(s));
    }
    std::vector<double> counts(static_cast<std::size_t>(n) + 1, -1.0);
    std::uint32_t found = 12345;

    const int rc = kxu_discrete_frequencies(&source, &distinct, counts.data(), &found, options);

    auto compare = [&](const CString& a, const CString& b) {
        return caseSensitive ? a.Compare(b) : a.CompareNoCase(b);
    };
    KX_CHECK(counts[static_cast<std::size_t>(n)] == -1.0);
    if (n == 0) {
        KX_CHECK(rc == 0 && found == 12345 && distinct.array.GetSize() == 1);
        return 0;
    }
    KX_CHECK(rc == 1);
    const CStringArray& s = source.array;
    const CStringArray& d = distinct.array;
    KX_CHECK(s.GetSize() == n && d.GetSize() == 1 + static_cast<INT_PTR>(found));
    KX_CHECK(d[0] == "held");
    std::vector<std::string> after;
    for (INT_PTR i = 0; i < n; ++i) after.push_back(ToStd(s[i]));
    for (INT_PTR i = 0; i + 1 < n; ++i) KX_CHECK(compare(s[i], s[i + 1]) <= 0);
    double total = 0;
    INT_PTR at = 0;  // the source is sorted, so each group is one run
    for (std::uint32_t k = 0; k < found; ++k) {
        const CString& value = d[1 + k];
        if (k > 0) KX_CHECK(compare(d[k], value) < 0);
        INT_PTR run = 0;
        while (at < n && compare(s[at], value) == 0) ++at, ++run;
        KX_CHECK(run > 0 && counts[k] == static_cast<double>(run));
        total += counts[k];
    }
    KX_CHECK(at == n && total == static_cast<double>(n));
    std::sort(expected.begin(), expected.end());
    std::sort(after.begin(), after.end());
    KX_CHECK(expected == after);
    return 0;
}
