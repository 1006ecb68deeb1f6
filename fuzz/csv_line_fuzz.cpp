// One CSV line: the cells are the raw cells, each unquoted by the rules step by step, whatever
// shortcuts the tokenizer takes; lines run long enough to span many of the search's windows.
// The raw cells of a short line are those at each comma the reference search finds; that
// search reads to the end from every comma, so on a long line the raw cells come from the
// splitter's own searches, which the separators target holds to the reference.
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
    std::vector<std::string> raw;
    if (text.size() <= 1024) {
        raw = RawCells(text);
    } else {
        CStringArray cut;
        int state = 0;
        kxutilsGetTokens(text.c_str(), &cut, ',', &state, QUOTE_MODE_ANGLE, 0);
        for (INT_PTR i = 0; i < cut.GetSize(); ++i) raw.push_back(ToStd(cut[i]));
    }
    KX_CHECK(count == static_cast<int>(raw.size()));
    for (INT_PTR i = 0; i < cells.GetSize(); ++i)
        KX_CHECK(ToStd(cells[i]) == UnquotedByTheRules(raw[static_cast<std::size_t>(i)]));
    return 0;
}
