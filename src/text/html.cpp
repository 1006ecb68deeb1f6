// HTML escaping and unescaping.
#include <zuvuvur/html.h>

#include <cstring>
#include <utility>

namespace {

struct Entity {
    char character[2];
    const char* text;
};

// The order is part of the result: see the header.
constexpr Entity kEntities[] = {
    {"&", "&amp;"},   {"<", "&lt;"},   {">", "&gt;"},  {"-", "&#8722;"},
    {"\"", "&quot;"}, {" ", "&nbsp;"}, {"\n", "<br>"},
};
constexpr int kEntityCount = static_cast<int>(sizeof kEntities / sizeof kEntities[0]);

}  // namespace

void kxutilsCheckEscapeHTMLCharcters(CString* target, const char* selection, int direction) {
    if (!target || !selection) return;
    auto selected = [selection](const Entity& e) {
        return std::strchr(selection, e.character[0]) != nullptr;
    };
    // Each pass works on a copy that replaces the target only at the end: a
    // pass that runs out of memory must not leave a text half escaped.
    CString work(*target);
    if (direction == 0) {
        for (int i = 0; i < kEntityCount; ++i)
            if (selected(kEntities[i])) work.Replace(kEntities[i].character, kEntities[i].text);
    } else {
        for (int i = kEntityCount - 1; i >= 0; --i)
            if (selected(kEntities[i])) work.Replace(kEntities[i].text, kEntities[i].character);
    }
    *target = std::move(work);
}

void kxu_check_escape_html_charcters(CString* target, const char* selection, int direction) {
    kxutilsCheckEscapeHTMLCharcters(target, selection, direction);
}
