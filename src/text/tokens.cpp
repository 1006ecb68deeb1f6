// The general token splitter. The companion library finds each separator; the
// loop here cuts the tokens in place in one private copy of the text, finishes
// them and collects them.
#include <zuvuvur/tokens.h>

#include <cstring>

#include "kxtl.h"

namespace {

// Keeps the angle-bracket switch on for the searches of one call. The switch
// is process-wide, so it goes back to its earlier setting even when appending
// a token throws.
class AngleBracketSwitch {
  public:
    explicit AngleBracketSwitch(bool turnOn)
        : active_(turnOn), previous_(turnOn ? kxtl::set_parenth_use_angle_brackets(1) : 0) {}
    AngleBracketSwitch(const AngleBracketSwitch&) = delete;
    AngleBracketSwitch& operator=(const AngleBracketSwitch&) = delete;
    ~AngleBracketSwitch() { Restore(); }

    void Restore() {
        if (active_) kxtl::set_parenth_use_angle_brackets(previous_);
        active_ = false;
    }

  private:
    bool active_;
    int previous_;
};

// The rules are tested in this order; each may return a pointer further into
// the token, or null when nothing but white space is left.
char* FinishToken(char* token, char separator, int quoteMode, int options) {
    int one = 1;
    if (separator != 0) {
        if (separator == '\n') {
            const std::size_t length = std::strlen(token);
            if (length > 0 && token[length - 1] == '\r') token[length - 1] = '\0';
            return token;
        }
        if (quoteMode == ' ') return kxtl::skip_white_space(token);
        if (quoteMode == '"' && separator == ',') {
            char* t = kxtl::skip_white_space(token);
            if (t == nullptr || *t != '"') return t;
            return kxtl::unquote_cell(t, &one, (options & GT_UNQUOTE_OPTION) != 0 ? 0x2000 : 0);
        }
        return token;
    }
    char* t = token;
    if (quoteMode == QUOTE_MODE_ANGLE || quoteMode > 0) t = kxtl::skip_white_space(t);
    // A quote mode that is a character code strips only tokens opening with it.
    if (t == nullptr || (quoteMode != -1 && quoteMode != static_cast<signed char>(*t))) return t;
    return kxtl::strip_enclosing_pair(t, &one);
}

// Puts the finished tokens into the caller's array. The strings the array
// already holds are written over rather than freed and made again, so a caller
// that splits line after line into one array does not allocate per token; the
// array ends as if it had been emptied and appended to.
class TokenSink {
  public:
    explicit TokenSink(CStringArray* tokens) : tokens_(tokens) {}
    TokenSink(const TokenSink&) = delete;
    TokenSink& operator=(const TokenSink&) = delete;
    // On the way out, with or without an exception, drop what was not reused.
    ~TokenSink() {
        if (tokens_ != nullptr && count_ < tokens_->GetSize()) tokens_->SetSize(count_);
    }

    void Put(const char* token) {
        if (tokens_ != nullptr) {
            if (count_ < tokens_->GetSize())
                tokens_->ElementAt(count_) = token != nullptr ? token : "";
            else
                tokens_->Add(token);
        }
        ++count_;
    }
    int Count() const { return static_cast<int>(count_); }

  private:
    CStringArray* tokens_;
    INT_PTR count_ = 0;
};

}  // namespace

int kxutilsGetTokens(const char* text, CStringArray* tokens, char separator, int* state,
                     int quoteMode, int options) {
    const bool angle = quoteMode == QUOTE_MODE_ANGLE;
    const bool whiteSpaceMode = separator == 0;
    // The copy is taken before the array is touched: the text may be one of
    // the array's own strings.
    CString work(text);
    TokenSink sink(tokens);
    if (text != nullptr && *text == '\0') return 0;

    char* cur = work.GetBuffer();
    if (whiteSpaceMode) cur = kxtl::skip_white_space(cur);
    AngleBracketSwitch angleBrackets(angle);

    const int sep = static_cast<signed char>(separator);
    const bool alt = (options & GT_ALT_SEARCH) != 0 && !whiteSpaceMode;
    const bool ex = !alt && (options & GT_EX_SEARCH) != 0;
    for (;;) {
        char* found = alt  ? kxtl::find_separator_alt(cur, sep, 1)
                      : ex ? kxtl::find_separator_ex(cur, sep, kxtl::FS_QUOTES, state, 0, nullptr)
                           : kxtl::find_separator(cur, sep, kxtl::FS_QUOTES, state);
        if (found == nullptr) break;
        *found = '\0';
        char* next = found + 1;
        if (whiteSpaceMode) next = kxtl::skip_white_space_run(next);
        sink.Put(FinishToken(cur, separator, quoteMode, options));
        cur = next;
    }
    angleBrackets.Restore();
    if (cur != nullptr) sink.Put(FinishToken(cur, separator, quoteMode, options));
    return sink.Count();
}
