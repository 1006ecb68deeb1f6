// Each capability adds its subcommands to the reference host here.
#pragma once

#include <CLI/CLI.hpp>

#include <zuvuvur/zuvuvur.h>

#include "library.h"

void AddSeparatorCommands(CLI::App& app, const Library& lib);
void AddTokenizingCommands(CLI::App& app, const Library& lib);
