// CSV cells as they must come out, computed the plain way: the raw cells at each comma the
// reference search finds (angle brackets counted), then each unquoted by the rules step by
// step. The tests and the fuzz target check the tokenizer's shortcuts against it.
#pragma once

#include <string>
#include <vector>

#include "companion/separator_reference.h"

// The raw cells as the splitter must cut them: each comma the reference search finds.
inline std::vector<std::string> RawCells(const std::string& line) {
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    ReferenceRules rules;
    rules.angles = true;
    std::vector<std::string> cells;
    char* cur = buffer.data();
    int unclosed = 0;
    for (char* comma; (comma = ReferenceFindSeparator(cur, rules, &unclosed)) != nullptr;
         cur = comma + 1)
        cells.emplace_back(cur, comma);
    cells.emplace_back(cur);
    return cells;
}

// The unquoting rules step by step, on a copy.
inline std::string UnquotedByTheRules(const std::string& raw) {
    const std::size_t n = raw.size();
    if (n == 0 || raw == "\n") return "";
    const bool quoted = raw[0] == '"';
    std::string cell = quoted ? "" : raw.substr(0, 1);
    for (std::size_t i = 1; i + 2 <= n; ++i) {
        if (raw[i] != '"') {
            cell += raw[i];
        } else if (raw[i + 1] == '"') {
            cell += '"';
            ++i;
        } else {
            return cell;
        }
    }
    if (quoted) return cell;  // the closing quote dropped, or none there (-2)
    if (n >= 2 && raw[n - 1] != '"') cell += raw[n - 1];
    return cell;
}
