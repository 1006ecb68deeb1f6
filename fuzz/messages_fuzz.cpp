// Numbered messages over the project's own catalog, with any arguments: 0 or 1,
// and the output untouched on 0.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Every shape of the catalog: no placeholder, "%d", "%s", both in either
    // order, "%d%%", two and three "%s"; and ids without a text.
    static const int kIds[] = {0,     1,     2,     4,     10003, 10005, 10006, 14999, 15000,
                               15001, 15003, 15004, 15013, 15014, 15016, 15061, 19999, 20000};
    const int id = in.PickValueInArray(kIds);
    const std::string first = in.ConsumeRandomLengthString(40);
    int number = in.ConsumeIntegral<int>();
    const unsigned which = in.ConsumeIntegralInRange(0u, 7u);
    const std::string second = in.ConsumeRemainingBytesAsString();
    CString text("old");
    const int r =
        kxu_load_msg_str(id, &text, which & 1 ? first.c_str() : nullptr,
                         which & 2 ? &number : nullptr, which & 4 ? second.c_str() : nullptr, 0);
    KX_CHECK(r == 0 || r == 1);
    if (r == 0) KX_CHECK(text == "old");
    return 0;
}
