// The general token splitter. The companion library finds each separator; the
// loop here cuts the tokens in place in one private copy of the text, finishes
// them and collects them.
#include <zuvuvur/tokens.h>

#include <climits>
#include <cstring>

#include "kxtl.h"
#include "text/tokens_split.h"

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

// A finished token: its text inside the working buffer (null when nothing but
// white space was left) and its length when it is known without measuring.
struct Finished {
    char* text;
    int length = -1;
};

// The rules are tested in this order. `end` is where the token's NUL stands.
Finished FinishToken(char* token, char* end, char separator, int quoteMode, int options) {
    const int length = static_cast<int>(end - token);
    int one = 1;
    if (separator != 0) {
        if (separator == '\n') {
            if (length > 0 && token[length - 1] == '\r') {
                token[length - 1] = '\0';
                return {token, length - 1};
            }
            return {token, length};
        }
        if (quoteMode == ' ') return {kxtl::skip_white_space(token)};
        if (quoteMode == '"' && separator == ',') {
            char* t = kxtl::skip_white_space(token);
            if (t == nullptr || *t != '"') return {t};
            return {kxtl::unquote_cell(t, &one, (options & GT_UNQUOTE_OPTION) != 0 ? 0x2000 : 0)};
        }
        return {token, length};
    }
    char* t = token;
    if (quoteMode == QUOTE_MODE_ANGLE || quoteMode > 0) t = kxtl::skip_white_space(t);
    // A quote mode that is a character code strips only tokens opening with it.
    if (t == nullptr || (quoteMode != -1 && quoteMode != static_cast<signed char>(*t))) return {t};
    return {kxtl::strip_enclosing_pair(t, &one)};
}

// Puts the finished tokens into the caller's array. The strings the array
// already holds are written over rather than freed and made again, so a caller
// that splits line after line into one array does not allocate per token; the
// array ends as if it had been emptied and appended to.
class TokenSink {
  public:
    TokenSink(CStringArray* tokens, TokenRefiner* refiner) : tokens_(tokens), refiner_(refiner) {}
    TokenSink(const TokenSink&) = delete;
    TokenSink& operator=(const TokenSink&) = delete;
    // On the way out, with or without an exception, drop what was not reused.
    ~TokenSink() {
        if (tokens_ != nullptr && count_ < tokens_->GetSize()) tokens_->SetSize(count_);
    }

    void Put(Finished token) {
        if (tokens_ != nullptr) {
            const char* text = token.text != nullptr ? token.text : "";
            int length = token.text == nullptr ? 0
                         : token.length >= 0   ? token.length
                                               : static_cast<int>(std::strlen(text));
            if (refiner_ != nullptr && token.text != nullptr)
                length = refiner_->Refine(token.text, length);
            if (count_ < tokens_->GetSize()) {
                tokens_->GetData()[count_].SetString(text, length);
            } else {
                tokens_->Add(CString(text, length));
            }
        }
        ++count_;
    }
    int Count() const { return static_cast<int>(count_); }

  private:
    CStringArray* tokens_;
    TokenRefiner* refiner_;
    INT_PTR count_ = 0;
};

// The private copy of the text. Lines are mostly short, and a short one is
// copied to the stack rather than to a block allocated for every call.
class WorkingCopy {
  public:
    explicit WorkingCopy(const char* text) {
        length_ = text != nullptr ? std::strlen(text) : 0;
        const std::size_t length = length_;
        if (length < sizeof local_) {
            data_ = local_;
        } else {
            if (length > static_cast<std::size_t>(INT_MAX - 64)) AfxThrowMemoryException();
            data_ = large_.GetBufferSetLength(static_cast<int>(length));
        }
        if (length > 0) std::memcpy(data_, text, length);
        data_[length] = '\0';
    }
    WorkingCopy(const WorkingCopy&) = delete;
    WorkingCopy& operator=(const WorkingCopy&) = delete;
    char* data() { return data_; }
    // Where the copy's NUL stands (trimming in white-space mode may cut it shorter).
    char* end() { return data_ + length_; }

  private:
    std::size_t length_;
    char local_[256];
    CString large_;
    char* data_;
};

}  // namespace

int SplitTokens(const char* text, CStringArray* tokens, char separator, int* state, int quoteMode,
                int options, TokenRefiner* refiner) {
    const bool angle = quoteMode == QUOTE_MODE_ANGLE;
    const bool whiteSpaceMode = separator == 0;
    // The copy is taken before the array is touched: the text may be one of
    // the array's own strings.
    WorkingCopy work(text);
    TokenSink sink(tokens, refiner);
    if (text != nullptr && *text == '\0') return 0;

    char* cur = work.data();
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
        sink.Put(FinishToken(cur, found, separator, quoteMode, options));
        cur = next;
    }
    angleBrackets.Restore();
    // Nothing before the last token wrote past it, so outside white-space mode
    // it ends where the copy does.
    if (cur != nullptr)
        sink.Put(FinishToken(cur, whiteSpaceMode ? cur + std::strlen(cur) : work.end(), separator,
                             quoteMode, options));
    return sink.Count();
}

int kxutilsGetTokens(const char* text, CStringArray* tokens, char separator, int* state,
                     int quoteMode, int options) {
    return SplitTokens(text, tokens, separator, state, quoteMode, options, nullptr);
}
