#include "records/cp1252.hpp"

#include <gtest/gtest.h>

namespace {

TEST(cp1252, accented_letters_and_the_high_block_round_trip)
{
    struct pair {
        unsigned char byte;
        char32_t code_point;
    };
    for (const pair p : {pair{'A', U'A'}, pair{0xE9, U'\u00E9'}, pair{0xE7, U'\u00E7'},
                         pair{0x80, U'\u20AC'}, pair{0x9F, U'\u0178'}, pair{0x81, U'\u0081'}}) {
        EXPECT_EQ(records::cp1252_to_unicode(p.byte), p.code_point);
        EXPECT_EQ(records::unicode_to_cp1252(p.code_point), p.byte);
    }
    EXPECT_FALSE(records::unicode_to_cp1252(U'\u0100').has_value());
    EXPECT_FALSE(records::unicode_to_cp1252(U'\u20AD').has_value());
    EXPECT_FALSE(records::unicode_to_cp1252(U'\u0080').has_value());
}

TEST(cp1252, converts_texts_to_and_from_utf8)
{
    EXPECT_EQ(records::cp1252_to_utf8("O teste TAU \xE9 usado, endere\xE7o"),
              "O teste TAU \u00E9 usado, endere\u00E7o");
    EXPECT_EQ(records::utf8_to_cp1252("caf\u00E9 \u20AC"), "caf\xE9 \x80");
    // Characters cp1252 cannot hold, and broken UTF-8, are dropped.
    EXPECT_EQ(records::utf8_to_cp1252("a\u4E2Db\xFF" "c\xC3"), "abc");
}

}  // namespace
