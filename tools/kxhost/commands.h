// Each capability adds its subcommands to the reference host here.
#pragma once

#include <CLI/CLI.hpp>

#include <zuvuvur/zuvuvur.h>

#include "library.h"

void AddSeparatorCommands(CLI::App& app, const Library& lib);
void AddMessageCommands(CLI::App& app, const Library& lib);
void AddShellCommands(CLI::App& app, const Library& lib);
void AddSortCommands(CLI::App& app, const Library& lib);
void AddFrequencyCommands(CLI::App& app, const Library& lib);
