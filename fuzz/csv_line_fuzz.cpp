// One CSV line: as many cells as the splitter counts, none longer than the line.
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    CStringArray cells;
    cells.Add("old");
    const int count = kxutilsTokenizeOneCSVLine(line.c_str(), &cells);
    KX_CHECK(count == cells.GetSize());
    for (INT_PTR i = 0; i < cells.GetSize(); ++i)
        KX_CHECK(static_cast<std::size_t>(cells[i].GetLength()) <= line.size());
    return 0;
}
