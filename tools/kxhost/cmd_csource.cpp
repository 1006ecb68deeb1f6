// strip-comments, c-string and c-name: helpers for C-like source text.
#include <iostream>
#include <iterator>

#include "commands.h"

void AddCSourceCommands(CLI::App& app, const Library& lib) {
    auto leading = std::make_shared<bool>(false);
    CLI::App* s = app.add_subcommand("strip-comments", "Remove the C comments of standard input");
    s->add_flag("--leading", *leading, "only the comments at the start");
    s->callback([leading, &lib] {
        const std::string input{std::istreambuf_iterator<char>(std::cin), {}};
        CString text(input.c_str());
        KX_EXPORT_FN(lib, kxu_skip_C_comments)(&text, *leading ? 1 : 0);
        std::cout << static_cast<const char*>(text) << '\n';
    });

    auto source = std::make_shared<std::string>();
    CLI::App* c = app.add_subcommand("c-string", "Write a text as a C string literal");
    c->add_option("text", *source, "text to escape")->required();
    c->callback([source, &lib] {
        CString body;
        KX_EXPORT_FN(lib, kxu_make_C_string_from_ascii)(source->c_str(), &body);
        std::cout << '"' << static_cast<const char*>(body) << "\"\n";
    });

    struct Name {
        std::string prefix = "_";
        std::string name;
    };
    auto name = std::make_shared<Name>();
    CLI::App* n = app.add_subcommand("c-name", "Make a valid C identifier of a text");
    n->add_option("--prefix", name->prefix,
                  "put before a leading digit (a letter or _; anything else drops the digits)")
        ->capture_default_str();
    n->add_option("name", name->name, "text to turn into an identifier")->required();
    n->callback([name, &lib] {
        CString result(name->name.c_str());
        KX_EXPORT_FN(lib, kxuMakeValidCName)
        (&result, name->prefix.empty() ? '\0' : name->prefix[0]);
        std::cout << static_cast<const char*>(result) << '\n';
    });
}
