// wrap and pad: line layout.
#include <iostream>
#include <iterator>
#include <map>

#include "commands.h"

void AddWrapCommands(CLI::App& app, const Library& lib) {
    struct Wrap {
        int width = 72;
        int indent = 0;
    };
    auto wrap = std::make_shared<Wrap>();
    CLI::App* w = app.add_subcommand("wrap", "Wrap standard input at white space");
    w->add_option("--width", wrap->width, "greatest line width")->capture_default_str();
    w->add_option("--indent", wrap->indent, "spaces before every line but the first")
        ->capture_default_str();
    w->callback([wrap, &lib] {
        const std::string input{std::istreambuf_iterator<char>(std::cin), {}};
        CString text(input.data(), static_cast<int>(input.size()));
        const int lines = KX_EXPORT_FN(lib, kxu_wrap_text)(&text, wrap->width, wrap->indent);
        if (lines < 0)
            throw CLI::ValidationError("wrap", "a line has no white space within the width");
        std::cout << static_cast<const char*>(text);
        if (!text.IsEmpty() && text[text.GetLength() - 1] != '\n') std::cout << '\n';
    });

    struct Pad {
        int width = 0;
        int align = 0;
        std::string fill = " ";
        std::string text;
    };
    auto pad = std::make_shared<Pad>();
    CLI::App* p = app.add_subcommand("pad", "Cut or pad a text to an exact width");
    p->add_option("--width", pad->width, "width of the result")->required();
    const std::map<std::string, int> aligns{{"left", 0}, {"centre", 1}, {"right", 2}};
    p->add_option("--align", pad->align, "left, centre or right")
        ->transform(CLI::CheckedTransformer(aligns, CLI::ignore_case));
    p->add_option("--fill", pad->fill, "fill character")
        ->check(CLI::Validator(
            [](std::string& s) { return s.size() == 1 ? std::string() : "one character"; },
            "CHAR"));
    p->add_option("text", pad->text, "text to place")->required();
    p->callback([pad, &lib] {
        auto padChar =
            lib.Get<decltype(kxu_str_pad_char)>("_Z16kxu_str_pad_charPKciic");  // decorated
        const CString result = padChar(pad->text.c_str(), pad->width, pad->align, pad->fill[0]);
        std::cout << '[' << static_cast<const char*>(result) << "]\n";
    });
}
