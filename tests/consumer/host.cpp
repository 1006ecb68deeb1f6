// A host of the installed library: one script array split into, one message.
#include <zuvuvur/zuvuvur.h>

#include <cstdio>

namespace {

class ScriptArray final : public CHostObject {
  public:
    void* GetContainer(unsigned int type, void*) override {
        return type == HOST_TYPE_STRING_ARRAY ? &strings : nullptr;
    }
    CStringArray strings;
};

}  // namespace

int main() {
    ScriptArray pieces;
    const int count = kxu_separate_by_str("a, b, c", &pieces, ", ");
    std::printf("%d:", count);
    for (INT_PTR i = 0; i < pieces.strings.GetSize(); ++i)
        std::printf(" [%s]", static_cast<const char*>(pieces.strings[i]));
    CString text;
    const bool loaded = kxu_load_msg_str(15001, &text, "a.txt", nullptr, nullptr, -1);
    std::printf("\n%s\n", loaded ? static_cast<const char*>(text) : "no message 15001");
}
