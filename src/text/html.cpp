// HTML escaping and unescaping.
#include <zuvuvur/html.h>

#include <cstring>

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
    if (direction == 0) {
        for (int i = 0; i < kEntityCount; ++i)
            if (selected(kEntities[i])) target->Replace(kEntities[i].character, kEntities[i].text);
    } else {
        for (int i = kEntityCount - 1; i >= 0; --i)
            if (selected(kEntities[i])) target->Replace(kEntities[i].text, kEntities[i].character);
    }
}

void kxu_check_escape_html_charcters(CString* target, const char* selection, int direction) {
    kxutilsCheckEscapeHTMLCharcters(target, selection, direction);
}
