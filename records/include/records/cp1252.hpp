#pragma once
// The program's texts are single bytes of the Windows-1252 code page; the
// windowing toolkit and the terminal speak Unicode.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace records {

// The Unicode code point of a cp1252 byte (the five unassigned bytes map to
// themselves, as C1 controls).
char32_t cp1252_to_unicode(unsigned char byte) noexcept;
// The cp1252 byte of a code point, std::nullopt when cp1252 cannot hold it.
std::optional<unsigned char> unicode_to_cp1252(char32_t code_point) noexcept;

std::string cp1252_to_utf8(std::string_view text);
// Decodes UTF-8 and keeps what cp1252 can hold; other characters are dropped.
std::string utf8_to_cp1252(std::string_view text);

}  // namespace records
