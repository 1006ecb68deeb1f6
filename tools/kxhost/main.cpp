// kxhost, the reference host: loads zuVuvur9_64 from beside itself, as the
// data-analysis host does, owns the script arrays and offers one subcommand
// per capability.
#include <iostream>

#include "commands.h"

namespace {

// CLI11 reads an argument written in brackets ("[a,b]") as a list for every
// option that takes more than one value; here an argument is always one value
// as written ("[RFC1234]" is a token, "[1,2]" is no number). A list of
// positionals takes its many values only through that same setting, so it
// asks instead for more of them than any command line holds: a minimum that
// the take-all policy never checks.
void KeepBracketsAsWritten(CLI::App& app) {
    constexpr int kMany = CLI::detail::expected_max_vector_size;
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; }))
        for (CLI::Option* option : command->get_options()) {
            if (!option->get_allow_extra_args()) continue;
            option->allow_extra_args(false);
            if (option->get_positional())
                option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                    ->expected(kMany - 1, kMany);
        }
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Library lib;
        CLI::App app{"kxhost - the reference host of zuVuvur9_64"};
        // Paths start with "/" here; they are never options, on Windows either.
        app.allow_windows_style_options(false);
        app.require_subcommand(1);
        AddSeparatorCommands(app, lib);
        AddMessageCommands(app, lib);
        AddShellCommands(app, lib);
        AddKeywordCommands(app, lib);
        AddWrapCommands(app, lib);
        AddCSourceCommands(app, lib);
        AddHtmlCommands(app, lib);
        AddReorderCommands(app, lib);
        AddFilesCommands(app, lib);
        AddTokenizingCommands(app, lib);
        AddSortCommands(app, lib);
        AddFrequencyCommands(app, lib);
        KeepBracketsAsWritten(app);
        CLI11_PARSE(app, argc, argv);
    } catch (CException* e) {
        char message[256];
        e->GetErrorMessage(message, sizeof message);
        e->Delete();
        std::cerr << "kxhost: " << message << '\n';
        return 3;
    } catch (const std::exception& e) {
        std::cerr << "kxhost: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
