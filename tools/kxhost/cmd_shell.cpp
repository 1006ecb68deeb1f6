// props: document properties of files, read through shell items.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "commands.h"

namespace {

// The library keeps no texts for its shell numbers; the host says them.
const char* ShellErrorText(int code) {
    switch (code) {
        case 15050:
            return "the item table cannot be allocated";
        case 15051:
            return "COM cannot be initialised for this thread";
        case 15052:
            return "a new item cannot be allocated";
        case 15053:
            return "no item can be made from this name";
        case 15054:
            return "no such item";
        case 15055:
            return "no such operation";
        case 15056:
            return "no such property";
        case 15057:
            return "cannot be read as text";
        case 15058:
            return "cannot be read as a number";
        case 15059:
            return "cannot be read as a boolean";
        case 15060:
            return "cannot be read as a file time";
        case 15061:
            return "not set";
        default:
            return "unknown error";
    }
}

// A file time (100 ns since 1601-01-01 UTC) as ISO 8601 UTC, to the second.
// Calendar arithmetic rather than gmtime: the same on every system, and good
// for every time a file time can hold.
std::string Iso8601(std::uint64_t ticks) {
    using namespace std::chrono;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    const sys_seconds time{
        seconds{static_cast<std::int64_t>(ticks / 10000000u) - kSecondsFrom1601To1970}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss<seconds> clock{time - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

}  // namespace

void AddShellCommands(CLI::App& app, const Library& lib) {
    auto files = std::make_shared<std::vector<std::string>>();
    CLI::App* props = app.add_subcommand(
        "props", "Title, subtitle, rating, comment, created and modified time of files");
    props->add_option("files", *files, "files or folders")->required();
    props->callback([files, &lib] {
        auto shellItem = KX_EXPORT_FN(lib, kxu_shell_item);
        bool failed = false;
        for (const std::string& file : *files) {
            unsigned int item = 0;
            int code = shellItem(&item, 0, reinterpret_cast<INT_PTR>(file.c_str()), nullptr, 0);
            if (code != 0) {
                std::cerr << "kxhost: " << file << ": " << code << ' ' << ShellErrorText(code)
                          << '\n';
                failed = true;
                continue;
            }
            std::cout << file << '\n';
            auto show = [](const char* name, int result, const std::string& value) {
                std::cout << "  " << name << ": ";
                if (result == 0)
                    std::cout << value << '\n';
                else
                    std::cout << '(' << result << ' ' << ShellErrorText(result) << ")\n";
            };
            const struct {
                const char* name;
                unsigned int property;
            } texts[] = {
                {"title", SHELL_PROP_TITLE},          {"subtitle", SHELL_PROP_SUBTITLE},
                {"rating", SHELL_PROP_RATING},        {"comment", SHELL_PROP_COMMENT},
                {"created", SHELL_PROP_DATE_CREATED}, {"modified", SHELL_PROP_DATE_MODIFIED}};
            for (const auto& row : texts) {
                if (row.property == SHELL_PROP_RATING) {
                    unsigned int rating = 0;
                    int result = shellItem(&item, 5, row.property, &rating, 0);
                    show(row.name, result, std::to_string(rating));
                } else if (row.property >= SHELL_PROP_DATE_CREATED) {
                    std::uint32_t time[2] = {0, 0};  // FILETIME: low half first
                    int result = shellItem(&item, 3, row.property, time, 0);
                    show(row.name, result, Iso8601((std::uint64_t{time[1]} << 32) | time[0]));
                } else {
                    char text[1024];
                    int result = shellItem(&item, 4, row.property, text, sizeof text);
                    show(row.name, result, result == 0 ? text : "");
                }
            }
            shellItem(&item, 1, 0, nullptr, 0);
        }
        if (failed) throw CLI::RuntimeError(1);
    });
}
