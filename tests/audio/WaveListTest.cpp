#include <gtest/gtest.h>

#include "audio/TDXWaveList.h"
#include "platform/text/TutorError.h"

TEST(TDXWaveList, FindIgnoresLetterCase)
{
    TDXWaveList list;
    list.Add(QStringLiteral("Touche_a.wav"));
    list.Add(QStringLiteral("Touche_majuscule.wav"));
    EXPECT_EQ(list.Find(QStringLiteral("Touche_A.wav")).Name, QStringLiteral("Touche_a.wav"));
    EXPECT_EQ(list.Find(QStringLiteral("TOUCHE_MAJUSCULE.WAV")).Name, QStringLiteral("Touche_majuscule.wav"));
    try {
        list.Find(QStringLiteral("Touche_Euro.wav"));
        FAIL() << "an unknown name must fail";
    } catch (const TutorError &error) {
        EXPECT_EQ(error.Text(), QStringLiteral("Wave 'Touche_Euro.wav' not found"));
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}
