#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio/KeyNames.h"

// The words said for every character, against the table of key names.

namespace {

using Said = std::vector<std::string>;

std::map<int, Said> ExpectedTable()
{
    std::map<int, Said> table = {
        {32, {"Touche_Espace.wav"}},
        {33, {"Touche_PointExc.wav"}},
        {34, {"Touche_Guillemets.wav"}},
        {39, {"Touche_Apostrophe.wav"}},
        {44, {"Touche_Virgule.wav"}},
        {46, {"Touche_Point.wav"}},
        {58, {"Touche_deuxPoints.wav"}},
        {59, {"Touche_PointVirg.wav"}},
        {63, {"Touche_PointInter.wav"}},
        {94, {"Touche_Circ.wav"}},
        {168, {"Touche_Trema.wav"}},
        {224, {"Touche_ag.wav"}},
        {226, {"Touche_a.wav", "Touche_Circ.wav"}},
        {228, {"Touche_a.wav", "Touche_Trema.wav"}},
        {231, {"Touche_cc.wav"}},
        {232, {"Touche_eg.wav"}},
        {233, {"Touche_ea.wav"}},
        {234, {"Touche_e.wav", "Touche_Circ.wav"}},
        {235, {"Touche_e.wav", "Touche_Trema.wav"}},
        {238, {"Touche_i.wav", "Touche_Circ.wav"}},
        {239, {"Touche_i.wav", "Touche_Trema.wav"}},
        {244, {"Touche_o.wav", "Touche_Circ.wav"}},
        {246, {"Touche_o.wav", "Touche_Trema.wav"}},
        {249, {"Touche_ug.wav"}},
        {251, {"Touche_u.wav", "Touche_Circ.wav"}},
        {252, {"Touche_u.wav", "Touche_Trema.wav"}},
    };
    for (char letter = 'a'; letter <= 'z'; ++letter)
        table[letter] = {std::string("Touche_") + letter + ".wav"};
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        table[letter] = {std::string("Touche_") + letter + ".wav", "Touche_majuscule.wav"};
    return table;
}

Said Actual(int code)
{
    const keynames::Words words = keynames::WordsFor(static_cast<unsigned char>(code));
    Said said;
    for (int i = 0; i < words.Count; ++i)
        said.emplace_back(words.Names[static_cast<std::size_t>(i)]);
    return said;
}

} // namespace

TEST(KeyNames, EveryCodeSaysTheWordsOfItsRowAndNothingElse)
{
    const std::map<int, Said> table = ExpectedTable();
    for (int code = 0; code < 256; ++code) {
        const auto row = table.find(code);
        EXPECT_EQ(Actual(code), row == table.end() ? Said{} : row->second) << "code " << code;
    }
}

TEST(KeyNames, SilentCharactersAmongTheTypedOnes)
{
    // Digits 0 5 9, the hyphen, the ampersand, É À Ê and NUL have no spoken name.
    for (const int code : {48, 53, 57, 45, 38, 0xC9, 0xC0, 0xCA, 0})
        EXPECT_TRUE(Actual(code).empty()) << "code " << code;
    // Five recorded words are never said by a character.
    for (int code = 0; code < 256; ++code)
        for (const std::string &word : Actual(code))
            for (const char *unused :
                 {"Touche_Aigu.wav", "Touche_ec.wav", "Touche_Entree.wav", "Touche_et.wav", "Touche_Grave.wav"})
                EXPECT_NE(word, unused) << "code " << code;
}
