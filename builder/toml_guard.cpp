#include "builder/toml_guard.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace zsetup {
namespace {

// toml++ reads and frees nested tables and arrays by recursion, each part of
// a dotted key a table of its own: past this much nesting a manifest could
// run the builder out of stack. No manifest comes near it.
constexpr std::size_t kMostNesting = 128;
// No manifest value is nearly this long; a longer text is refused before
// toml++ copies it.
constexpr std::size_t kMostQuotedBytes = std::size_t{64} * 1024;

struct CodePoint {
    char32_t value = 0;
    std::size_t length = 0;  // 0: not valid UTF-8 here
};

CodePoint Decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return {};
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {};
        value = value << 6 | (byte(at + i) & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kShortest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
    return {value, length};
}

// Where toml++ 3.3.0's whitespace test falls through to "unreachable".
bool Unclassifiable(char32_t c) {
    return (c >= 0xA1 && c <= 0x499) || (c >= 0x2C5E && c <= 0x3057 && c != 0x3000) || (c >= 0xFB26 && c <= 0xFEFE);
}

// The non-ASCII characters toml++ takes for blanks.
bool TomlBlank(char32_t c) {
    return c == 0xA0 || c == 0x1680 || c == 0x180E || (c >= 0x2000 && c <= 0x200B) || c == 0x202F ||
           (c >= 0x205F && c <= 0x2060) || c == 0x3000 || c == 0xFEFF;
}

bool KeyStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '"' || c == '\'';
}

// "é" (U+00E9); a control character as its number alone.
std::string Shown(std::string_view text, std::size_t at, CodePoint c) {
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c.value));
    if (c.value < 0x20 || c.value == 0x7F || (c.value >= 0x80 && c.value < 0xA0)) return number;
    return "\"" + std::string(text.substr(at, c.length)) + "\" (" + number + ")";
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<TomlTrap> Run() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;  // toml++ skips a byte order mark
        while (at_ < text_.size() && !trap_ && !stopped_) {
            switch (state_) {
            case State::kBare: Bare(); break;
            case State::kComment: Comment(); break;
            case State::kBasic: SingleLine('"'); break;
            case State::kLiteral: SingleLine('\''); break;
            case State::kMultiBasic: MultiLine('"'); break;
            case State::kMultiLiteral: MultiLine('\''); break;
            }
            if (state_ != State::kBare && state_ != State::kComment && at_ - quoted_from_ > kMostQuotedBytes && !trap_)
                trap_ = TomlTrap{quoted_line_, "a text in quotes of more than " + std::to_string(kMostQuotedBytes) +
                                                   " bytes; no manifest value is that long"};
        }
        return trap_;
    }

private:
    enum class State { kBare, kComment, kBasic, kLiteral, kMultiBasic, kMultiLiteral };

    char Peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }

    void Trap(const std::string& message) { trap_ = TomlTrap{line_, message}; }

    void NewLine() {
        ++line_;
        ++at_;
    }

    // Outside strings and comments: keys, values, brackets, blanks.
    void Bare() {
        const char c = Peek();
        if (c == '\n') {
            NewLine();
            line_start_ = true;
            in_header_ = false;
            if (open_.empty()) {
                expect_value_ = false;
                key_parts_ = 1;
            }
            return;
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at_;
            return;
        }
        const bool was_line_start = line_start_;
        line_start_ = false;
        if (static_cast<unsigned char>(c) >= 0x80) return NonAscii(at_);
        if (c == '#') {
            state_ = State::kComment;
            ++at_;
            return;
        }
        const bool value = expect_value_;
        expect_value_ = false;
        if (c == '"' || c == '\'') return OpenString(c);
        if (c == '[' && was_line_start && open_.empty()) return Header();
        if (in_header_) {
            if (c == '.') Nest(++header_parts_);
            ++at_;
            return;
        }
        if (value && (IsDigit(c) || c == '+' || c == '-' || c == '.')) return NumberLike();
        if (value && c == '}' && !open_.empty() && open_.back() == '[') {
            Trap("an array needs a value or ']' here, not '}'");
            return;
        }
        if (c == '[' || c == '{') {
            const std::size_t depth = value ? value_depth_ : Base() + 1;
            open_.push_back(c);
            depth_.push_back(depth);
            Nest(depth);
            expect_value_ = c == '[';
            value_depth_ = depth + 1;  // an array's elements
            key_parts_ = 1;            // an inline table's first key
        } else if ((c == ']' || c == '}') && !open_.empty()) {
            open_.pop_back();
            depth_.pop_back();
        } else if (c == '=') {
            value_depth_ = Base() + key_parts_;
            key_parts_ = 1;
            expect_value_ = true;
        } else if (c == ',' && !open_.empty()) {
            expect_value_ = open_.back() == '[';
            value_depth_ = depth_.back() + 1;
            key_parts_ = 1;
        } else if (c == '.') {
            Nest(Base() + ++key_parts_);  // a dotted key's next part
        }
        ++at_;
    }

    // How deep the current table lies: its header's parts at the top level,
    // else the inline table or array the text is in.
    std::size_t Base() const { return open_.empty() ? header_parts_ : depth_.back(); }

    void Nest(std::size_t depth) {
        if (depth > kMostNesting && !trap_)
            Trap("tables nest more than " + std::to_string(kMostNesting) +
                 " deep here (the parts of dotted keys and [table] headers, inline tables and arrays together)");
    }

    void NonAscii(std::size_t at) {
        const CodePoint cp = Decode(text_, at);
        if (cp.length == 0) stopped_ = true;
        else Trap(Shown(text_, at, cp) + " stands outside quotes, where TOML allows only ASCII");
    }

    // A number, date or time: toml++ reads on to the next blank, bracket,
    // comma or comment, quotes included, and past one blank after a date.
    void NumberLike() {
        for (;;) {
            std::size_t counted = 0;  // toml++ does not count underscores
            std::string first;
            while (at_ < text_.size() && !EndsValue(Peek())) {
                const char c = Peek();
                if (static_cast<unsigned char>(c) >= 0x80) return NonAscii(at_);
                if (c != '_' && first.size() < 10) first += c;
                if (c != '_') ++counted;
                ++at_;
            }
            if (counted != 10 || first[4] != '-' || first[7] != '-' || Peek() != ' ') return;
            // "1979-05-27 07:32:00": a digit after the blank starts a time, read on with the date.
            if (IsDigit(Peek(1)) && at_ + 2 < text_.size() && EndsValue(Peek(2))) {
                Trap("a time after a date needs hours, minutes and seconds (hh:mm:ss), not one digit");
                return;
            }
            ++at_;
        }
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    // ASCII value terminators as toml++ has them: blanks, line breaks (LF to CR), ] } , #.
    static bool EndsValue(char c) {
        return c == ' ' || c == '\t' || (c >= '\n' && c <= '\r') || c == ']' || c == '}' || c == ',' || c == '#';
    }

    void OpenString(char quote) {
        const bool multi = Peek(1) == quote && Peek(2) == quote;
        at_ += multi ? 3 : 1;
        quoted_from_ = at_;
        quoted_line_ = line_;
        if (quote == '"') state_ = multi ? State::kMultiBasic : State::kBasic;
        else state_ = multi ? State::kMultiLiteral : State::kLiteral;
        skipping_ = false;
    }

    // "[" or "[[" at the start of a line, blanks, then a key or "]".
    void Header() {
        in_header_ = true;
        header_parts_ = 1;
        std::size_t p = at_ + 1;
        const auto skip_blanks = [&] {
            const std::size_t from = p;
            while (p < text_.size() && (text_[p] == ' ' || text_[p] == '\t')) ++p;
            return p != from;
        };
        const bool blanks = skip_blanks();
        if (p < text_.size() && text_[p] == '[' && !blanks) {
            ++header_parts_;  // an array of tables holds the table
            ++p;
            skip_blanks();
        } else if (p < text_.size() && text_[p] == '[') {
            ++at_;
            return;  // "[ [": toml++ refuses the gap itself
        }
        if (p < text_.size() && !KeyStart(text_[p]) && text_[p] != ']') {
            const CodePoint cp = Decode(text_, p);
            if (cp.length == 0) stopped_ = true;
            else if (text_[p] == '\n' || text_[p] == '\r') Trap("a [table] header needs a name before the line ends");
            else Trap("a [table] header needs a name, not " + Shown(text_, p, cp));
            return;
        }
        ++at_;
    }

    void Comment() {
        if (Peek() == '\n') {
            state_ = State::kBare;
            return;  // Bare counts the line
        }
        ++at_;
    }

    // A single-line string; toml++ stops at a line break inside one.
    void SingleLine(char quote) {
        const char c = Peek();
        if (c == '\n') stopped_ = true;
        else if (c == quote) state_ = State::kBare;
        else if (c == '\\' && quote == '"') ++at_;  // the escaped character is content
        ++at_;
    }

    void MultiLine(char quote) {
        const char c = Peek();
        if (c == quote) return Quotes(quote);
        if (c == '\\' && quote == '"') return Escape();
        if (c == '\n') return NewLine();
        if (c == ' ' || c == '\t' || c == '\r') {
            ++at_;
            return;
        }
        if (static_cast<unsigned char>(c) >= 0x80 && skipping_) {
            const CodePoint cp = Decode(text_, at_);
            if (cp.length == 0) {
                stopped_ = true;
                return;
            }
            if (Unclassifiable(cp.value)) {
                Trap(Shown(text_, at_, cp) +
                     " cannot start a line continued by a backslash; put it before the backslash");
                return;
            }
            skipping_ = TomlBlank(cp.value);
            at_ += cp.length;
            return;
        }
        skipping_ = false;
        ++at_;
    }

    // Up to five quotes in a row: three close the string, the others are content.
    void Quotes(char quote) {
        std::size_t run = 0;
        while (Peek(run) == quote) ++run;
        skipping_ = false;
        if (run < 3) {
            at_ += run;
            return;
        }
        at_ += run < 5 ? run : 5;
        state_ = State::kBare;
    }

    // A backslash in a """ string: an escape, or blanks and a line break
    // after which toml++ skips the blanks that start the next lines.
    void Escape() {
        skipping_ = false;
        std::size_t p = at_ + 1;
        if (p >= text_.size()) {
            at_ = p;
            return;
        }
        const auto next = static_cast<unsigned char>(text_[p]);
        if (next >= 0x80) {
            const CodePoint cp = Decode(text_, p);
            if (cp.length == 0) stopped_ = true;
            else Trap("a backslash followed by " + Shown(text_, p, cp) + " is not an escape");
            return;
        }
        if (next != ' ' && next != '\t' && next != '\r' && next != '\n') {
            at_ = p + 1;  // an ASCII escape; \u and \U digits are ASCII content
            return;
        }
        while (p < text_.size() && (text_[p] == ' ' || text_[p] == '\t')) ++p;
        if (p < text_.size() && static_cast<unsigned char>(text_[p]) >= 0x80) {
            const CodePoint cp = Decode(text_, p);
            if (cp.length == 0) stopped_ = true;
            else Trap("a backslash followed by blanks must end its line, not go on with " + Shown(text_, p, cp));
            return;
        }
        skipping_ = true;
        at_ = p;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    State state_ = State::kBare;
    bool line_start_ = true;          // nothing but blanks yet on this line, outside strings
    bool in_header_ = false;          // brackets on a header line are the header's
    std::string open_;                // the [ and { of values still open
    std::vector<std::size_t> depth_;  // how deep each of them lies
    std::size_t header_parts_ = 0;    // of the last [table] header, how deep its keys lie
    std::size_t key_parts_ = 1;       // of the key being read
    std::size_t value_depth_ = 0;     // how deep the next value lies
    std::size_t quoted_from_ = 0;     // where the text in quotes being read starts
    int quoted_line_ = 0;
    bool expect_value_ = false;
    bool skipping_ = false;  // after a line-ending backslash
    bool stopped_ = false;   // toml++ refuses what follows on its own
    std::optional<TomlTrap> trap_;
};

}  // namespace

std::optional<TomlTrap> FindTomlTrap(std::string_view text) { return Scanner(text).Run(); }

}  // namespace zsetup
