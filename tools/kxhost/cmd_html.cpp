// html: escaping and unescaping of HTML characters.
#include <iostream>

#include "commands.h"

void AddHtmlCommands(CLI::App& app, const Library& lib) {
    struct Html {
        bool unescape = false;
        std::string chars;
        std::string text;
    };
    auto html = std::make_shared<Html>();
    CLI::App* h = app.add_subcommand("html", "Escape a text for HTML, or unescape it");
    h->add_flag("--unescape", html->unescape, "turn entities back into characters");
    CLI::Option* chars = h->add_option(
        "--chars", html->chars, "characters to handle, of & < > - \" space newline (default: all)");
    h->add_option("text", html->text, "text to rewrite")->required();
    h->callback([html, chars, &lib] {
        CString text(html->text.c_str());
        const std::string selection = chars->count() > 0 ? html->chars : "&<>-\" \n";
        KX_EXPORT_FN(lib, kxu_check_escape_html_charcters)
        (&text, selection.c_str(), html->unescape ? 1 : 0);
        std::cout << static_cast<const char*>(text) << '\n';
    });
}
