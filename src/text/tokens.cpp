// The general token splitter: kxutilsGetTokens on the splitter of
// tokens_split.h, and the pieces of that splitter that run once per call.
#include <zuvuvur/tokens.h>

#include "text/tokens_split.h"

namespace token_split {

WorkingCopy::WorkingCopy(const char* text) {
    length_ = text != nullptr ? std::strlen(text) : 0;
    const std::size_t length = length_;
    if (length + kPadding < sizeof local_) {
        data_ = local_;
    } else {
        if (length > static_cast<std::size_t>(INT_MAX - 64)) AfxThrowMemoryException();
        data_ = large_.emplace().GetBuffer(static_cast<int>(length + kPadding));
    }
    if (length > 0) std::memcpy(data_, text, length);
    std::memset(data_ + length, 0, kPadding + 1);
}

}  // namespace token_split

int kxutilsGetTokens(const char* text, CStringArray* tokens, char separator, int* state,
                     int quoteMode, int options) {
    KeepTokens keep;
    return SplitTokens(text, tokens, separator, state, quoteMode, options, keep);
}
