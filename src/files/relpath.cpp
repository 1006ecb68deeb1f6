// A path expressed relative to the folder of another, as text alone.
#include <zuvuvur/files.h>

int kxu_make_relative_path(CString& result, const char* base, const char* target, int maxLevels) {
    CString from(base);
    CString to(target);
    int lastSlash = to.ReverseFind('\\');
    if (lastSlash < 2) return -1;  // none, or "\y.txt", "C\y.txt"
    CString targetDirectory = to.Left(lastSlash + 1);

    // The common folder ends at the last backslash of the run where both agree;
    // a backslash at index 0 is no folder of its own.
    const char* b = from.GetString();
    const char* t = targetDirectory.GetString();
    int common = 0;
    for (int k = 0; b[k] != '\0' && b[k] == t[k]; ++k)
        if (k >= 1 && b[k] == '\\') common = k + 1;
    if (common == 0) return -2;

    from.Delete(0, common);
    int levels = 0;
    const char* rest = from.GetString();
    for (int k = 1; k < from.GetLength(); ++k)
        if (rest[k] == '\\') ++levels;
    if (levels > maxLevels) return -3;

    CString steps;
    for (int i = 0; i < levels; ++i) steps += "..\\";
    result.Format("%s%s", steps.GetString(), to.Mid(common).GetString());
    return 0;
}
