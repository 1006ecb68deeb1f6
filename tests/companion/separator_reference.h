// The separator search as first written: one stack scan from the start of the text to its
// answer or its end, with no shortcut and no memory between searches. It is slow on purpose
// (a split costs time in the square of the text when groups stay open) and plain to read, so
// the searches of Kxtl9_64 are checked against it, by the tests and by the fuzz target.
#pragma once

#include <cstring>
#include <vector>

struct ReferenceRules {
    int separator = ',';   // low 8 bits; 0: white space
    bool quotes = true;    // "..." protects
    bool brackets = true;  // (), [], {} protect
    bool angles = false;   // and <>, with `brackets`
    int escape = 0;        // low 8 bits; 0: none
    const char* extra = nullptr;
};

// The answer (null for none) and, in `*state`, whether the scan ended with a group open.
inline char* ReferenceFindSeparator(char* text, const ReferenceRules& rules, int* state) {
    *state = 0;
    if (text == nullptr) return nullptr;
    const auto separator = static_cast<unsigned char>(rules.separator);
    const auto escape = static_cast<unsigned char>(rules.escape);
    const auto isSeparator = [&](unsigned char c) {
        const bool white = c == ' ' || (c >= '\t' && c <= '\r');
        if (separator == 0 ? white : c == separator) return true;
        return rules.extra != nullptr && std::strchr(rules.extra, c) != nullptr;
    };
    const auto closerOf = [&](unsigned char c) -> char {
        if (c == '"') return rules.quotes ? '"' : 0;
        if (!rules.brackets) return 0;
        if (c == '(') return ')';
        if (c == '[') return ']';
        if (c == '{') return '}';
        return c == '<' && rules.angles ? '>' : 0;
    };
    struct Group {
        char closer;
        char* pending;  // the first separator directly inside
    };
    std::vector<Group> open;
    for (char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (escape != 0 && c == escape) {
            if (p[1] != '\0') ++p;
            continue;
        }
        if (isSeparator(c)) {
            if (open.empty()) return p;
            if (open.back().pending == nullptr) open.back().pending = p;
        } else if (!open.empty() && open.back().closer == '"') {
            if (c == '"') open.pop_back();
        } else if (const char closer = closerOf(c); closer != 0) {
            open.push_back(Group{closer, nullptr});
        } else if (!open.empty() && open.back().closer == static_cast<char>(c)) {
            open.pop_back();
        }
    }
    // The text ended inside groups: they protected nothing, and the earliest separator waiting
    // in one of them is the answer.
    *state = open.empty() ? 0 : 1;
    char* earliest = nullptr;
    for (const Group& group : open)
        if (group.pending != nullptr && (earliest == nullptr || group.pending < earliest))
            earliest = group.pending;
    return earliest;
}
