// copy-dir, delete, lines and relpath: files and paths.
#include <iostream>

#include "commands.h"
#include "host_objects.h"

namespace {

// The library reads an empty folder as the root folder; on a command line an
// empty folder is far more likely a shell variable that was never set.
const CLI::Validator kFolder(
    [](std::string& folder) {
        return folder.empty() ? "an empty folder would mean the root folder" : std::string();
    },
    "FOLDER");

// Why a copy failed, as far as can be told afterwards: the library answers 0
// whatever the cause. Paths are read as the library reads them.
std::string CopyFault(const std::string& source, const std::string& destination) {
    kxp::FileId id;
    if (!kxp::directory_exists(source.c_str()))
        return (kxp::file_id(source.c_str(), &id) ? "not a folder: " : "no such folder: ") + source;
    if (!kxp::directory_exists(destination.c_str()))
        return "cannot create the folder " + destination;
    return "a file could not be copied into " + destination +
           ": the folder is not writable or is full, or the file cannot be read";
}

}  // namespace

void AddFilesCommands(CLI::App& app, const Library& lib) {
    struct CopyDir {
        std::string source, destination;
        bool recurse = false, keepExisting = false;
        std::vector<std::string> excludeDirs, excludeFiles;
    };
    auto copy = std::make_shared<CopyDir>();
    CLI::App* c = app.add_subcommand("copy-dir", "Copy the files of a folder into another");
    c->add_option("source", copy->source, "folder to copy from")->required()->check(kFolder);
    c->add_option("destination", copy->destination, "folder to copy into (made when missing)")
        ->required()
        ->check(kFolder);
    c->add_flag("--recurse,-r", copy->recurse, "copy the subfolders too");
    // One name per occurrence, so that the folders after them stay positional.
    c->add_option("--exclude-dir", copy->excludeDirs, "folder name to leave out, at any depth")
        ->allow_extra_args(false);
    c->add_option("--exclude-file", copy->excludeFiles, "file name to leave out, at any depth")
        ->allow_extra_args(false);
    c->add_flag("--keep-existing", copy->keepExisting,
                "keep top-level files that exist in the destination already");
    c->callback([copy, &lib] {
        StringArrayObject dirs(copy->excludeDirs);
        StringArrayObject files(copy->excludeFiles);
        int done = KX_EXPORT_FN(lib, kxu_copy_directory)(
            copy->source.c_str(), copy->destination.c_str(), copy->recurse ? 1 : 0,
            copy->excludeDirs.empty() ? nullptr : &dirs,
            copy->excludeFiles.empty() ? nullptr : &files, copy->keepExisting ? 0 : 1);
        if (!done)
            throw std::runtime_error("copy-dir: " + CopyFault(copy->source, copy->destination));
        std::cout << "copied\n";
    });

    struct Delete {
        std::string directory, pattern = "*.*";
        std::vector<std::string> exclude;
    };
    auto del = std::make_shared<Delete>();
    CLI::App* d = app.add_subcommand("delete", "Delete the files of a folder that match a pattern");
    d->add_option("directory", del->directory, "folder whose files are deleted")
        ->required()
        ->check(kFolder);
    d->add_option("pattern", del->pattern, "name pattern with * and ?")->capture_default_str();
    d->add_option("--exclude", del->exclude, "file name to keep")->allow_extra_args(false);
    d->callback([del, &lib] {
        StringArrayObject keep(del->exclude);
        int n = KX_EXPORT_FN(lib, kxu_delete_files)(del->directory.c_str(), del->pattern.c_str(),
                                                    del->exclude.empty() ? nullptr : &keep);
        if (n == -1) throw std::runtime_error("delete: no such folder: " + del->directory);
        if (n < 0) throw std::runtime_error("delete: the folder could not be searched");
        std::cout << n << " deleted\n";
    });

    struct LinesArgs {
        std::string path;
        bool trim = false, skipEmpty = false;
    };
    auto lines = std::make_shared<LinesArgs>();
    CLI::App* l = app.add_subcommand("lines", "Print the lines of a text file, one per line");
    l->add_option("file", lines->path, "text file")->required();
    l->add_flag("--trim", lines->trim, "trim white space from both ends of each line");
    l->add_flag("--skip-empty", lines->skipEmpty, "leave out empty lines");
    l->callback([lines, &lib] {
        StringArrayObject out;
        int options = (lines->trim ? 2 : 0) | (lines->skipEmpty ? 1 : 0);
        int n = KX_EXPORT_FN(lib, kxu_read_text_file_lines)(lines->path.c_str(), &out, options);
        if (n < 0) throw std::runtime_error("lines: cannot open " + lines->path);
        // Whole lines: the library keeps the NUL bytes of a line.
        for (INT_PTR i = 0; i < out.strings.GetSize(); ++i)
            std::cout.write(out.strings[i], out.strings[i].GetLength()) << '\n';
    });

    struct RelPath {
        std::string base, target;
        int maxLevels = 16;
    };
    auto rel = std::make_shared<RelPath>();
    CLI::App* r = app.add_subcommand("relpath", "Express a path relative to the folder of another");
    r->add_option("base", rel->base, "reference file (or folder ending in a backslash)")
        ->required();
    r->add_option("target", rel->target, "path to express")->required();
    r->add_option("--max-levels", rel->maxLevels, "most parent steps allowed")
        ->capture_default_str();
    r->callback([rel, &lib] {
        CString result;
        int rc = KX_EXPORT_FN(lib, kxu_make_relative_path)(result, rel->base.c_str(),
                                                           rel->target.c_str(), rel->maxLevels);
        if (rc == -1) throw std::runtime_error("relpath: the target has no folder");
        if (rc == -2) throw std::runtime_error("relpath: no common folder");
        if (rc == -3) throw std::runtime_error("relpath: more parent steps than --max-levels");
        std::cout << static_cast<const char*>(result) << '\n';
    });
}
