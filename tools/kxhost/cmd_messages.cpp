// msg, heading, runtime and msgbox: numbered messages from the message
// modules beside this host.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>

#include "commands.h"

namespace {

struct Name {
    const char* name;
    unsigned value;
};

constexpr Name kTypeNames[] = {
    {"MB_OK", MB_OK},
    {"MB_OKCANCEL", MB_OKCANCEL},
    {"MB_ABORTRETRYIGNORE", MB_ABORTRETRYIGNORE},
    {"MB_YESNOCANCEL", MB_YESNOCANCEL},
    {"MB_YESNO", MB_YESNO},
    {"MB_RETRYCANCEL", MB_RETRYCANCEL},
    {"MB_CANCELTRYCONTINUE", MB_CANCELTRYCONTINUE},
    {"MB_ICONERROR", MB_ICONERROR},
    {"MB_ICONSTOP", MB_ICONSTOP},
    {"MB_ICONQUESTION", MB_ICONQUESTION},
    {"MB_ICONWARNING", MB_ICONWARNING},
    {"MB_ICONEXCLAMATION", MB_ICONEXCLAMATION},
    {"MB_ICONINFORMATION", MB_ICONINFORMATION},
    {"MB_DEFBUTTON1", MB_DEFBUTTON1},
    {"MB_DEFBUTTON2", MB_DEFBUTTON2},
    {"MB_DEFBUTTON3", MB_DEFBUTTON3},
    {"MB_DEFBUTTON4", MB_DEFBUTTON4},
    {"MB_HELP", MB_HELP},
};

constexpr Name kButtonNames[] = {
    {"OK", IDOK},       {"CANCEL", IDCANCEL},     {"ABORT", IDABORT},
    {"RETRY", IDRETRY}, {"IGNORE", IDIGNORE},     {"YES", IDYES},
    {"NO", IDNO},       {"TRYAGAIN", IDTRYAGAIN}, {"CONTINUE", IDCONTINUE},
};

// The buttons of each set, left to right.
constexpr int kButtonSets[][3] = {
    {IDOK, 0, 0},
    {IDOK, IDCANCEL, 0},
    {IDABORT, IDRETRY, IDIGNORE},
    {IDYES, IDNO, IDCANCEL},
    {IDYES, IDNO, 0},
    {IDRETRY, IDCANCEL, 0},
    {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
};

const char* ButtonName(int id) {
    for (const Name& n : kButtonNames)
        if (static_cast<int>(n.value) == id) return n.name;
    return "?";
}

// "MB_YESNO|MB_ICONQUESTION", "0x24" or "36".
UINT ParseType(const std::string& text) {
    UINT type = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        std::string part = text.substr(start, bar == std::string::npos ? bar : bar - start);
        bool known = false;
        for (const Name& n : kTypeNames) {
            if (part == n.name) {
                type |= n.value;
                known = true;
            }
        }
        if (!known) {
            char* end = nullptr;
            unsigned long value = std::strtoul(part.c_str(), &end, 0);
            if (part.empty() || *end != '\0')
                throw CLI::ValidationError("--type", "unknown message-box flag '" + part + "'");
            type |= static_cast<UINT>(value);
        }
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return type;
}

// The button the user of this host presses; 0: the box's default button.
int g_press = 0;

// This host's message box: the text, the buttons with the chosen one in
// brackets, and the answer, all on standard output.
int ShowBoxInTerminal(const char* text, UINT type, UINT /*helpId*/) {
    UINT set = type & MB_TYPEMASK;
    if (set >= std::size(kButtonSets)) return 0;
    int answer = g_press ? g_press : AfxMessageBoxDefaultResult(type);
    std::cout << text << '\n';
    for (int button : kButtonSets[set]) {
        if (!button) break;
        if (button == answer)
            std::cout << " [" << ButtonName(button) << ']';
        else
            std::cout << "  " << ButtonName(button) << ' ';
    }
    std::cout << '\n';
    return answer;
}

// The optional arguments of a message, as the scripts pass them: null when
// not given on the command line.
struct Arguments {
    std::string first, second;
    int number = 0;
    CLI::Option* firstOpt = nullptr;
    CLI::Option* numberOpt = nullptr;
    CLI::Option* secondOpt = nullptr;

    void AddTo(CLI::App* cmd) {
        firstOpt = cmd->add_option("--str", first, "first string argument");
        numberOpt = cmd->add_option("--int", number, "integer argument");
        secondOpt = cmd->add_option("--str2", second, "second string argument");
    }
    const char* First() const { return firstOpt->count() ? first.c_str() : nullptr; }
    int* Number() { return numberOpt->count() ? &number : nullptr; }
    const char* Second() const { return secondOpt->count() ? second.c_str() : nullptr; }
};

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "kxhost: " << message << '\n';
    throw CLI::RuntimeError(1);
}

}  // namespace

void AddMessageCommands(CLI::App& app, const Library& lib) {
    struct Msg {
        int id = 0;
        Arguments args;
    };
    auto msg = std::make_shared<Msg>();
    CLI::App* m =
        app.add_subcommand("msg", "Load a message, headed and with its placeholders filled");
    m->add_option("id", msg->id, "message id")->required();
    msg->args.AddTo(m);
    m->callback([msg, &lib] {
        CString text;
        if (!KX_EXPORT_FN(lib, kxu_load_msg_str)(msg->id, &text, msg->args.First(),
                                                 msg->args.Number(), msg->args.Second(), -1))
            Fail("message " + std::to_string(msg->id) +
                 " cannot be loaded or filled with these arguments");
        std::cout << static_cast<const char*>(text) << '\n';
    });

    auto headingId = std::make_shared<int>(0);
    CLI::App* h = app.add_subcommand("heading", "The heading of a warning or error id");
    h->add_option("id", *headingId, "message id")->required();
    h->callback([headingId, &lib] {
        CString heading;
        if (!KX_EXPORT_FN(lib, kxu_err_msg_heading)(*headingId, &heading))
            Fail(std::to_string(*headingId) + " is neither a warning nor an error id");
        std::cout << static_cast<const char*>(heading) << '\n';
    });

    auto runtimeId = std::make_shared<int>(0);
    CLI::App* r = app.add_subcommand("runtime", "Load a runtime text of the script engine");
    r->add_option("id", *runtimeId, "runtime message id")->required();
    r->callback([runtimeId, &lib] {
        CString text;
        if (!KX_EXPORT_FN(lib, kxu_load_runtime_err)(*runtimeId, &text))
            Fail("runtime message " + std::to_string(*runtimeId) + " cannot be loaded");
        std::cout << static_cast<const char*>(text) << '\n';
    });

    struct Box {
        int id = 0;
        std::string type = "MB_OK";
        std::string press;
        Arguments args;
    };
    auto box = std::make_shared<Box>();
    CLI::App* b =
        app.add_subcommand("msgbox", "Show a message in a message box and print the answer");
    b->add_option("id", box->id, "message id")->required();
    b->add_option("--type", box->type, "flags, e.g. MB_YESNO|MB_ICONQUESTION or 0x24")
        ->capture_default_str();
    b->add_option("--press", box->press, "the button to answer with (default: the default button)");
    box->args.AddTo(b);
    b->callback([box, &lib] {
        UINT type = ParseType(box->type);
        g_press = 0;
        for (const Name& n : kButtonNames)
            if (box->press == n.name) g_press = static_cast<int>(n.value);
        if (!box->press.empty() && !g_press)
            throw CLI::ValidationError("--press", "unknown button '" + box->press + "'");
        if (g_press && (type & MB_TYPEMASK) < std::size(kButtonSets) &&
            std::find(std::begin(kButtonSets[type & MB_TYPEMASK]),
                      std::end(kButtonSets[type & MB_TYPEMASK]),
                      g_press) == std::end(kButtonSets[type & MB_TYPEMASK]))
            throw CLI::ValidationError("--press", "the box has no button " + box->press);
        AFX_MSGBOX_HANDLER previous = AfxSetMessageBoxHandler(&ShowBoxInTerminal);
        int answer = KX_EXPORT_FN(lib, kxu_err_msgbox)(box->id, type, box->args.First(),
                                                       box->args.Number(), box->args.Second());
        AfxSetMessageBoxHandler(previous);
        if (answer == 0) Fail("the message box cannot be shown with these flags");
        std::cout << "answer: ID" << ButtonName(answer) << " (" << answer << ")\n";
    });
}
