// Any text for the key-sequence sender: it never fails but with its own conversion error, it releases every
// modifier it pressed, and it pauses once per step (once per character when the text has no braced form).

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "keysend/SendKeys.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A keyboard that keeps which keys are down; letters and digits are keys, the rest a few shifted ones.
class Keyboard : public sndkey32::KeyPlatform
{
public:
    bool Down[256] = {};
    long Pauses = 0;
    long Events = 0;
    sndkey32::KeyStateTable Table{};

    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t, std::uint32_t flags) override
    {
        ++Events;
        Down[virtualKey] = !(flags & sndkey32::KeyUp);
    }
    std::uint32_t MapVirtualKey(std::uint32_t virtualKey) override { return virtualKey; }
    std::uint16_t VkKeyScan(char character) override
    {
        const auto c = static_cast<unsigned char>(character);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ')
            return c;
        if (c >= 'A' && c <= 'Z')
            return static_cast<std::uint16_t>(0x100 | c);
        if (c == '@' || c == '}' || c == '{')
            return static_cast<std::uint16_t>(0x600 | c);
        return sndkey32::NoKey;
    }
    std::int16_t GetKeyState(int virtualKey) override { return Table[static_cast<std::size_t>(virtualKey & 0xFF)] & 1; }
    void GetKeyboardState(sndkey32::KeyStateTable &table) override { table = Table; }
    void SetKeyboardState(const sndkey32::KeyStateTable &table) override { Table = table; }
    void PassKeyboardMessages() override {}
    void ProcessMessages() override {}
    void WaitMilliseconds(double) override { ++Pauses; }
    void MessageBox(const std::string &) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::string_view sent = text.substr(0, text.find('\0'));
    Keyboard keys;
    bool complete = false;
    try {
        complete = sndkey32::SendKeys(keys, text, true);
    } catch (const sndkey32::EConvertError &) {
        Check(sent.find('{') != std::string_view::npos);
    }
    for (int modifier : {16, 17, 18})
        Check(!keys.Down[modifier]);
    Check(keys.Pauses <= static_cast<long>(sent.size()));
    if (sent.find('{') == std::string_view::npos) {
        Check(keys.Pauses == static_cast<long>(sent.size()));
        Check(complete == !sent.empty());
    }
    return 0;
}
