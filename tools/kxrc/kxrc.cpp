// kxrc: turns a message catalog into the C++ source of a message module.
//
//     kxrc resources/kxErrMsg_64.txt build/resources/kxErrMsg_64.cpp
//
// A catalog holds one message a line: the id (a signed 32-bit decimal
// number), blanks (spaces or tabs), then the text up to the end of the line.
// In the text, \t is a tab, \n a line feed and \\ one backslash; any other
// backslash is a mistake. Blank lines and lines whose first non-blank byte is
// '#' are comments. A CR before the line feed is dropped, so catalogs edited
// on Windows read the same. Bytes are copied as they stand (Windows-1252).
//
// Every mistake is reported as "catalog:line: error: ..." and fails the run
// without writing the output, so a build never goes on with half a table:
// an id that is not a number or does not fit in 32 bits, a missing or empty
// text, an unknown escape, a control byte other than tab, an id given twice.
//
// The output's extension picks its form, so one catalog serves both systems:
//   .cpp  the source of a module defining the catalog's table
//         (resource_table.h), sorted by id;
//   .rc   a Windows resource script with the catalog as a STRINGTABLE, for
//         windres. A string table's ids are 16 bits wide and Windows looks up
//         the low 16 bits of the id it is asked for, so there an id must lie
//         in -32768..65535 and no two ids may share their low 16 bits (-1 and
//         65535 would); the texts become UTF-16, read as Windows-1252.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "resource_table.h"

namespace {

struct Message {
    std::int32_t id;
    std::string text;
    long line;
};

struct CatalogError {
    long line;
    std::string what;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the id at the start of `line`; advances `at` past it.
std::int32_t ParseId(const std::string& line, std::size_t& at, long lineNo) {
    std::size_t start = at;
    if (at < line.size() && line[at] == '-') ++at;
    std::size_t digits = at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') ++at;
    if (at == digits) throw CatalogError{lineNo, "a message line must start with its id"};
    if (at < line.size() && !IsBlank(line[at]))
        throw CatalogError{lineNo, "the id must be followed by blanks and the text"};
    std::string number = line.substr(start, at - start);
    errno = 0;
    long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        throw CatalogError{lineNo, "id " + number + " does not fit in 32 bits"};
    return static_cast<std::int32_t>(value);
}

std::string Unescape(const std::string& line, std::size_t at, long lineNo) {
    std::string text;
    for (; at < line.size(); ++at) {
        unsigned char c = static_cast<unsigned char>(line[at]);
        if (c < 0x20 && c != '\t')
            throw CatalogError{
                lineNo, "control byte " + std::to_string(c) + " in the text; write \\t or \\n"};
        if (c != '\\') {
            text += static_cast<char>(c);
            continue;
        }
        char next = at + 1 < line.size() ? line[at + 1] : '\0';
        switch (next) {
            case 't':
                text += '\t';
                break;
            case 'n':
                text += '\n';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                throw CatalogError{lineNo, next ? std::string("unknown escape \\") + next
                                                : std::string("a lone backslash ends the line")};
        }
        ++at;
    }
    return text;
}

std::vector<Message> ParseCatalog(const std::string& content) {
    std::vector<Message> messages;
    long lineNo = 0;
    for (std::size_t pos = 0; pos < content.size();) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t at = 0;
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size() || line[at] == '#') continue;
        if (at != 0) throw CatalogError{lineNo, "a message line must start with its id"};
        std::int32_t id = ParseId(line, at, lineNo);
        while (at < line.size() && IsBlank(line[at])) ++at;
        std::string text = Unescape(line, at, lineNo);
        if (text.empty())
            throw CatalogError{lineNo, "message " + std::to_string(id) + " has no text"};
        messages.push_back({id, std::move(text), lineNo});
    }
    std::stable_sort(messages.begin(), messages.end(),
                     [](const Message& a, const Message& b) { return a.id < b.id; });
    for (std::size_t i = 1; i < messages.size(); ++i) {
        if (messages[i].id == messages[i - 1].id)
            throw CatalogError{messages[i].line, "id " + std::to_string(messages[i].id) +
                                                     " was given before, on line " +
                                                     std::to_string(messages[i - 1].line)};
    }
    return messages;
}

// The text as the body of a C++ string literal: printable ASCII as it
// stands, every other byte as a three-digit octal escape, so no following
// digit is ever swallowed and no byte depends on the compiler's charset.
std::string Literal(const std::string& text) {
    std::string out;
    char octal[8];
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        }
    }
    return out;
}

std::string Generate(const std::string& catalogName, const std::vector<Message>& messages) {
    std::ostringstream out;
    out << "// Generated by kxrc from " << catalogName << "; edit the catalog, not this file.\n"
        << "#include \"resource_table.h\"\n\n";
    if (!messages.empty()) {
        out << "namespace {\nconstexpr KxStringEntry kEntries[] = {\n";
        for (const Message& m : messages)
            out << "    {" << m.id << ", " << m.text.size() << "u, \"" << Literal(m.text)
                << "\"},\n";
        out << "};\n}  // namespace\n\n";
    }
    out << "extern \"C\" KX_STRING_TABLE_EXPORT const KxStringTable " << kStringTableSymbol
        << " = {\n    kStringTableVersion, " << messages.size() << "u, "
        << (messages.empty() ? "nullptr" : "kEntries") << "};\n";
    return out.str();
}

// Windows-1252 bytes 0x80-0x9F as Unicode; the five unassigned bytes keep
// their own value, as the system's conversion does.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The text as the body of a wide resource string: printable ASCII as it
// stands, everything else as a four-digit \x escape of its UTF-16 unit, so no
// following character is swallowed into the escape.
std::string WideLiteral(const std::string& text) {
    std::string out;
    char hex[8];
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
            continue;
        }
        unsigned unit = c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
        std::snprintf(hex, sizeof hex, "\\x%04X", unit);
        out += hex;
    }
    return out;
}

// Throws CatalogError for the ids a 16-bit string table cannot hold apart.
void CheckStringTableIds(const std::vector<Message>& messages) {
    std::vector<const Message*> bySlot(65536, nullptr);
    for (const Message& m : messages) {
        if (m.id < -32768 || m.id > 65535)
            throw CatalogError{m.line, "id " + std::to_string(m.id) +
                                           " does not fit a string table (-32768..65535)"};
        const Message*& slot = bySlot[static_cast<std::uint32_t>(m.id) & 0xFFFFu];
        if (slot)
            throw CatalogError{m.line, "ids " + std::to_string(slot->id) + " and " +
                                           std::to_string(m.id) +
                                           " share a string-table slot; line " +
                                           std::to_string(slot->line) + " has the first"};
        slot = &m;
    }
}

std::string GenerateRc(const std::string& catalogName, const std::vector<Message>& messages) {
    std::ostringstream out;
    out << "// Generated by kxrc from " << catalogName << "; edit the catalog, not this file.\n";
    // windres refuses an empty table; a catalog without messages makes a
    // module without resources, where every lookup finds nothing.
    if (messages.empty()) return out.str();
    out << "STRINGTABLE\nBEGIN\n";
    for (const Message& m : messages)
        out << "    " << (static_cast<std::uint32_t>(m.id) & 0xFFFFu) << ", L\""
            << WideLiteral(m.text) << "\"\n";
    out << "END\n";
    return out.str();
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kxrc CATALOG OUTPUT.cpp|OUTPUT.rc\n";
        return 2;
    }
    const std::string catalog = argv[1];
    const std::string output = argv[2];
    std::ifstream in(catalog, std::ios::binary);
    if (!in) {
        std::cerr << catalog << ": error: cannot read the catalog\n";
        return 1;
    }
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool rc = EndsWith(output, ".rc");
    std::vector<Message> messages;
    try {
        messages = ParseCatalog(content);
        if (rc) CheckStringTableIds(messages);
    } catch (const CatalogError& e) {
        std::cerr << catalog << ':' << e.line << ": error: " << e.what << '\n';
        return 1;
    }
    std::string base = catalog.substr(catalog.find_last_of("/\\") + 1);
    // Written beside the target and renamed over it, so an interrupted run
    // never leaves a truncated source that a later build would compile.
    const std::string temporary = output + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << (rc ? GenerateRc(base, messages) : Generate(base, messages));
        if (!out.flush()) {
            std::cerr << temporary << ": error: cannot write\n";
            return 1;
        }
    }
    // rename() on Windows refuses a target that exists, and a rebuild after a
    // catalog changed always has one; there the move must say it may replace.
#ifdef _WIN32
    if (!MoveFileExA(temporary.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
#else
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
#endif
        std::cerr << output << ": error: cannot write\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
