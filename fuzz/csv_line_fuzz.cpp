// One CSV line: the cells are the raw cells at each comma the reference search finds, each
// unquoted by the rules step by step, whatever shortcuts the tokenizer takes; lines run long
// enough to span many of the search's windows.
#include "fuzz.h"
#include "text/csv_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::string text = line.c_str();  // the line ends at its first NUL
    CStringArray cells;
    cells.Add("old");
    const int count = kxutilsTokenizeOneCSVLine(line.c_str(), &cells);
    KX_CHECK(count == cells.GetSize());
    if (text.empty()) {
        KX_CHECK(count == 0);
        return 0;
    }
    const std::vector<std::string> raw = RawCells(text);
    KX_CHECK(count == static_cast<int>(raw.size()));
    for (INT_PTR i = 0; i < cells.GetSize(); ++i)
        KX_CHECK(ToStd(cells[i]) == UnquotedByTheRules(raw[static_cast<std::size_t>(i)]));
    return 0;
}
