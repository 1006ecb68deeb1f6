// The lines of a text file, appended to a string array.
#include <zuvuvur/files.h>

#include <utility>

#include "frame/bridge.h"

namespace {
constexpr int kDropEmpty = 1;
constexpr int kTrim = 2;
}  // namespace

int kxuReadTextFileLines(const char* path, CStringArray* lines, int options) {
    if (!lines) return -2;
    if (!path) return -1;
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText)) return -1;
    CString line;
    while (file.ReadString(line)) {
        if (options & kTrim) {
            line.TrimLeft();
            line.TrimRight();
        }
        if ((options & kDropEmpty) && line.IsEmpty()) continue;
        // Appended as SetAtGrow appends, then the text is handed over rather than
        // shared, so neither this line nor the next pays for a reference count.
        INT_PTR at = lines->GetSize();
        lines->SetAtGrow(at, CString());
        lines->ElementAt(at) = std::move(line);
    }
    file.Close();
    return static_cast<int>(lines->GetSize());
}

int kxu_read_text_file_lines(const char* path, CHostObject* lines, int options) {
    return kxuReadTextFileLines(path, HostStringArray(lines), options);
}
