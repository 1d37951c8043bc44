#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "course/Course.h"
#include "course/CourseText.h"
#include "platform/input/KeyboardLayout.h"

namespace {

// A character the French AZERTY layout types: with one key, or as a dead key's accent and a letter.
bool Typeable(unsigned char ch)
{
    if (kbdlayout::VkKeyScan(ch) != kbdlayout::NoKey)
        return true;
    for (const unsigned char accent : {0x5E, 0xA8})
        for (unsigned char base = 'a'; base <= 'z'; ++base)
            if (kbdlayout::Compose(accent, base) == ch)
                return true;
    return false;
}

const course::Material &BuiltMaterial()
{
    static const course::Material material = [] {
        std::ifstream file(TUTOR_COURSE_DATA, std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        return course::Material::Parse(data);
    }();
    return material;
}

} // namespace

TEST(Course, BringsInTheKeysInOrderAndEveryKeyIsTypeable)
{
    const auto &lessons = course::Lessons();
    ASSERT_GE(lessons.size(), 24u);
    const char *const firstFive[] = {"fj ", "dk", "sl", "qm", "gh"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lessons[i].NewKeys, firstFive[i]);
    EXPECT_EQ(lessons.front().GoalSpeed, 60);
    EXPECT_EQ(lessons.back().GoalSpeed, 150);
    EXPECT_NE(lessons.back().NewKeys.find('\\'), std::string::npos) << "the AltGr signs come last";
    std::string before;
    for (const course::Lesson &lesson : lessons) {
        SCOPED_TRACE(lesson.Number);
        EXPECT_EQ(lesson.Keys, before + lesson.NewKeys) << "each lesson keeps every key already learnt";
        for (const char c : lesson.NewKeys) {
            EXPECT_EQ(before.find(c), std::string::npos) << "a key comes in once: " << c;
            EXPECT_TRUE(Typeable(static_cast<unsigned char>(c))) << static_cast<int>(static_cast<unsigned char>(c));
        }
        if (lesson.Number > 1) {
            EXPECT_GE(lesson.GoalSpeed, course::LessonNumber(lesson.Number - 1).GoalSpeed);
        }
        before = lesson.Keys;
    }
}

// Every lesson's attempts: enough lines of the right length, only the lesson's keys, and new text each time.
TEST(CourseText, EachAttemptIsNewAndKeepsToTheLessonsKeys)
{
    const course::Material &material = BuiltMaterial();
    ASSERT_GT(material.UsableWords(course::LessonCount()), 10000u) << "the word list was read";
    for (const course::Lesson &lesson : course::Lessons()) {
        SCOPED_TRACE(lesson.Number);
        const auto first = course::MakeAttempt(lesson, material, 1);
        const auto second = course::MakeAttempt(lesson, material, 2);
        EXPECT_NE(first, second);
        EXPECT_EQ(first, course::MakeAttempt(lesson, material, 1)) << "a seed gives its own lines again";
        ASSERT_GE(first.size(), static_cast<std::size_t>(course::AttemptLines));
        std::set<std::string> distinct(first.begin(), first.end());
        EXPECT_EQ(distinct.size(), first.size()) << "no line twice in an attempt";
        for (const auto &attempt : {first, second})
            for (const std::string &line : attempt) {
                EXPECT_TRUE(lesson.AllowsAll(line)) << line;
                EXPECT_GE(line.size(), course::MinLineLength) << line;
                EXPECT_LE(line.size(), course::MaxLineLength) << line;
                EXPECT_NE(line.front(), ' ');
                EXPECT_NE(line.back(), ' ');
                EXPECT_EQ(line.find("  "), std::string::npos) << line;
            }
        // Real words from the word-list lessons on, and our phrases once capitals are known.
        if (lesson.Kind != course::TextKind::Drill) {
            EXPECT_GT(material.UsableWords(lesson.Number), 200u);
        }
    }
    for (int n = 15; n <= course::LessonCount(); ++n)
        EXPECT_FALSE(material.SentencesOf(n).empty()) << "phrases that use the keys of lesson " << n;
}
