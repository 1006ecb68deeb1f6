// split and join: separator strings.
#include <iostream>

#include "commands.h"
#include "host_objects.h"

void AddSeparatorCommands(CLI::App& app, const Library& lib) {
    struct Split {
        std::string by = ",";
        std::string text;
    };
    auto split = std::make_shared<Split>();
    CLI::App* s =
        app.add_subcommand("split", "Split a text at every occurrence of a separator string");
    s->add_option("--by", split->by, "separator string")->capture_default_str();
    s->add_option("text", split->text, "text to split")->required();
    s->callback([split, &lib] {
        StringArrayObject pieces;
        int n =
            KX_EXPORT_FN(lib, kxu_separate_by_str)(split->text.c_str(), &pieces, split->by.c_str());
        if (n < 0) throw CLI::ValidationError("split", "the separator must not be empty");
        for (INT_PTR i = 0; i < pieces.strings.GetSize(); ++i)
            std::cout << static_cast<const char*>(pieces.strings[i]) << '\n';
    });

    struct Join {
        std::string with = ",";
        std::vector<std::string> tokens;
    };
    auto join = std::make_shared<Join>();
    CLI::App* j = app.add_subcommand("join", "Join tokens with a separator string");
    j->add_option("--with", join->with, "separator string")->capture_default_str();
    j->add_option("tokens", join->tokens, "tokens to join");
    j->callback([join, &lib] {
        StringArrayObject tokens(join->tokens);
        CString joined;
        KX_EXPORT_FN(lib, kxu_set_tokens_by_str)(&joined, &tokens, join->with.c_str());
        std::cout << static_cast<const char*>(joined) << '\n';
    });
}
