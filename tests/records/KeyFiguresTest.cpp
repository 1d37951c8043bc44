#include <gtest/gtest.h>

#include "records/KeyFigures.h"

TEST(KeyFigures, ReadsBackWhatItWritesAndRefusesAnythingElse)
{
    KeyFigures keys;
    for (int i = 0; i < 5; ++i)
        keys.Record('e', 'r', false, std::nullopt);
    keys.Record('e', 'z', false, std::nullopt);
    keys.Record('e', 'z', false, std::nullopt);
    keys.Record('e', '\xE9', false, std::nullopt);
    keys.Record('e', '\xE9', false, std::nullopt);
    keys.Record('e', 'a', false, std::nullopt); // the fourth most frequent is not kept in the file
    keys.Record('e', 'e', true, 180);
    keys.Record('e', 'e', true, std::nullopt);
    keys.Record('\xE9', '\x80', false, std::nullopt); // the euro sign is no Latin-1: an error, not a substitution
    keys.Record(' ', ' ', true, 95);
    keys.Record('\x80', 'e', false, std::nullopt); // nor is a character that cannot be kept expected
    keys.CountOutsideCourse();
    const std::string written = keys.Format();
    EXPECT_EQ(written, "version\t1\nexercices\t1\n"
                       " \t1\t0\t95\t1\n"
                       "e\t12\t10\t180\t1\tr\t5\tz\t2\t\xC3\xA9\t2\n"
                       "\xC3\xA9\t1\t1\t0\t0\n");
    const std::optional<KeyFigures> read = KeyFigures::Parse(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Format(), written);
    EXPECT_EQ(read->Of('e').MostTypedInstead(3), "rz\xE9");
    EXPECT_EQ(read->OutsideCourse(), 1u);

    const char *const damaged[] = {
        "",                                                             // not even the version
        "version\t1\n",                                                 // nor the count of exercises
        "version\t2\nexercices\t0\n",                                   // a version to come
        "version\t1\nexercices\t0\ne\t1\t0\t0\t0",                      // no line feed at the end
        "version\t1\nexercices\t0\ne\t1\t0\t0\n",                       // a field missing
        "version\t1\nexercices\t0\ne\t1\t2\t0\t0\n",                    // more errors than attempts
        "version\t1\nexercices\t0\ne\t2\t1\t50\t2\n",                   // more timed keys than correct ones
        "version\t1\nexercices\t0\ne\t0\t0\t0\t0\n",                    // a character never typed
        "version\t1\nexercices\t0\ne\t1\t0\t0\t0\ne\t1\t0\t0\t0\n",     // twice
        "version\t1\nexercices\t0\ne\t3\t1\t0\t0\tr\t2\n",              // more typed instead than errors
        "version\t1\nexercices\t0\ne\t3\t2\t0\t0\tr\t1\tz\t2\n",        // not the most frequent first
        "version\t1\nexercices\t0\ne\t3\t2\t0\t0\te\t1\n",              // itself typed instead
        "version\t1\nexercices\t0\nab\t1\t0\t0\t0\n",                   // two characters
        "version\t1\nexercices\t0\n\xE9\t1\t0\t0\t0\n",                 // Latin-1 rather than UTF-8
        "version\t1\nexercices\t0\n\xE2\x82\xAC\t1\t0\t0\t0\n",         // the euro sign
        "version\t1\nexercices\t0\ne\t01\t0\t0\t0\n",                   // not as written
        "version\t1\nexercices\t0\ne\t-1\t0\t0\t0\n",                   // a sign
        "version\t1\nexercices\t0\ne\t99999999999999999999\t0\t0\t0\n", // out of range
        "version\t1\r\nexercices\t0\r\n",                               // carriage returns
    };
    for (const char *text : damaged)
        EXPECT_FALSE(KeyFigures::Parse(text)) << text;
}

TEST(KeyFigures, TheWeakestKeysWeighErrorsAndSlownessAndDoNotJudgeOnOneSlip)
{
    KeyFigures keys;
    auto type = [&](unsigned char ch, int times, int errors, std::uint32_t ms) {
        for (int i = 0; i < times; ++i)
            keys.Record(ch, i < errors ? 'x' : ch, i >= errors, ms);
    };
    type('a', 100, 2, 200);  // steady
    type('s', 100, 25, 200); // often wrong
    type('d', 100, 0, 600);  // never wrong, three times slower than the rest
    type('k', 1, 1, 200);    // one slip on a key typed once
    type('l', 100, 0, 150);  // fast and right
    EXPECT_EQ(keys.Weakest(10), "sdkal");
    EXPECT_EQ(keys.Weakest(2), "sd");
    EXPECT_DOUBLE_EQ(keys.Of('s').ErrorRate(), 25);
    EXPECT_DOUBLE_EQ(keys.Weakness('z'), 0) << "never typed";

    const KeyFigures::Figures sum = keys.Sum("as");
    EXPECT_EQ(sum.Attempts, 200u);
    EXPECT_EQ(sum.Errors, 27u);
    EXPECT_DOUBLE_EQ(sum.MeanMs(), 200);
    EXPECT_EQ(sum.MostTypedInstead(3), "x");
}
