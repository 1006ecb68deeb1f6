// Files and paths: copying a directory, deleting files by pattern, reading
// the lines of a text file, expressing a path relative to another.
//
//     kxuCopyDirectory("in\\", "out", 1, &skipDirs, nullptr, 1);  // 1: the tree copied
//     kxuDelFiles("out\\", "*.tmp", &keep);        // number of files deleted
//     kxuReadTextFileLines("out\\list.txt", &lines, 3);  // lines trimmed, empty ones dropped
//     kxu_make_relative_path(rel, "C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt", 1);  // 0, "..\c\y.txt"
//
// Paths are narrow strings whose components are separated by backslashes. On
// POSIX each backslash is read as '/', so "data\in" is data/in, "\" alone is
// the root, and a directory given as "" becomes "\", the root, as it does on
// Windows. Names inside the folders are bare names: an entry whose POSIX name
// holds a backslash cannot be spoken in such a path and is never copied,
// deleted or followed (a name like "..\x" would otherwise lead outside).
//
// What the folder entries' attributes mean on POSIX:
// - hidden: the name starts with a dot ("." and ".." themselves are not hidden;
//   a directory search lists them, and the copy passes them over by name);
// - system: anything that is neither a plain file nor a plain directory, that
//   is symbolic links, FIFOs, sockets and device nodes;
// - read-only: the owner's write permission bit is clear (`chmod -w`).
//
// Symbolic links are never copied and never followed: they are system
// entries, which the copy skips, so a link to a directory cannot lead the copy
// into a loop or out of the source tree. The deletion removes a link to a file
// that matches the pattern (the link itself, never its target) and leaves a
// link to a directory alone, as it leaves every directory.
#pragma once

#include "afx/afx.h"
#include "export.h"
#include "host.h"

// ---- Directory copy -------------------------------------------------------------
//
// kxuCopyDirectory copies the files of `source` into `destination`, and with a
// nonzero `recurse` the whole tree of subdirectories as well. 1 when the
// enumeration of `source` ran to its end, whatever happened inside its
// subdirectories; 0 when the destination was missing and could not be made
// (only its last level is made: a missing parent gives 0), when `source`
// cannot be searched (the destination has been made by then), or when a file
// of this level could not be copied (files copied before it stay; the rest of
// the level is left).
//
// Skipped: hidden and system entries, files and directories alike; with
// `recurse` 0 every subdirectory; subdirectories named in `excludedDirs` and
// files named in `excludedFiles`, at every depth. The elements are bare names
// compared without regard to letter case; trailing backslashes are trimmed
// from directory elements ("CVS\\" excludes every CVS folder) but not from
// file elements ("a.txt\\" excludes nothing); an element holding a path never
// matches. A null list excludes nothing.
//
// `copyOption` nonzero: every file replaces an existing destination file.
// `copyOption` 0: files of the top folder that already exist in the
// destination are kept as they are; files inside subdirectories are always
// replaced. A destination file that is read-only is never replaced: its copy
// fails, which ends the copy of that level with 0. Each copy goes to a
// temporary name beside the destination and is renamed into place when
// complete, so no file is ever left half-written; it keeps the source's
// modification time and permission bits.
//
// Folders the copy makes (the destination itself when it was missing, and
// every subfolder) get their source folder's permission bits, so a folder
// its owner kept private (700) is private in the copy from the moment it
// exists, and a read-only folder is read-only once filled. Files and folders
// alike get them less the process's umask, as any new file; the sticky bit
// of a folder is kept, set-user-id and set-group-id are dropped, so the copy
// never hands on rights the copier did not mean to give. Folders that existed
// already keep their own permissions. On Windows a new folder takes its
// permissions from its parent, as there every new folder does.
//
// Nothing is written outside the destination tree: a subfolder of the
// destination that is a symbolic link is not copied into (that subtree is
// left out, as a failed one), and an existing destination file that is a link
// is replaced by the copy, never written through.
//
// Copying into itself: when the destination lies inside the source, the copy
// does not descend into the destination, so a tree is never copied into itself
// without end; a source that is the destination itself gives 1 at once, its
// files being their own copies.
//
// A source that changes under the copy: an entry deleted after the search
// began is passed over as if it had never been listed, and a file deleted
// while it is being copied arrives whole, as it was when it was opened.
//
// Null `source` or `destination`: 0, and nothing on disk is touched.
KXU_EXPORT int kxuCopyDirectory(const char* source, const char* destination, int recurse,
                                CStringArray* excludedDirs, CStringArray* excludedFiles,
                                int copyOption);
// The lists as host objects (null: no list); the host is asked for the
// excluded-directories array before the excluded-files array.
KXU_EXPORT int kxu_copy_directory(const char* source, const char* destination, int recurse,
                                  CHostObject* excludedDirs, CHostObject* excludedFiles,
                                  int copyOption);

// ---- File deletion --------------------------------------------------------------
//
// kxuDelFiles deletes the files of `directory` whose names match `pattern`
// (null: "*.*", every name). Patterns match as the Windows search matches:
// '*' any run, '?' one character, letters in either case, "*.*" every name,
// dotless ones included. Returns the number of files deleted, 0 also when
// nothing matches; -1 when the directory does not exist (or is null); -2 when
// the search cannot start for another reason; -3 when it broke off with an
// error, the files deleted before staying deleted.
//
// Never deleted: directories (nothing below `directory` is touched), files
// named in `excludedFiles` (bare names, any letter case, not trimmed), and
// read-only files, which are passed over silently and not counted, even when
// the caller's privileges would allow it. Hidden files are deleted.
//
// A pattern holding a backslash or a slash is refused with -2: it would search
// another folder and then delete the names found there from `directory`.
KXU_EXPORT int kxuDelFiles(const char* directory, const char* pattern, CStringArray* excludedFiles);
KXU_EXPORT int kxu_delete_files(const char* directory, const char* pattern,
                                CHostObject* excludedFiles);

// ---- Text-file lines ------------------------------------------------------------
//
// kxuReadTextFileLines appends the lines of a text file to `lines` (whatever
// it holds stays in front) and returns the array's size after the call. CR LF
// and LF end a line and are not part of it; a last line without an end is a
// line; every other byte reaches the line unchanged, a byte-order mark
// included. Options: 2 trims white space from both ends of each line, 1 drops
// lines that are empty (after trimming, with 3); other bits are ignored.
//
// -2 when `lines` is null (the file is not touched); -1 when the file cannot
// be opened: missing, a directory, no access, a null path, or being written
// (see CStdioFile in afx/file.h for what deny-write sharing means on POSIX).
// A read error in the middle raises CFileException*; the lines appended
// before it stay.
KXU_EXPORT int kxuReadTextFileLines(const char* path, CStringArray* lines, int options);
KXU_EXPORT int kxu_read_text_file_lines(const char* path, CHostObject* lines, int options);

// ---- Relative path --------------------------------------------------------------
//
// kxu_make_relative_path expresses `target` relative to the folder of `base`
// and assigns it to `result` on success only. Pure text: nothing on disk is
// consulted, only the backslash separates, bytes compare case-sensitively.
// `base` is read as a file path: its folder runs up to its last backslash, so
// a folder given as base must end with one.
//
//     base C:\a\b\x.txt   target C:\a\c\y.txt   ..\c\y.txt
//     base C:\a\b\        target C:\a\b\y.txt   y.txt
//     base C:\a\b         target C:\a\b\y.txt   b\y.txt
//     base C:\ab\x.txt    target C:\abc\y.txt   ..\abc\y.txt
//
// Returns 0; -1 when the target has no backslash or its last one is at index
// 0 or 1; -2 when base and target share no leading folder (a backslash at
// index 1 or later ending a common run): an empty base, other drives, or the
// same drive letter in another case; -3 when the result would climb more
// than `maxLevels` folders up (equal is allowed; a negative maximum refuses).
// A null base or target reads as an empty text (-2 or -1).
KXU_EXPORT int kxu_make_relative_path(CString& result, const char* base, const char* target,
                                      int maxLevels);
