// Each capability adds its subcommands to the reference host here.
#pragma once

#include <CLI/CLI.hpp>

#include <zuvuvur/zuvuvur.h>

#include "library.h"

void AddSeparatorCommands(CLI::App& app, const Library& lib);
void AddMessageCommands(CLI::App& app, const Library& lib);
void AddShellCommands(CLI::App& app, const Library& lib);
void AddKeywordCommands(CLI::App& app, const Library& lib);
void AddWrapCommands(CLI::App& app, const Library& lib);
void AddCSourceCommands(CLI::App& app, const Library& lib);
void AddHtmlCommands(CLI::App& app, const Library& lib);
void AddReorderCommands(CLI::App& app, const Library& lib);
void AddFilesCommands(CLI::App& app, const Library& lib);
void AddTokenizingCommands(CLI::App& app, const Library& lib);
