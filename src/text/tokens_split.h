// The splitter behind kxutilsGetTokens, for the tokenizers built on it.
#pragma once

#include <zuvuvur/afx/afx.h>

// A last step for each token, run on it inside the splitter's working buffer
// just before it is stored, so a tokenizer that rewrites its tokens does not
// walk them a second time in the array.
class TokenRefiner {
  public:
    // `token` holds `length` bytes and its NUL. Rewrites them in place, never
    // longer, and returns the new length.
    virtual int Refine(char* token, int length) = 0;

  protected:
    ~TokenRefiner() = default;
};

// kxutilsGetTokens, with `refiner` (may be null) applied to every token that
// finishing leaves (a token that finishing turns to nothing is stored empty).
int SplitTokens(const char* text, CStringArray* tokens, char separator, int* state, int quoteMode,
                int options, TokenRefiner* refiner);
