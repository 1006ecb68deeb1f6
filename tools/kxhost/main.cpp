// kxhost, the reference host: loads zuVuvur9_64 from beside itself, as the
// data-analysis host does, owns the script arrays and offers one subcommand
// per capability.
#include <iostream>

#include "commands.h"

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
