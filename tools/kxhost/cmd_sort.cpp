// sort: the typed sorts on values from the command line or standard input.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <locale>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"

namespace {

struct SortOptions {
    std::string type = "double";
    bool descending = false;
    std::string missing;
    bool caseSensitive = false;
    bool numeric = false;
    bool index = false;
    std::vector<std::string> values;
};

// Decorated names of the exports, as the Itanium C++ ABI (GCC, Clang) spells them.
template <class T>
struct SortBuff;
#define KXHOST_SORT_BUFF(T, code)                                                              \
    template <>                                                                                \
    struct SortBuff<T> {                                                                       \
        static constexpr const char* name = "_Z15kxutilsSortBuffI" code "EvPT_xjP6CArrayIiiE"; \
    }
KXHOST_SORT_BUFF(char, "c");
KXHOST_SORT_BUFF(unsigned char, "h");
KXHOST_SORT_BUFF(short, "s");
KXHOST_SORT_BUFF(int, "i");
KXHOST_SORT_BUFF(unsigned int, "j");
KXHOST_SORT_BUFF(long, "l");
KXHOST_SORT_BUFF(unsigned long, "m");
KXHOST_SORT_BUFF(float, "f");
KXHOST_SORT_BUFF(double, "d");
KXHOST_SORT_BUFF(long long, "x");
KXHOST_SORT_BUFF(unsigned long long, "y");
#undef KXHOST_SORT_BUFF
constexpr const char* kSortStringArrayName = "_Z11kxutilsSortR12CStringArrayjP6CArrayIiiE";
using SortStringArray = void(CStringArray&, std::uint32_t, CArray<int, int>*);

std::string Trimmed(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// True when `s` is, whole, a number as the numeric string sort reads one:
// [+|-] digits [. digits] [(e|E) [+|-] digits], with a digit in the mantissa
// ("5.", ".5"); no "inf", "nan" or hexadecimal.
bool IsDecimal(std::string_view s) {
    std::size_t at = 0;
    auto sign = [&] { at += at < s.size() && (s[at] == '+' || s[at] == '-'); };
    auto digits = [&] {
        std::size_t from = at;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9') ++at;
        return at - from;
    };
    sign();
    std::size_t mantissa = digits();
    if (at < s.size() && s[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
        ++at;
        sign();
        if (digits() == 0) return false;
    }
    return at == s.size();
}

// A number of type T, the whole text; "NANUM" is the missing value. A leading
// '+' is taken, and floating numbers are read as the numeric string sort
// reads them: one too large for T is infinite, one too small zero.
template <class T>
T Parse(const std::string& text, const std::string& type) {
    if constexpr (std::is_same_v<T, double>)
        if (text == "NANUM") return NANUM;
    const bool plus = text.size() > 1 && text[0] == '+' && text[1] != '-';
    const char* begin = text.data() + plus;
    const char* end = text.data() + text.size();
    T value{};
    std::from_chars_result r{begin, std::errc::invalid_argument};
    if constexpr (std::is_floating_point_v<T>) {
        if (IsDecimal(text)) r = std::from_chars(begin, end, value, std::chars_format::general);
        if (r.ec == std::errc::result_out_of_range) {
            // Over or under: the C locale's reading says which (the largest
            // double for an overflow, something below 1 for an underflow).
            std::istringstream in(text);
            in.imbue(std::locale::classic());
            double near = 0;
            in >> near;
            value = static_cast<T>(
                std::copysign(std::fabs(near) >= 1 ? HUGE_VAL : 0.0, text[0] == '-' ? -1 : 1));
            r.ec = std::errc();
        }
    } else {
        r = std::from_chars(begin, end, value);
    }
    if (text.empty() || r.ec != std::errc() || r.ptr != end)
        throw CLI::ValidationError("sort", "not a " + type + ": " + text);
    return value;
}

template <class T>
std::string Show(T value) {
    if constexpr (std::is_floating_point_v<T>) {
        if (std::is_same_v<T, double> && value == NANUM) return "NANUM";
        char text[64];
        return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
    } else if constexpr (sizeof(T) == 1) {
        return std::to_string(static_cast<int>(value));  // char types hold numbers here
    } else {
        return std::to_string(value);
    }
}

void Print(const std::vector<std::string>& shown, const CArray<int, int>* index) {
    for (std::size_t k = 0; k < shown.size(); ++k) {
        if (index) std::cout << (*index)[static_cast<INT_PTR>(k)] << '\t';
        std::cout << shown[k] << '\n';
    }
}

CArray<int, int> Identity(std::size_t n) {
    CArray<int, int> index;
    for (std::size_t i = 0; i < n; ++i) index.Add(static_cast<int>(i));
    return index;
}

template <class T>
void SortNumbers(const Library& lib, const SortOptions& o, std::uint32_t flags,
                 const std::vector<std::string>& values) {
    // A blank line holds no number but is still a place, as it is for strings.
    std::vector<T> data;
    CArray<int, int> index;
    for (std::size_t place = 0; place < values.size(); ++place) {
        std::string t = Trimmed(values[place]);
        if (t.empty()) continue;
        data.push_back(Parse<T>(t, o.type));
        index.Add(static_cast<int>(place));
    }
    auto sort = lib.Get<decltype(kxutilsSortBuff<T>)>(SortBuff<T>::name);
    sort(data.data(), static_cast<long long>(data.size()), flags, o.index ? &index : nullptr);
    std::vector<std::string> shown;
    for (T v : data) shown.push_back(Show(v));
    Print(shown, o.index ? &index : nullptr);
}

void SortStrings(const Library& lib, const SortOptions& o, std::uint32_t flags,
                 const std::vector<std::string>& values) {
    CStringArray data;
    for (const std::string& v : values) data.Add(CString(v.data(), static_cast<int>(v.size())));
    CArray<int, int> index = Identity(values.size());
    lib.Get<SortStringArray>(kSortStringArrayName)(data, flags, o.index ? &index : nullptr);
    std::vector<std::string> shown;
    for (INT_PTR i = 0; i < data.GetSize(); ++i) shown.emplace_back(data[i]);
    Print(shown, o.index ? &index : nullptr);
}

}  // namespace

void AddSortCommands(CLI::App& app, const Library& lib) {
    auto o = std::make_shared<SortOptions>();
    CLI::App* s = app.add_subcommand(
        "sort", "Sort values given as arguments, or one per line from standard input");
    s->add_option("--type", o->type, "element type")
        ->check(CLI::IsMember({"char", "uchar", "short", "int", "uint", "long", "ulong", "float",
                               "double", "string", "int64", "uint64"}))
        ->capture_default_str();
    s->add_flag("--desc", o->descending, "descending order");
    s->add_option("--missing", o->missing, "where NANUM goes (double, --numeric strings)")
        ->check(CLI::IsMember({"smallest", "largest"}));
    s->add_flag("--case", o->caseSensitive, "strings: case-sensitive");
    s->add_flag("--numeric", o->numeric, "strings: by numeric value");
    s->add_flag("--index", o->index, "print each value's position before the sort first");
    s->add_option("values", o->values, "values to sort");
    s->callback([o, &lib] {
        std::uint32_t flags = 0;
        if (o->missing == "smallest") flags |= SORT_MISSING_SMALLEST;
        if (o->missing == "largest") flags |= SORT_MISSING_LARGEST;
        if (o->descending) flags |= SORT_DESCENDING;
        if (o->caseSensitive) flags |= SORT_CASE_SENSITIVE;
        if (o->numeric) flags |= SORT_NUMERIC_STRINGS;
        std::vector<std::string> values = o->values;
        if (values.empty())
            for (std::string line; std::getline(std::cin, line);) values.push_back(line);
        const std::string& t = o->type;
        if (t == "string") return SortStrings(lib, *o, flags, values);
        if (t == "char") return SortNumbers<char>(lib, *o, flags, values);
        if (t == "uchar") return SortNumbers<unsigned char>(lib, *o, flags, values);
        if (t == "short") return SortNumbers<short>(lib, *o, flags, values);
        if (t == "int") return SortNumbers<int>(lib, *o, flags, values);
        if (t == "uint") return SortNumbers<unsigned int>(lib, *o, flags, values);
        if (t == "long") return SortNumbers<long>(lib, *o, flags, values);
        if (t == "ulong") return SortNumbers<unsigned long>(lib, *o, flags, values);
        if (t == "float") return SortNumbers<float>(lib, *o, flags, values);
        if (t == "int64") return SortNumbers<long long>(lib, *o, flags, values);
        if (t == "uint64") return SortNumbers<unsigned long long>(lib, *o, flags, values);
        SortNumbers<double>(lib, *o, flags, values);
    });
}
