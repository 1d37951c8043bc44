#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lesson/LessonReader.h"

using Lines = std::vector<std::string>;

TEST(LessonReader, LineBreaksOfEveryKind)
{
    struct Row {
        const char *name;
        std::string bytes;
        Lines lines;
    };
    const Row rows[] = {
        {"CR LF", "abc\r\ndef\r\n", {"abc", "def"}},
        {"LF", "abc\ndef\n", {"abc", "def"}},
        {"CR", "abc\rdef\r", {"abc", "def"}},
        {"no break at the end", "abc\r\ndef", {"abc", "def"}},
        {"LF CR is two breaks", "abc\n\rdef", {"abc", "", "def"}},
        {"blank lines kept", "\r\n\r\nabc", {"", "", "abc"}},
        {"empty file", "", {}},
        {"single break", "\r\n", {""}},
        {"NUL ends the text", std::string("abc\0def\r\nghi", 12), {"abc"}},
        {"NUL first", std::string("\0abc", 4), {}},
        {"accented bytes kept", "\xE9t\xE9 \xE0 la for\xEAt", {"\xE9t\xE9 \xE0 la for\xEAt"}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(SplitLessonLines(row.bytes), row.lines) << row.name;
}

TEST(LessonReader, TrimRemovesCodesUpTo32AtBothEnds)
{
    EXPECT_EQ(TrimLessonLine("  abc  "), "abc");
    EXPECT_EQ(TrimLessonLine("\t\x01 a b \x1f\x7f"), "a b \x1f\x7f");
    EXPECT_EQ(TrimLessonLine(" \t "), "");
    EXPECT_EQ(TrimLessonLine("\xA0x\xA0"), "\xA0x\xA0"); // the non-breaking space is a character (160)
}

TEST(LessonReader, FirstLineOfAFileIsTheTarget)
{
    const Lines lines = SplitLessonLines("  abc  \r\nnever shown\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(TrimLessonLine(lines.front()), "abc");
}

TEST(LessonReader, PathOfALevel)
{
    EXPECT_EQ(LessonRelativePath(1), "Dictees/Level1.dll");
    EXPECT_EQ(LessonRelativePath(4), "Dictees/Level4.dll");
    EXPECT_EQ(LessonRelativePath(12), "Dictees/Level12.dll");
}
