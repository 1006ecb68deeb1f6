// The splitter behind kxutilsGetTokens, for the tokenizers built on it. The
// companion library finds each separator; the loop here cuts the tokens in
// place in one private copy of the text, finishes them, refines them and
// collects them (SplitInto hands them to any sink instead: the key=value
// split puts each pair straight into two arrays). It is a template over the
// refiner, a last step for each token run inside the working buffer just
// before the token is stored, so a tokenizer that rewrites its tokens neither
// walks them again in the array nor pays a call per token for it. A refiner
// has
//
//     static constexpr bool kWantsQuotes;  // whether it uses `quotes` below
//     int Refine(char*& token, int length, const std::uint64_t* quotes);
//
// `token` holds `length` bytes, and at least 32 bytes can be read from it (the
// working buffer is padded). Refine returns the refined token's length, in
// `token`: the same bytes rewritten in place (never longer), a part of them,
// or the refiner's own room, which holds it until the next call and can be
// read 32 bytes from it likewise. Tokens are taken by their length: neither
// the one handed in nor the one handed back needs a NUL. `quotes`, when not
// null: the token's quotes as the search that cut it saw them, a bit a byte
// (bit i: byte i; a token so known is shorter than 64 bytes).
#pragma once

#include <zuvuvur/afx/afx.h>
#include <zuvuvur/tokens.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#include "kxtl.h"

// kxutilsGetTokens's own refiner: every token as it is finished.
struct KeepTokens {
    static constexpr bool kWantsQuotes = false;
    int Refine(char*&, int length, const std::uint64_t*) { return length; }
};

namespace token_split {

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

// What the separator searches of one call learn about the working buffer,
// released however the call ends.
class SearchMemo {
  public:
    // The record's header is all that a first search reads; `end` spares it
    // measuring the text again.
    explicit SearchMemo(char* end) {
        memo_.groups = nullptr;
        memo_.base = nullptr;
        memo_.expect = nullptr;
        memo_.end = end;
    }
    SearchMemo(const SearchMemo&) = delete;
    SearchMemo& operator=(const SearchMemo&) = delete;
    ~SearchMemo() {
        if (memo_.groups != nullptr) kxtl::release_separator_memo(&memo_);
    }
    kxtl::SeparatorMemo* get() { return &memo_; }
    // The quotes of the token from `token` up to `end`, a bit a byte, when the
    // search that found `end` answered from the memo's list and the token lies
    // in its window (as a listed token is shorter than 64 bytes, it fits one
    // word); otherwise false.
    bool QuotesOf(const char* token, const char* end, std::uint64_t* quotes) const {
        if (memo_.expect != end + 1 || token < memo_.window) return false;
        const auto at = static_cast<unsigned>(token - memo_.window);
        const auto length = static_cast<unsigned>(end - token);
        *quotes = (memo_.quotes >> at) & ((std::uint64_t{1} << length) - 1);
        return true;
    }

  private:
    kxtl::SeparatorMemo memo_;
};

// A finished token: its text inside the working buffer (null when nothing but
// white space was left) and its length when it is known without measuring.
struct Finished {
    char* text;
    int length = -1;
};

// The rules are tested in this order. `end` is where the token's NUL stands.
inline Finished FinishToken(char* token, char* end, char separator, int quoteMode, int options) {
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
    // White-space mode: the split trims the copy first and skips every white
    // run, so a token holds no white space to trim. A quote mode that is a
    // character code strips only tokens opening with it.
    if (quoteMode != -1 && quoteMode != static_cast<signed char>(*token)) return {token, length};
    return {kxtl::strip_enclosing_pair(token, &one)};
}

// Puts the finished tokens into the caller's array, each refined first. The
// strings the array already holds are written over rather than freed and made
// again, so a caller that splits line after line into one array does not
// allocate per token; the array ends as if it had been emptied and appended to.
template <class Refiner>
class TokenSink {
  public:
    static constexpr bool kWantsQuotes = Refiner::kWantsQuotes;
    TokenSink(CStringArray* tokens, Refiner& refiner) : tokens_(tokens), refiner_(refiner) {}
    TokenSink(const TokenSink&) = delete;
    TokenSink& operator=(const TokenSink&) = delete;
    // On the way out, with or without an exception, drop what was not reused.
    ~TokenSink() {
        if (tokens_ != nullptr && count_ < tokens_->GetSize()) tokens_->SetSize(count_);
    }

    void Put(Finished token, const std::uint64_t* quotes = nullptr) {
        if (tokens_ != nullptr) {
            const char* text = token.text != nullptr ? token.text : "";
            int length = token.text == nullptr ? 0
                         : token.length >= 0   ? token.length
                                               : static_cast<int>(std::strlen(text));
            if (token.text != nullptr) {
                length = refiner_.Refine(token.text, length, quotes);
                text = token.text;
            }
            if (count_ < tokens_->GetSize()) {
                // Every token lies in the working copy, or in the refiner's
                // room, and both are padded.
                if (token.text != nullptr)
                    tokens_->GetData()[count_].SetStringPadded(text, length);
                else
                    tokens_->GetData()[count_].Empty();
            } else {
                tokens_->Add(CString(text, length));
            }
        }
        ++count_;
    }
    int Count() const { return static_cast<int>(count_); }

  private:
    CStringArray* tokens_;
    Refiner& refiner_;
    INT_PTR count_ = 0;
};

// The private copy of the text. Lines are mostly short, and a short one is
// copied to the stack rather than to a block allocated for every call. Zero
// bytes follow its NUL, so that any token in it can be read in blocks of 16
// and 32 bytes (CString::SetStringPadded, the CSV unquoting).
class WorkingCopy {
  public:
    explicit WorkingCopy(const char* text);
    WorkingCopy(const WorkingCopy&) = delete;
    WorkingCopy& operator=(const WorkingCopy&) = delete;
    char* data() { return data_; }
    // Where the copy's NUL stands (trimming in white-space mode may cut it shorter).
    char* end() { return data_ + length_; }

  private:
    static constexpr std::size_t kPadding = 32;
    std::size_t length_;
    char local_[256];
    std::optional<CString> large_;  // made only for a long text
    char* data_;
};

}  // namespace token_split

// The loop of kxutilsGetTokens over `work`, the copy of `text`, handing each
// finished token to `sink`, which has what TokenSink has: kWantsQuotes, Put
// and Count. The copy is taken before the sink is made, and so before any
// array is touched: the text may be one of the arrays' own strings, and a
// copy that cannot be made leaves them as they were.
template <class Sink>
int SplitInto(const char* text, token_split::WorkingCopy& work, Sink& sink, char separator,
              int* state, int quoteMode, int options) {
    using namespace token_split;
    const bool angle = quoteMode == QUOTE_MODE_ANGLE;
    const bool whiteSpaceMode = separator == 0;
    if (text != nullptr && *text == '\0') return 0;

    char* cur = work.data();
    if (whiteSpaceMode) cur = kxtl::skip_white_space(cur);
    AngleBracketSwitch angleBrackets(angle);

    const int sep = static_cast<signed char>(separator);
    const bool alt = (options & GT_ALT_SEARCH) != 0 && !whiteSpaceMode;
    // The extended search, with no escape byte and no further separators, answers as the plain
    // one; both go through the memo, which keeps a line of brackets that never close from being
    // read to its end once per separator.
    SearchMemo memo(whiteSpaceMode ? nullptr : work.end());
    // Finishing by trimming or unquoting reads the token up to its NUL; tokens
    // kept as found are handled by their length, and there the separator is
    // left standing: a NUL written just before the token is read sixteen bytes
    // at a time would stall that read.
    const bool cutInPlace =
        whiteSpaceMode || quoteMode == ' ' || (quoteMode == '"' && separator == ',');
    for (;;) {
        char* found = alt ? kxtl::find_separator_alt(cur, sep, 1)
                          : kxtl::find_separator_memo(cur, sep, kxtl::FS_QUOTES, state, 0, nullptr,
                                                      memo.get());
        if (found == nullptr) break;
        if (cutInPlace) *found = '\0';
        char* next = found + 1;
        if (whiteSpaceMode) next = kxtl::skip_white_space_run(next);
        std::uint64_t quotes = 0;
        const bool known = Sink::kWantsQuotes && !cutInPlace && memo.QuotesOf(cur, found, &quotes);
        sink.Put(FinishToken(cur, found, separator, quoteMode, options), known ? &quotes : nullptr);
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

// kxutilsGetTokens, with each token that finishing leaves refined by `refiner`
// (a token that finishing turns to nothing is stored empty).
template <class Refiner>
int SplitTokens(const char* text, CStringArray* tokens, char separator, int* state, int quoteMode,
                int options, Refiner& refiner) {
    token_split::WorkingCopy work(text);
    token_split::TokenSink<Refiner> sink(tokens, refiner);
    return SplitInto(text, work, sink, separator, state, quoteMode, options);
}
