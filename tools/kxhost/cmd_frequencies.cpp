// freq: the distinct lines of a file or standard input with their counts.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <vector>

#include "commands.h"
#include "host_objects.h"

void AddFrequencyCommands(CLI::App& app, const Library& lib) {
    struct Freq {
        std::string file;
        bool caseSensitive = false;
        bool trim = false;
    };
    auto f = std::make_shared<Freq>();
    CLI::App* c = app.add_subcommand(
        "freq", "Count the distinct lines of a file (or standard input), in sorted order");
    c->add_option("file", f->file, "file to read; standard input when left out");
    c->add_flag("--case", f->caseSensitive, "lines that differ in case are different");
    c->add_flag("--trim", f->trim, "ignore white space around each line");
    c->callback([f, &lib] {
        std::ifstream file;
        if (!f->file.empty()) file.open(f->file, std::ios::binary);
        std::istream& in = f->file.empty() ? std::cin : file;
        StringArrayObject source, distinct;
        for (std::string line; std::getline(in, line);)
            source.strings.Add(CString(line.data(), static_cast<int>(line.size())));
        // A folder may open like a file and fail at its first read.
        if (in.bad() || (!f->file.empty() && !file.is_open()))
            throw std::runtime_error("freq: cannot read " +
                                     (f->file.empty() ? "the standard input" : f->file));
        std::vector<double> counts(static_cast<std::size_t>(source.strings.GetSize()));
        std::uint32_t groups = 0;
        std::uint32_t options =
            (f->caseSensitive ? FREQ_CASE_SENSITIVE : 0) | (f->trim ? FREQ_TRIM : 0);
        KX_EXPORT_FN(lib, kxu_discrete_frequencies)
        (&source, &distinct, counts.data(), &groups, options);
        for (INT_PTR k = 0; k < distinct.strings.GetSize(); ++k)
            std::printf("%7.0f %s\n", counts[static_cast<std::size_t>(k)],
                        static_cast<const char*>(distinct.strings[k]));
    });
}
