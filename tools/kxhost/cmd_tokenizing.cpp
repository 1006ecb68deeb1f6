// csv, tokens, kv and labels: cutting text into cells, tokens, pairs and labels.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "host_objects.h"

namespace {

using Row = std::vector<std::string>;

// Tabs and line breaks inside a cell are shown as \t, \n and \r, so that every
// row stays on one line and a --tsv row keeps its columns.
std::string Shown(const char* text) {
    std::string out;
    for (; *text != '\0'; ++text) {
        switch (*text) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += *text;
        }
    }
    return out;
}

Row ShownRow(const CStringArray& array) {
    Row row;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) row.push_back(Shown(array[i]));
    return row;
}

// Cells longer than this do not widen their column: they push the rest of
// their own line right instead. One long cell among many rows would otherwise
// pad every row to its width, an output of rows times that width.
constexpr std::size_t kWidestColumn = 40;

// Columns padded to their widest cell (in bytes, up to kWidestColumn), two
// blanks apart; or tabs.
void PrintRows(const std::vector<Row>& rows, bool tsv) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], std::min(row[c].size(), kWidestColumn));
        }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += tsv ? "\t" : "  ";
            line += row[c];
            if (!tsv && c + 1 < row.size() && row[c].size() < widths[c])
                line.append(widths[c] - row[c].size(), ' ');
        }
        std::cout << line << '\n';
    }
}

// A separator as typed: one character, an escape (\t \n \r \\), or "ws" for
// runs of white space (the separator 0).
char ParseSeparator(const std::string& text) {
    if (text == "ws") return '\0';
    if (text.size() == 1) return text[0];
    if (text == "\\t") return '\t';
    if (text == "\\n") return '\n';
    if (text == "\\r") return '\r';
    if (text == "\\\\") return '\\';
    throw CLI::ValidationError("--sep",
                               "one character, \\t, \\n, \\r, \\\\ or ws, not '" + text + "'");
}

const char* LabelFault(int code) {
    switch (code) {
        case -1:
            return "no array";
        case -97:
            return "a label would repeat one already there";
        case -98:
            return "a character is no white space, allowed letter or digit";
        case -99:
            return "a digit follows something other than a digit or a suffix letter";
        case -100:
            return "the text starts with a digit";
        default:
            return "unknown fault";
    }
}

void AddCsv(CLI::App& app, const Library& lib) {
    struct Options {
        std::string line;
        std::string file;
        bool tsv = false;
    };
    auto opt = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "csv", "Cut one CSV line, or every line of a file, into cells: one row per line");
    CLI::Option* line = cmd->add_option("line", opt->line, "the line to cut");
    CLI::Option* file = cmd->add_option("-f,--file", opt->file, "cut every line of this file")
                            ->check(CLI::ExistingFile);
    line->excludes(file);
    cmd->add_flag("--tsv", opt->tsv, "tab-separated rows instead of aligned columns");
    cmd->callback([opt, line, file, &lib] {
        if (line->count() == 0 && file->count() == 0)
            throw CLI::ValidationError("csv", "give a line or --file");
        std::vector<std::string> lines;
        if (file->count() > 0) {
            std::ifstream in(opt->file, std::ios::binary);
            for (std::string text; std::getline(in, text);) {
                if (!text.empty() && text.back() == '\r') text.pop_back();  // CRLF files
                lines.push_back(text);
            }
            if (!in.is_open() || in.bad())
                throw std::runtime_error("csv: cannot read " + opt->file);
        } else {
            lines.push_back(opt->line);
        }
        const auto tokenize = KX_EXPORT_FN(lib, kxu_tokenize_one_csv_line);
        std::vector<Row> rows;
        StringArrayObject cells;
        for (const std::string& text : lines) {
            tokenize(text.c_str(), &cells);
            rows.push_back(ShownRow(cells.strings));
        }
        PrintRows(rows, opt->tsv);
    });
}

void AddTokens(CLI::App& app, const Library& lib) {
    struct Options {
        std::string text;
        std::string separator = ",";
        int quoteMode = 0;
        bool alt = false, ex = false, unquote = false;
    };
    auto opt = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "tokens", "Cut a text at a separator, skipping quoted and bracketed ones: one per line");
    cmd->add_option("text", opt->text, "the text to cut")->required();
    cmd->add_option("-s,--sep", opt->separator, "separator: a character, \\t, \\n or ws")
        ->capture_default_str();
    cmd->add_option("-q,--quote-mode", opt->quoteMode,
                    "32 trim, 34 unquote CSV cells (with ','), -2 count <> as brackets; with "
                    "ws: a character code whose pairs are stripped, or -1 for all")
        ->capture_default_str();
    cmd->add_flag("--alt", opt->alt, "the search that ignores brackets");
    cmd->add_flag("--ex", opt->ex, "the extended search");
    cmd->add_flag("--unquote", opt->unquote, "keep what follows a closing quote (mode 34)");
    cmd->callback([opt, &lib] {
        const char separator = ParseSeparator(opt->separator);
        const int options = (opt->alt ? GT_ALT_SEARCH : 0) | (opt->ex ? GT_EX_SEARCH : 0) |
                            (opt->unquote ? GT_UNQUOTE_OPTION : 0);
        CStringArray tokens;
        int state = 0;
        KX_EXPORT_FN(lib, kxutilsGetTokens)
        (opt->text.c_str(), &tokens, separator, &state, opt->quoteMode, options);
        for (INT_PTR i = 0; i < tokens.GetSize(); ++i) std::cout << Shown(tokens[i]) << '\n';
    });
}

void AddKeyValues(CLI::App& app, const Library& lib) {
    struct Options {
        std::vector<std::string> words;
        std::string separator = ",";
        bool make = false;
    };
    auto opt = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "kv", "Split a key=value list into two columns, or build one with --make");
    cmd->add_option("text", opt->words, "the list; with --make: key value key value ...")
        ->required();
    cmd->add_option("-s,--sep", opt->separator, "pair separator: a character, \\t or ws")
        ->capture_default_str();
    cmd->add_flag("--make", opt->make, "build a list from keys and values");
    cmd->callback([opt, &lib] {
        const char separator = ParseSeparator(opt->separator);
        if (opt->make) {
            if (opt->words.size() % 2 != 0)
                throw CLI::ValidationError("kv", "--make takes keys and values in pairs");
            StringArrayObject keys, values;
            for (std::size_t i = 0; i < opt->words.size(); i += 2) {
                keys.strings.Add(opt->words[i].c_str());
                values.strings.Add(opt->words[i + 1].c_str());
            }
            CString joined;
            KX_EXPORT_FN(lib, kxu_make_key_values_str)(&joined, &keys, &values, separator);
            std::cout << Shown(joined) << '\n';
            return;
        }
        if (opt->words.size() != 1) throw CLI::ValidationError("kv", "give one list to split");
        StringArrayObject keys, values;
        KX_EXPORT_FN(lib, kxu_separate_key_values)
        (opt->words[0].c_str(), &keys, &values, separator);
        std::vector<Row> rows;
        for (INT_PTR i = 0; i < keys.strings.GetSize(); ++i)
            rows.push_back({Shown(keys.strings[i]), Shown(values.strings[i])});
        PrintRows(rows, false);
    });
}

void AddLabels(CLI::App& app, const Library& lib) {
    struct Options {
        std::string text;
        std::string letters, suffixLetters;
        bool allowDuplicates = false, noG = false;
    };
    auto opt = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "labels", "Split label letters with numeric suffixes (worksheet labels unless --letters)");
    cmd->add_option("text", opt->text, "the labels, e.g. LUP1D2")->required();
    CLI::Option* letters =
        cmd->add_option("--letters", opt->letters, "single letters (case matters)");
    CLI::Option* suffixes =
        cmd->add_option("--suffix-letters", opt->suffixLetters, "letters that take a number");
    cmd->add_flag("--allow-duplicates", opt->allowDuplicates, "let a label repeat");
    cmd->add_flag("--no-g", opt->noG, "worksheet labels without G")
        ->excludes(letters)
        ->excludes(suffixes);
    cmd->callback([opt, letters, suffixes, &lib] {
        StringArrayObject labels;
        int result;
        if (letters->count() + suffixes->count() == 0) {
            const int flags = (opt->allowDuplicates ? 0x1 : 0) | (opt->noG ? 0x2 : 0);
            result = KX_EXPORT_FN(lib, kxutilsSeparateWksLabelsChar)(opt->text.c_str(),
                                                                     &labels.strings, flags);
        } else if (!opt->allowDuplicates) {
            result = KX_EXPORT_FN(lib, kxu_separate_char_with_numeric_suffix)(
                opt->text.c_str(), &labels, opt->letters.c_str(), opt->suffixLetters.c_str());
        } else {
            result = KX_EXPORT_FN(lib, kxutilsSeparateCharWithNumericSuffix)(
                opt->text.c_str(), &labels.strings, opt->letters.c_str(),
                opt->suffixLetters.c_str(), 1);
        }
        for (INT_PTR i = 0; i < labels.strings.GetSize(); ++i)
            std::cout << Shown(labels.strings[i]) << '\n';
        if (result < 0) {
            std::cerr << "kxhost: labels: stopped with " << result << ": " << LabelFault(result)
                      << '\n';
            throw CLI::RuntimeError(1);
        }
    });
}

}  // namespace

void AddTokenizingCommands(CLI::App& app, const Library& lib) {
    AddCsv(app, lib);
    AddTokens(app, lib);
    AddKeyValues(app, lib);
    AddLabels(app, lib);
}
