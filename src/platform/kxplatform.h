// kxplatform — the operating-system layer under zuVuvur9_64, with neutral names.
//
// Portable logic lives in src/platform/*.cpp; what differs per system lives in
// posix/*.inc (and win32/*.inc), included at the end of the portable file that
// needs it, so each contract is stated once, here.
//
// Code page: the library's text is 8-bit "ANSI". We assume Windows-1252, the
// common ANSI code page, for bytes 0x80 and above: its letters (Š Œ Ž š œ ž Ÿ ƒ
// ª µ º À–Ö Ø–ö ø–ÿ) are letters, and its case pairs fold into each other.
// Bytes that are unassigned in Windows-1252 (0x81 0x8D 0x8F 0x90 0x9D) are
// neither letters nor cased.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kxplatform_api.h"

namespace kxp {

// ---- Code page (Windows-1252) -------------------------------------------

// True for the code page's letters, as the platform's letter test judges
// them (IsCharAlphaA on Windows).
KXPLATFORM_API bool cp_is_alpha(unsigned char c) noexcept;
// The letter test behind the library's whole-word rules: the system's
// IsCharAlphaA on Windows, which judges bytes 0x80 and above by the user's
// ANSI code page; elsewhere, where no user code page exists, the Windows-1252
// test above.
KXPLATFORM_API bool is_char_alpha(unsigned char c) noexcept;
KXPLATFORM_API bool cp_is_upper(unsigned char c) noexcept;
KXPLATFORM_API bool cp_is_lower(unsigned char c) noexcept;
// Case mapping within the code page; bytes without a partner map to themselves.
KXPLATFORM_API unsigned char cp_to_upper(unsigned char c) noexcept;
KXPLATFORM_API unsigned char cp_to_lower(unsigned char c) noexcept;
// The 256-entry lower-case table behind cp_to_lower, for tight loops.
KXPLATFORM_API const unsigned char* cp_lower_table() noexcept;

// The case-insensitive comparison of two NUL-terminated texts: each byte folded
// through cp_lower_table, then byte order; the answer is the difference of the
// first folded pair that differs. Inline because a string sort calls it for
// every comparison, where a call into this library would cost more than it.
inline int cp_compare_no_case(const char* a, const char* b) noexcept {
    const unsigned char* lower = cp_lower_table();
    auto x = reinterpret_cast<const unsigned char*>(a);
    auto y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        const int cx = lower[*x];
        const int cy = lower[*y];
        if (cx != cy) return cx - cy;
        if (cx == 0) return 0;
    }
}

// A text's first eight bytes, each mapped through `table` (cp_lower_table for the
// case-insensitive order, or a table of every byte as itself), most significant
// first and zero-filled past a shorter text's end: texts whose mapped bytes are
// compared in order sort as their keys do, so a sort or search can compare keys
// held together in one block and read the texts only where keys are equal.
inline std::uint64_t prefix_key(const char* text, const unsigned char* table) noexcept {
    std::uint64_t key = 0;
    auto p = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < 8 && p[i] != 0; ++i) key |= std::uint64_t{table[p[i]]} << (56 - 8 * i);
    return key;
}

// ---- Modules ----------------------------------------------------------------

// An opaque handle of a loaded module (HMODULE on Windows).
using ModuleHandle = void*;

// The handle of the process's executable.
KXPLATFORM_API ModuleHandle executable_module() noexcept;
// The file path of a loaded module, or "" when it cannot be told.
KXPLATFORM_API std::string module_path(ModuleHandle module);
// The module that holds `address` (code or data), or null.
KXPLATFORM_API ModuleHandle module_of_address(const void* address) noexcept;
// The file path of a loaded module into the caller's buffer of `size` bytes,
// as GetModuleFileNameA gives it: returns the bytes written before the NUL;
// a path that does not fit is cut to size - 1 bytes, still terminated, and
// the result is then `size`. 0 when the path cannot be told or `buffer` is
// null or `size` is 0 (nothing written then).
KXPLATFORM_API std::uint32_t module_file_name(ModuleHandle module, char* buffer,
                                              std::uint32_t size) noexcept;
// The byte that ends the folder part of the paths this layer reports.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
// The folder this platform library's own file was loaded from, with its
// trailing separator; "" when it cannot be told (or memory runs out). The
// libraries are built and installed together, so this is the library's own
// place: a build's bin folder, an installed tree's lib (bin on Windows).
KXPLATFORM_API std::string library_folder() noexcept;
// Where an installed library keeps its modules (the two message modules and,
// on POSIX, the shell module): the folder "zuvuvur" inside library_folder(),
// with its trailing separator; "" when library_folder() is "". A folder of
// their own because a "shell32.dll" and the message modules are nobody
// else's business in /usr/lib, and because a build's bin folder, which has no
// such subfolder, then keeps its meaning: a program of a build finds modules
// beside itself or not at all.
KXPLATFORM_API std::string library_module_folder() noexcept;
// Loads a module from `path` (never unloaded by this layer); null on failure.
// A path with a folder part loads that very file. A bare file name is looked
// for as Windows looks for a DLL's neighbours, the application's folder
// first, then the library's own place:
//   1. the executable's folder, where a host keeps its modules (and where a
//      build puts every module);
//   2. library_module_folder(), where an installed library keeps them, so
//      that a host anywhere finds them and no module lands in /usr/bin.
// On POSIX the dynamic loader's own search path is never used, because it
// would make whether a module is found depend on which library asks. On
// Windows step 1 is LoadLibraryA's own search (the application's folder,
// then the system's folders, where shell32.dll lives, the current folder
// and PATH); step 2 follows when that finds nothing.
KXPLATFORM_API ModuleHandle load_module(const char* path) noexcept;
// Address of `symbol` in `module`, or null.
KXPLATFORM_API void* find_symbol(ModuleHandle module, const char* symbol) noexcept;
// Unloads a module that load_module gave (for hosts and tests that own it).
KXPLATFORM_API void unload_module(ModuleHandle module) noexcept;

// ---- Files and directories ----------------------------------------------------
//
// Paths are the library's: narrow strings whose components are separated by
// backslashes. On POSIX every backslash becomes '/' before the system sees the
// path ("data\in\x.txt" is data/in/x.txt, relative to the working directory;
// "\" alone is the root). A POSIX name that itself holds a backslash therefore
// cannot be spoken in a library path: the search never yields one (see below).
// A path longer than the system's limit fails with ERR_FILENAME_EXCED_RANGE.
//
// The one mapping from the library's spelling of a path to the system's,
// in place: each backslash becomes kPathSeparator. Every path this layer takes
// goes through it, and so does the parsing name of a shell item (as wide
// text, where a backslash is a backslash in every encoding), so a script
// builds one path and uses it everywhere.
template <typename Char>
constexpr void to_native_separators(Char* path) noexcept {
    for (; *path; ++path)
        if (*path == Char('\\')) *path = Char(kPathSeparator);
}

// Errors are reported with the numbers the Windows file functions give, under
// the names below, so code written against those functions reads the same here
// and a Windows backend passes GetLastError() through unchanged.

inline constexpr std::uint32_t ERR_SUCCESS = 0;
inline constexpr std::uint32_t ERR_FILE_NOT_FOUND = 2;  // no such file; a search matching nothing
inline constexpr std::uint32_t ERR_PATH_NOT_FOUND = 3;  // a directory on the way is missing
inline constexpr std::uint32_t ERR_TOO_MANY_OPEN_FILES = 4;
inline constexpr std::uint32_t ERR_ACCESS_DENIED = 5;  // also: a directory where a file is meant
inline constexpr std::uint32_t ERR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERR_NO_MORE_FILES = 18;  // a search ran to its end
inline constexpr std::uint32_t ERR_WRITE_PROTECT = 19;  // read-only file system
inline constexpr std::uint32_t ERR_WRITE_FAULT = 29;
inline constexpr std::uint32_t ERR_READ_FAULT = 30;
inline constexpr std::uint32_t ERR_GEN_FAILURE = 31;        // any other failure of the system
inline constexpr std::uint32_t ERR_SHARING_VIOLATION = 32;  // someone else's use forbids ours
inline constexpr std::uint32_t ERR_DISK_FULL = 112;
inline constexpr std::uint32_t ERR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERR_INVALID_NAME = 123;
inline constexpr std::uint32_t ERR_ALREADY_EXISTS = 183;
inline constexpr std::uint32_t ERR_FILENAME_EXCED_RANGE = 206;
inline constexpr std::uint32_t ERR_DIRECTORY = 267;  // the directory name is not a directory

// Entry attributes, numbered as Windows numbers them. What they mean on POSIX:
// - FILE_ATTR_DIRECTORY: a directory, or a symbolic link whose target is one.
// - FILE_ATTR_HIDDEN: the name starts with a dot ("." and ".." excepted).
// - FILE_ATTR_SYSTEM: anything that is neither a plain file nor a plain
//   directory: symbolic links, FIFOs, sockets, device nodes. Callers that skip
//   system entries thus never follow a link (no loops, nothing reached outside
//   the tree) and never block on a FIFO.
// - FILE_ATTR_READONLY: the owner's write permission bit is clear, which is what
//   `chmod -w` gives. Permission bits, not access(), decide, so a file the user
//   protected stays protected for root too.
// - FILE_ATTR_REPARSE_POINT: a symbolic link (always with FILE_ATTR_SYSTEM).
inline constexpr std::uint32_t FILE_ATTR_READONLY = 0x1;
inline constexpr std::uint32_t FILE_ATTR_HIDDEN = 0x2;
inline constexpr std::uint32_t FILE_ATTR_SYSTEM = 0x4;
inline constexpr std::uint32_t FILE_ATTR_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTR_REPARSE_POINT = 0x400;

// One entry found by a directory search: its attributes and its bare name.
struct FindData {
    std::uint32_t attributes;
    char name[260];
};

// An open directory search (opaque).
struct DirSearch;
using SearchHandle = DirSearch*;

// True when `name` matches `pattern` as the Windows search matches names:
// '*' stands for any run of bytes (none included), '?' for exactly one byte,
// and letters match in either case (Windows-1252 folding). Two Windows habits
// are kept: a pattern ending in ".*" also matches the names its part before
// ".*" matches ("*.*" matches every name, dotless ones included; "a*.*"
// matches "abc"), and a pattern ending in a lone "." matches the dotless names
// its part before the dot matches ("*." lists the names without an extension).
KXPLATFORM_API bool name_matches(const char* pattern, const char* name) noexcept;

// Starts a search of `searchPath`, a directory path followed by a name pattern
// ("dir\*.*"; a search path without a backslash searches the working directory).
// Returns the search with its first matching entry in `*entry`, or null with
// the reason in `*error`:
//   ERR_FILE_NOT_FOUND  the directory was read and no entry matches,
//   ERR_PATH_NOT_FOUND  the directory does not exist,
//   ERR_DIRECTORY       the directory part names something that is not one,
//   ERR_ACCESS_DENIED   the directory cannot be read, or another error number.
// Entries come in the file system's order, "." and ".." included when the
// pattern matches them (they carry FILE_ATTR_DIRECTORY and are not hidden).
// An entry whose name holds a backslash, or is longer than FindData::name
// holds, is passed over: the library could not name it correctly, and a
// name such as "..\x" would lead out of the directory. An entry that vanishes
// while the search runs is passed over too.
KXPLATFORM_API SearchHandle find_first(const char* searchPath, FindData* entry,
                                       std::uint32_t* error) noexcept;
// The next matching entry: true with `*entry` filled, or false with
// ERR_NO_MORE_FILES at the end or another error number in `*error`.
KXPLATFORM_API bool find_next(SearchHandle search, FindData* entry, std::uint32_t* error) noexcept;
// Ends a search; null is ignored.
KXPLATFORM_API void find_close(SearchHandle search) noexcept;

// True when `path` leads to a directory (a link to one counts).
KXPLATFORM_API bool directory_exists(const char* path) noexcept;
// True when `path` itself is a symbolic link (its last component; on Windows a
// reparse point), whatever it points to, dangling included.
KXPLATFORM_API bool is_symbolic_link(const char* path) noexcept;

// Creates the one directory `path` names; its parent must exist. 0, or
// ERR_ALREADY_EXISTS, ERR_PATH_NOT_FOUND (missing parent), ERR_ACCESS_DENIED, …
//
// `like`, when given, is a directory whose permissions the new one takes, for
// a copy: on POSIX the read, write and search bits of owner, group and others
// and the sticky bit, less the process's umask as for any new directory, so a
// private folder is private from its first moment; set-user-id and
// set-group-id are never taken (a parent's set-group-id is still inherited, as
// the file system wants). A `like` that cannot be read gives the default
// permissions. When those permissions deny the owner writing or searching (a
// read-only tree), the owner keeps both until finish_directory, so that the
// copy can fill the directory. On Windows `like` is not read: a new directory
// takes its permissions from its parent, as every new directory there does.
KXPLATFORM_API std::uint32_t create_directory(const char* path,
                                              const char* like = nullptr) noexcept;
// Takes back from `path`, made by create_directory(path, like), what the
// owner kept only to fill it. Nothing happens when nothing was kept (always on
// Windows) or when either directory cannot be read.
KXPLATFORM_API void finish_directory(const char* path, const char* like) noexcept;

// Deletes the one file `path` names; never a directory and never anything
// below one. 0, or ERR_FILE_NOT_FOUND, or ERR_ACCESS_DENIED for a directory
// and for a read-only file (owner write bit clear) even when the caller could
// delete it. A symbolic link is deleted itself; its target is left alone.
KXPLATFORM_API std::uint32_t delete_file(const char* path) noexcept;

// What copy_file does when the destination exists already.
enum class ExistingFile { Replace, Keep };

// Copies the plain file `source` (a link to one counts) to `destination`.
// The data go to a new hidden file beside the destination, which is renamed
// over it once complete, so a failed copy leaves the destination as it was
// and never a half-written file. The copy gets the source's modification time
// and permission bits (less the process's umask, as any new file). An existing
// destination is replaced (ExistingFile::Replace) unless it is a directory or
// read-only (ERR_ACCESS_DENIED, as the delete refuses it), or kept untouched
// with 0 as the answer (ExistingFile::Keep). A source that is not a plain
// file gives ERR_ACCESS_DENIED. 0 when copied or kept, else an error number.
KXPLATFORM_API std::uint32_t copy_file(const char* source, const char* destination,
                                       ExistingFile existing) noexcept;

// Identity of a file or directory: equal identities are the same object on
// disk, whatever the paths that lead there.
struct FileId {
    std::uint64_t device;
    std::uint64_t index;
    bool operator==(const FileId&) const = default;
};
// The identity of what `path` leads to (links followed); false when none.
KXPLATFORM_API bool file_id(const char* path, FileId* id) noexcept;

// ---- Reading files ------------------------------------------------------------

// An open file (a descriptor on POSIX, a HANDLE on Windows).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Opens a file for reading; kNoFile with the reason in `*error` on failure
// (ERR_ACCESS_DENIED for a directory). `denyWrite` asks that nobody writes
// the file while it is open. POSIX has no mandatory sharing modes, so here
// this honestly means:
//   - the open is refused (ERR_SHARING_VIOLATION) when the file is open for
//     writing anywhere at that moment, as far as the system lets us ask: the
//     kernel's read-lease test tells it for files the caller owns (and for
//     every file when the caller is privileged); elsewhere the test is skipped;
//   - the open is refused when a cooperating writer holds an exclusive flock(),
//     and the file carries a shared flock() while open, which keeps such
//     writers out. A writer that takes no lock is not kept out.
KXPLATFORM_API FileHandle open_for_reading(const char* path, bool denyWrite,
                                           std::uint32_t* error) noexcept;
// Reads up to `size` bytes: the count read, 0 at the end of the file, or -1
// with the error number in `*error`.
KXPLATFORM_API std::int64_t read_file(FileHandle file, void* buffer, std::size_t size,
                                      std::uint32_t* error) noexcept;
// Closes a file; kNoFile is ignored.
KXPLATFORM_API void close_file(FileHandle file) noexcept;

}  // namespace kxp

#include "kxcom.h"
