#include "windows/KeyboardTyping.h"

#include <algorithm>
#include <optional>

#include <QString>

#include "owntext/OwnText.h"
#include "platform/input/KeyboardLayout.h"
#include "platform/text/Cp1252.h"

namespace keyboardtyping {

bool Types(layouts::Layout keyboard, char32_t character)
{
    const std::optional<unsigned char> byte = cp1252::FromUnicode(character);
    return byte && *byte >= 0x20 && kbdlayout::TableFor(keyboard)[*byte].Typeable();
}

bool TypesOnSomeKeyboard(char32_t character)
{
    return std::any_of(layouts::Descriptions.begin(), layouts::Descriptions.end(),
                       [character](const layouts::Description &d) { return Types(d.Id, character); });
}

std::string TypeableLine(layouts::Layout keyboard, const std::string &line)
{
    // Most lines are typeable as they stand, the French AZERTY's lesson files always: only a look at each character.
    const auto typeable = [keyboard](char32_t character) { return Types(keyboard, character); };
    const QString text = cp1252::ToUnicode(line);
    if (std::all_of(text.begin(), text.end(), [&](QChar c) { return typeable(c.unicode()); }))
        return line;
    const owntext::Conversion conversion = owntext::MakeTypeable(text.toStdU32String(), typeable);
    return cp1252::FromUnicodeText(QString::fromStdString(conversion.Text));
}

} // namespace keyboardtyping
