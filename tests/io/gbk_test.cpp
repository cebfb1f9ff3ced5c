#include "io/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnvel::io {
namespace {

struct EncodingCase {
    const char* name;
    std::string utf8;
    std::string gbk;
};

class EncodesToCodePage936 : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodesToCodePage936, gives_the_exact_bytes) {
    EXPECT_EQ(Utf8ToGbk(GetParam().utf8), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EncodesToCodePage936,
    ::testing::Values(
        EncodingCase{"ascii_passes_through", "16770.5 -2.5\r\n", "16770.5 -2.5\r\n"},
        EncodingCase{"label_k0", "变坡点桩号K", "\xB1\xE4\xC6\xC2\xB5\xE3\xD7\xAE\xBA\xC5\x4B"},
        EncodingCase{"label_h0", "变坡点高程H", "\xB1\xE4\xC6\xC2\xB5\xE3\xB8\xDF\xB3\xCC\x48"},
        EncodingCase{"label_i1", "第一纵坡I1%", "\xB5\xDA\xD2\xBB\xD7\xDD\xC6\xC2\x49\x31\x25"},
        EncodingCase{"label_i2", "第二纵坡I2%", "\xB5\xDA\xB6\xFE\xD7\xDD\xC6\xC2\x49\x32\x25"},
        EncodingCase{"label_r", "竖曲线半径R", "\xCA\xFA\xC7\xFA\xCF\xDF\xB0\xEB\xBE\xB6\x52"},
        EncodingCase{"full_width_colon", "计算：", "\xBC\xC6\xCB\xE3\xA3\xBA"},
        EncodingCase{"euro_sign_of_code_page_936", "€", "\x80"},
        EncodingCase{"emoji_becomes_one_question_mark", "1😀2", "1?2"},
        EncodingCase{"hangul_becomes_question_mark", "한R", "?R"},
        EncodingCase{"superscript_two_becomes_question_mark", "m²", "m?"},
        EncodingCase{"stray_continuation_byte", "a\x80" "b", "a?b"},
        EncodingCase{"truncated_sequence_keeps_following_ascii", "\xE5\x8F" "5", "?5"},
        EncodingCase{"encoded_surrogate_is_not_a_character", "\xED\xA0\x80", "???"},
        EncodingCase{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodingCase {
    const char* name;
    std::string gbk;
    std::string utf8;
};

class DecodesFromCodePage936 : public ::testing::TestWithParam<DecodingCase> {};

TEST_P(DecodesFromCodePage936, gives_the_text) {
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodesFromCodePage936,
    ::testing::Values(
        DecodingCase{"label", "\xCA\xFA\xC7\xFA\xCF\xDF\xB0\xEB\xBE\xB6\x52", "竖曲线半径R"},
        DecodingCase{"byte_ff_is_replaced", "1\xFF" "2", "1\xEF\xBF\xBD" "2"},
        DecodingCase{"lead_byte_before_digit_keeps_the_digit", "\x81" "5", "\xEF\xBF\xBD" "5"},
        DecodingCase{"lone_lead_byte_at_end", "7\xB1", "7\xEF\xBF\xBD"},
        DecodingCase{"lf_is_ordinary", "1\n2", "1\n2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodePage936, every_label_round_trips) {
    for (const char* text : {"变坡点桩号K", "里程K   高程H", "   高程计算成果表", "计算：Morlen    复核：     监理："})
        EXPECT_EQ(GbkToUtf8(Utf8ToGbk(text)), text);
}

}  // namespace
}  // namespace tarnvel::io
