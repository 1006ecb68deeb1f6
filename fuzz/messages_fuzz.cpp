// Numbered messages over the project's own catalog, with any arguments: 0 or 1,
// and the output untouched on 0.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    static const int kIds[] = {0,     101,   105,   10000, 10003, 10007, 14999, 15000, 15001,
                               15002, 15003, 15004, 15005, 15007, 15008, 15050, 15061, 19999, 20000};
    const int id = in.PickValueInArray(kIds);
    const std::string first = in.ConsumeRandomLengthString(40);
    int number = in.ConsumeIntegral<int>();
    const unsigned which = in.ConsumeIntegralInRange(0u, 7u);
    const std::string second = in.ConsumeRemainingBytesAsString();
    CString text("old");
    const int r = kxu_load_msg_str(id, &text, which & 1 ? first.c_str() : nullptr,
                                   which & 2 ? &number : nullptr, which & 4 ? second.c_str() : nullptr, 0);
    KX_CHECK(r == 0 || r == 1);
    if (r == 0) KX_CHECK(text == "old");
    return 0;
}
