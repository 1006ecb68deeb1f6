// reorder: fill a string array from another in the order of an index list.
#include <charconv>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "host_objects.h"

void AddReorderCommands(CLI::App& app, const Library& lib) {
    struct Reorder {
        std::string order;
        std::vector<std::string> entries;
    };
    auto reorder = std::make_shared<Reorder>();
    CLI::App* r = app.add_subcommand(
        "reorder", "Overwrite the first entries of a list with the entries an index list picks");
    r->add_option("--order", reorder->order, "indices into the list, from 0, e.g. 2,0")->required();
    r->add_option("entries", reorder->entries, "the list")->required();
    r->callback([reorder, &lib] {
        std::vector<int> order;
        std::istringstream in(reorder->order);
        for (std::string index; std::getline(in, index, ',');) {
            // The whole piece: "1x" is a mistake, not 1.
            int value = 0;
            const char* end = index.data() + index.size();
            const std::from_chars_result r = std::from_chars(index.data(), end, value);
            if (index.empty() || r.ec != std::errc() || r.ptr != end)
                throw CLI::ValidationError("--order", "not a number: " + index);
            order.push_back(value);
        }
        StringArrayObject source(reorder->entries);
        StringArrayObject destination(reorder->entries);
        const int result = KX_EXPORT_FN(lib, kxu_multi_str_reorder)(
            static_cast<int>(order.size()), &destination, order.data(),
            static_cast<int>(reorder->entries.size()), &source);
        if (result == -2) throw CLI::ValidationError("--order", "an index is outside the list");
        for (INT_PTR i = 0; i < destination.strings.GetSize(); ++i)
            std::cout << static_cast<const char*>(destination.strings[i]) << '\n';
    });
}
