// Numbered messages from the host's message modules.
#include <zuvuvur/messages.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "kxplatform.h"
#include "kxtl.h"

namespace {

// The error-message module, loaded by the first kxu_load_err_msg_str and
// kept; and whether that first load failed, which is never retried.
HMODULE g_errMsgModule = nullptr;
int g_errMsgLoadFailed = 0;

constexpr int kErrMsgBufferSize = 4096;
constexpr int kRuntimeBufferSize = 1024;
constexpr int kPathBufferSize = 260;

// Loads `baseName`.dll from the folder of the current module state's
// instance: the host executable during a host's call. When that folder has
// none, from the folder where an installed library keeps its modules. Null
// when missing from both.
HMODULE LoadMessageModule(const char* baseName) {
    char path[kPathBufferSize];
    HINSTANCE instance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    std::uint32_t length = kxp::module_file_name(instance, path, sizeof path);
    // A path cut to the buffer names some other folder; don't go looking there.
    if (length != 0 && length < sizeof path) {
        CString file(path);
        file = file.Left(file.ReverseFind(kxp::kPathSeparator) + 1);
        file += baseName;
        file += ".dll";
        if (HMODULE module = kxp::load_module(file)) return module;
    }
    const std::string folder = kxp::library_module_folder();
    if (folder.empty()) return nullptr;
    CString file(folder.c_str());
    file += baseName;
    file += ".dll";
    return kxp::load_module(file);
}

// True when every printf conversion of `message` takes the argument of the
// same position in `kinds` ('s' a string, 'd' an int), so formatting reads
// nothing that was not passed. Fewer conversions than arguments is fine.
bool TakesArguments(const char* message, const char* kinds) {
    int next = 0;
    for (const char* p = message; *p; ++p) {
        if (*p != '%') continue;
        if (*++p == '%') continue;
        while (*p && std::strchr("-+ #0", *p)) ++p;  // flags
        while (*p >= '0' && *p <= '9') ++p;          // width
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;  // precision
        }
        char wanted = kinds[next];
        if (wanted == '\0') return false;  // a conversion with no argument left
        ++next;
        // A '*', a length modifier, '$' or an end of text all land here as
        // the wrong conversion, and so do conversions of other types.
        const bool isString = *p == 's';
        const bool isInt = *p != '\0' && std::strchr("diouxXc", *p) != nullptr;
        if (!(wanted == 's' ? isString : isInt)) return false;
    }
    return true;
}

}  // namespace

int kxu_err_msg_heading(int id, CString* heading) {
    const char* word = nullptr;
    if (id >= 10000 && id <= 14999)
        word = "WARN";
    else if (id >= 15000 && id <= 19999)
        word = "ERR";
    if (!word || !heading) return 0;
    heading->Format("%s%07d", word, id);
    return 1;
}

int kxu_load_err_msg_str(int id, CString* text, int /*unused*/) {
    if (g_errMsgLoadFailed) return 0;
    if (!g_errMsgModule) {
        g_errMsgModule = LoadMessageModule("kxErrMsg_64");
        if (!g_errMsgModule) {
            g_errMsgLoadFailed = 1;
            return 0;
        }
    }
    if (!text) return 1;
    char buffer[kErrMsgBufferSize];
    if (!kxtl::load_resource_string(g_errMsgModule, id, buffer, kErrMsgBufferSize, 0, 0, nullptr))
        return 0;
    CString heading;
    if (kxu_err_msg_heading(id, &heading))
        text->Format("%s: %s", static_cast<const char*>(heading), buffer);
    else
        *text = buffer;
    return 1;
}

int kxu_load_msg_str(int id, CString* text, const char* first, int* number, const char* second,
                     int last) {
    CString message;
    if (!kxu_load_err_msg_str(id, &message, last)) return 0;
    if (!text) return 1;
    const int atD = message.Find("%d");
    const int atS = message.Find("%s");
    const int atS2 = atS >= 0 ? message.Find("%s", atS + 2) : -1;

    if (atS2 >= 0 && atD < 0 && first && second && !number) {
        if (!TakesArguments(message, "ss")) return 0;
        text->Format(message, first, second);
        return 1;
    }
    if (atS >= 0 && atD >= 0 && first && number) {
        const bool stringFirst = atS < atD;
        if (!TakesArguments(message, stringFirst ? "sd" : "ds")) return 0;
        if (stringFirst)
            text->Format(message, first, *number);
        else
            text->Format(message, *number, first);
        return 1;
    }
    if (atD >= 0 && number && !first) {
        if (!TakesArguments(message, "d")) return 0;
        text->Format(message, *number);
        return 1;
    }
    if (atS >= 0 && first && !number) {
        if (!TakesArguments(message, "s")) return 0;
        text->Format(message, first);
        return 1;
    }
    if (atD < 0 && atS < 0) {
        *text = message;  // no placeholder: every percent sign stands as written
        return 1;
    }
    return 0;
}

int kxu_err_msgbox(int id, UINT type, const char* first, int* number, const char* second) {
    CString text;
    // What the load answers does not matter: a message that cannot be had
    // still gets its (empty) box, so the script sees the box's answer.
    if (!first && !number && !second)
        kxu_load_err_msg_str(id, &text, -1);
    else
        kxu_load_msg_str(id, &text, first, number, second, -1);
    return AfxMessageBox(text, type, 0);
}

int kxu_load_runtime_err(int id, CString* text) {
    if (!text) return 0;
    HMODULE module = LoadMessageModule("KXSmsg9_64");
    if (!module) return 0;
    char* buffer = text->GetBuffer(kRuntimeBufferSize);
    int result = kxtl::load_resource_string(module, id, buffer, kRuntimeBufferSize, 0, 0, nullptr);
    text->ReleaseBuffer();
    return result;
}
