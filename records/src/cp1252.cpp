#include "records/cp1252.hpp"

#include <array>

namespace records {

namespace {

// Bytes 0x80..0x9F, the only ones that differ from Latin-1.  The five bytes
// the code page leaves unassigned keep their C1 control code points.
constexpr std::array<char32_t, 32> high_controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void append_utf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i], advancing i; malformed bytes give
// U+FFFD, which cp1252 cannot hold.
char32_t next_code_point(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead >= 0xF8)
        return 0xFFFD;
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return cp;
}

}  // namespace

char32_t cp1252_to_unicode(unsigned char byte) noexcept
{
    if (byte >= 0x80 && byte < 0xA0)
        return high_controls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicode_to_cp1252(char32_t code_point) noexcept
{
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
        return static_cast<unsigned char>(code_point);
    for (std::size_t k = 0; k < high_controls.size(); ++k)
        if (high_controls[k] == code_point)
            return static_cast<unsigned char>(0x80 + k);
    return std::nullopt;
}

std::string cp1252_to_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        append_utf8(out, cp1252_to_unicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8_to_cp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (auto byte = unicode_to_cp1252(next_code_point(text, i)))
            out.push_back(static_cast<char>(*byte));
    }
    return out;
}

}  // namespace records
