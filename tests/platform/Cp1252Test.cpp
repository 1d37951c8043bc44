#include <gtest/gtest.h>

#include "platform/text/Cp1252.h"

TEST(Cp1252, FrenchLettersAndSignsAreSingleBytes)
{
    const std::pair<char32_t, unsigned char> rows[] = {{U'é', 233}, {U'è', 232}, {U'à', 224}, {U'ç', 231}, {U'ù', 249},
                                                       {U'²', 178}, {U'£', 163}, {U'§', 167}, {U'¨', 168}, {U'°', 176},
                                                       {U'µ', 181}, {U'€', 128}, {U'œ', 156}, {U'Œ', 140}, {U'’', 146},
                                                       {U'…', 133}, {U'a', 97},  {U'\t', 9},  {U'\0', 0},  {U'ÿ', 255}};
    for (const auto &[unicode, byte] : rows) {
        ASSERT_TRUE(cp1252::FromUnicode(unicode).has_value()) << static_cast<unsigned>(unicode);
        EXPECT_EQ(*cp1252::FromUnicode(unicode), byte) << static_cast<unsigned>(unicode);
        EXPECT_EQ(cp1252::ToUnicode(byte).unicode(), unicode) << static_cast<unsigned>(byte);
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageHaveNoByte)
{
    for (char32_t unicode : {U'ő', U'ł', U'→', U'😀', U'\u0154'})
        EXPECT_FALSE(cp1252::FromUnicode(unicode).has_value()) << static_cast<unsigned>(unicode);
}

TEST(Cp1252, EveryByteGoesThereAndBack)
{
    for (int byte = 0; byte < 256; ++byte) {
        const QChar unicode = cp1252::ToUnicode(static_cast<unsigned char>(byte));
        const auto back = cp1252::FromUnicode(unicode.unicode());
        ASSERT_TRUE(back.has_value()) << byte;
        EXPECT_EQ(*back, byte);
    }
    EXPECT_EQ(cp1252::ToUnicode(std::string_view("\xC9t\xE9 \x80")), QString::fromUtf8("Été €"));
}

TEST(Cp1252, TextFilesInEitherEncodingGiveTheSameBytes)
{
    struct Row {
        const char *name;
        std::string file;
        std::string bytes;
    };
    const Row rows[] = {
        {"UTF-8", "\xC3\x89t\xC3\xA9 \xE2\x82\xAC \xC5\x93", "\xC9t\xE9 \x80 \x9C"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF\xC3\xA0 toi", "\xE0 toi"},
        {"Windows-1252", "\xC9t\xE9 \x80 \x9C", "\xC9t\xE9 \x80 \x9C"},
        {"plain ASCII", "abc\r\n", "abc\r\n"},
        {"not valid UTF-8", "caf\xE9\xC3", "caf\xE9\xC3"},
        {"spaces the code page lacks",
         "a\xE2\x80\xAF"
         "b\xE2\x80\x89"
         "c\xC2\xA0"
         "d",
         "a b c\xA0"
         "d"},
        {"characters it cannot hold", "x\xE2\x86\x92y\xF0\x9F\x98\x80z", "xyz"},
        {"empty", "", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(cp1252::FromUtf8OrCp1252(row.file), row.bytes) << row.name;
}
