#pragma once
// One parser for the format descriptions of the write statements.  It walks
// the description once and calls a handler for each item, so the record
// writer and the validator share one reading of the format language.
//
// A handler provides (each returns false to stop the statement early):
//   bool on_literal(std::string_view text);     'text' ('' inside is one ')
//   bool on_skip(int count);                    nX
//   bool on_record_end();                       /
//   bool on_real_field(int width, int decimals);  Fw.d
//   bool on_integer_field(int width);           Iw
//   bool on_text_field(int width);              A (width 0) or Aw
//   bool on_keep_line();                        the backslash

#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

namespace records::format {

// A description that does not follow the grammar; the program's own formats
// are fixed, so this is a programming error and never a user's.
class format_error : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

template <typename Handler>
class parser {
public:
    parser(std::string_view format, Handler& handler) : text_(format), handler_(handler) {}

    // format := blanks "(" item_list ")" blanks
    // Returns false when the handler stopped the statement.
    bool parse()
    {
        skip_blanks();
        expect('(');
        const std::size_t body = pos_;
        const std::size_t close = find_closing(body);
        const bool completed = parse_items(body, close);
        pos_ = close + 1;
        skip_blanks();
        if (pos_ != text_.size())
            fail("text after the closing parenthesis");
        return completed;
    }

private:
    std::string_view text_;
    Handler& handler_;
    std::size_t pos_ = 0;

    [[noreturn]] void fail(const char* what) const
    {
        throw format_error(std::string(what) + " at position " + std::to_string(pos_ + 1) +
                           " of " + std::string(text_));
    }

    void skip_blanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }

    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void expect(char c)
    {
        if (peek() != c)
            fail("unexpected character");
        ++pos_;
    }

    // The index of the ")" that closes the group whose body starts at from,
    // stepping over literals, whose apostrophes hide parentheses.
    std::size_t find_closing(std::size_t from) const
    {
        int depth = 0;
        for (std::size_t i = from; i < text_.size(); ++i) {
            const char c = text_[i];
            if (c == '\'') {
                i = text_.find('\'', i + 1);
                while (i != std::string_view::npos && i + 1 < text_.size() && text_[i + 1] == '\'')
                    i = text_.find('\'', i + 2);
                if (i == std::string_view::npos)
                    break;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (depth == 0)
                    return i;
                --depth;
            }
        }
        throw format_error("unbalanced parentheses in " + std::string(text_));
    }

    // item_list := item { [","] item }   (the comma may be left out around / and \)
    bool parse_items(std::size_t begin, std::size_t end)
    {
        pos_ = begin;
        skip_blanks();
        while (pos_ < end) {
            if (!parse_item())
                return false;
            skip_blanks();
            if (pos_ < end && peek() == ',') {
                ++pos_;
                skip_blanks();
            }
        }
        return true;
    }

    // count := digit { digit }
    int parse_count()
    {
        int value = 0;
        bool any = false;
        while (std::isdigit(static_cast<unsigned char>(peek()))) {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > 32767)
                fail("count too large");
            any = true;
        }
        return any ? value : -1;
    }

    // item := literal | [count] "X" | count "(" item_list ")" | "/" | "\"
    //       | "F" w "." d | "I" w | "A" [w]
    bool parse_item()
    {
        const int count = parse_count();
        skip_blanks();
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
        if (count >= 0 && c != 'X' && c != '(')
            fail("a count must precede X or a group");
        switch (c) {
        case '\'':
            return parse_literal();
        case 'X':
            ++pos_;
            return handler_.on_skip(count < 0 ? 1 : count);
        case '(':
            return parse_group(count < 0 ? 1 : count);
        case '/':
            ++pos_;
            return handler_.on_record_end();
        case '\\':
            ++pos_;
            return handler_.on_keep_line();
        case 'F':
            return parse_real_field();
        case 'I':
            ++pos_;
            return handler_.on_integer_field(required_width());
        case 'A': {
            ++pos_;
            const int width = parse_count();
            if (width == 0)
                fail("A0 is not a field");
            return handler_.on_text_field(width < 0 ? 0 : width);
        }
        default:
            fail("unknown item");
        }
    }

    int required_width()
    {
        const int width = parse_count();
        if (width <= 0)
            fail("a field needs a width of at least 1");
        return width;
    }

    // literal := "'" { character | "''" } "'"
    bool parse_literal()
    {
        ++pos_;
        std::string literal;
        while (true) {
            if (pos_ >= text_.size())
                fail("unterminated literal");
            const char c = text_[pos_++];
            if (c != '\'') {
                literal.push_back(c);
            } else if (peek() == '\'') {
                literal.push_back('\'');
                ++pos_;
            } else {
                break;
            }
        }
        return handler_.on_literal(literal);
    }

    // group := count "(" item_list ")", its items processed count times
    bool parse_group(int repeat)
    {
        ++pos_;
        const std::size_t body = pos_;
        const std::size_t close = find_closing(body);
        for (int k = 0; k < repeat; ++k)
            if (!parse_items(body, close))
                return false;
        pos_ = close + 1;
        return true;
    }

    // real_field := "F" w "." d
    bool parse_real_field()
    {
        ++pos_;
        const int width = required_width();
        expect('.');
        const int decimals = parse_count();
        if (decimals < 0)
            fail("Fw.d needs its decimals");
        return handler_.on_real_field(width, decimals);
    }
};

template <typename Handler>
bool parse_format(std::string_view format, Handler& handler)
{
    return parser<Handler>(format, handler).parse();
}

}  // namespace records::format
