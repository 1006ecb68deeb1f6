// replace and expr: whole-word keyword replacement, script conditions.
#include <iostream>

#include "commands.h"

void AddKeywordCommands(CLI::App& app, const Library& lib) {
    struct Replace {
        bool ignoreCase = false;
        std::string keyword;
        std::string replacement;
        std::string text;
    };
    auto replace = std::make_shared<Replace>();
    CLI::App* r = app.add_subcommand("replace", "Replace every whole-word keyword in a text");
    r->add_flag("-i,--ignore-case", replace->ignoreCase, "match the keyword in any letter case");
    r->add_option("keyword", replace->keyword, "word to replace")->required();
    r->add_option("replacement", replace->replacement, "text to put in its place")->required();
    r->add_option("text", replace->text, "text to rewrite")->required();
    r->callback([replace, &lib] {
        CString text(replace->text.c_str());
        const int n = KX_EXPORT_FN(lib, kxu_keyword_replace)(
            &text, replace->keyword.c_str(), replace->replacement.c_str(), replace->ignoreCase);
        if (n < 0) throw CLI::ValidationError("replace", "the keyword must not be empty");
        std::cout << static_cast<const char*>(text) << '\n';
        std::cerr << n << (n == 1 ? " replacement\n" : " replacements\n");
    });

    auto condition = std::make_shared<std::string>();
    CLI::App* e = app.add_subcommand("expr", "Write a script condition with C operators");
    e->add_option("condition", *condition, "condition such as \"a=1 and not b\"")->required();
    e->callback([condition, &lib] {
        CString result;
        KX_EXPORT_FN(lib, kxu_get_correct_SK_expression)(condition->c_str(), &result);
        std::cout << static_cast<const char*>(result) << '\n';
    });
}
