#include "text/AsciiText.h"

#include <algorithm>
#include <cstdio>

namespace project_text {

namespace {

class Converter {
public:
    explicit Converter(const std::string& text) : text_(text) {}

    std::string Convert(TextPosition* bare) {
        *bare = TextPosition();
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '#') {
                Comment();
            } else if (c == '"' || c == '\'') {
                const bool literal = c == '\'';
                const bool multiLine = text_.compare(at_, 3, std::string(3, c)) == 0;
                String(literal, multiLine ? std::string(3, c) : std::string(1, c));
            } else if (Beyond(c)) {
                *bare = {line_, column_};
                return out_;
            } else {
                Copy();
            }
        }
        return out_;
    }

private:
    static bool Beyond(char c) { return static_cast<unsigned char>(c) >= 0x80; }

    void Advance() {
        if (text_[at_] == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        ++at_;
    }
    void Copy() {
        out_ += text_[at_];
        Advance();
    }

    void Comment() {
        while (at_ < text_.size() && text_[at_] != '\n') {
            if (Beyond(text_[at_])) {
                out_ += '?';
                Advance();
            } else {
                Copy();
            }
        }
    }

    // A string from its opening quotes to its closing ones, written as a basic string; a one-line string
    // also ends at the line's end (the parser reports that).
    void String(bool literal, const std::string& quote) {
        if (literal && !HoldsBeyond(quote)) {  // kept as it is, so that the parser's messages stay its own
            const size_t end = End(quote);
            while (at_ < end) Copy();
            return;
        }
        const std::string basicQuote(quote.size(), '"');
        out_ += basicQuote;
        for (size_t i = 0; i < quote.size(); ++i) Advance();
        while (at_ < text_.size() && text_.compare(at_, quote.size(), quote) != 0) {
            const char c = text_[at_];
            if (quote.size() == 1 && c == '\n') {
                return;
            }
            if (Beyond(c)) {
                Escape();
            } else if (literal && (c == '\\' || c == '"')) {
                out_ += '\\';
                Copy();
            } else if (!literal && c == '\\' && at_ + 1 < text_.size()) {
                Copy();
                if (Beyond(text_[at_])) {
                    out_ += '?';  // no escape starts with it: the parser refuses the pair
                    Advance();
                } else {
                    Copy();
                }
            } else {
                Copy();
            }
        }
        if (at_ < text_.size()) {
            out_ += basicQuote;
            for (size_t i = 0; i < quote.size(); ++i) Advance();
        }
    }

    // Where the string that starts here ends: after its closing quotes, or at the line's end for an
    // unclosed one-line string, or at the text's end.
    size_t End(const std::string& quote) const {
        size_t end = text_.find(quote, at_ + quote.size());
        if (quote.size() == 1) {
            end = std::min(end, text_.find('\n', at_));
            return end == std::string::npos ? text_.size() : (text_[end] == '\n' ? end : end + 1);
        }
        return end == std::string::npos ? text_.size() : end + quote.size();
    }
    bool HoldsBeyond(const std::string& quote) const {
        const size_t end = End(quote);
        for (size_t i = at_; i < end; ++i) {
            if (Beyond(text_[i]))
                return true;
        }
        return false;
    }

    // One UTF-8 character as \uXXXX or \UXXXXXXXX; a malformed one as U+FFFD, which no model text takes.
    void Escape() {
        const unsigned char lead = static_cast<unsigned char>(text_[at_]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        unsigned long code = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = length > 1 && at_ + length <= text_.size();
        for (size_t i = 1; valid && i < length; ++i) {
            const unsigned char next = static_cast<unsigned char>(text_[at_ + i]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            code = 0xFFFD;
        }
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, code > 0xFFFF ? "\\U%08lX" : "\\u%04lX", code);
        out_ += escaped;
        Advance();
        for (size_t i = 1; valid && i < length; ++i) Advance();
    }

    const std::string& text_;
    std::string out_;
    size_t at_ = 0;
    long line_ = 1;
    long column_ = 1;
};

}  // namespace

std::string AsciiText(const std::string& text, TextPosition* bare) {
    return Converter(text).Convert(bare);
}

}  // namespace project_text
