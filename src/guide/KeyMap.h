#pragma once

#include <array>
#include <cstdint>
#include <string>

// Where every character's key lies on the keyboard surface (632 x 248, origin top-left), which finger picture
// is laid over it and at which offset, and which marks the guide adds. Characters are Windows-1252 bytes.
// The keyboard picture is drawn at (-1, -1), so the surface point (x, y) is the picture's pixel (x + 1, y + 1).
namespace keymap {

class LayoutKeys;

struct KeyPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(KeyPoint a, KeyPoint b) { return a.x == b.x && a.y == b.y; }
};

// Characters without a key sit here, wholly outside the surface.
constexpr KeyPoint NoKey{-100, -100};

// The AltGr key, marked as the Shift keys are for a character typed with it.
constexpr KeyPoint AltGrCentre{294, 203};

// Control codes that stand for keys without a printable character.
constexpr unsigned char BackspaceKey = 8;
constexpr unsigned char EnterKey = 13;
constexpr unsigned char RightShiftKey = 16;
constexpr unsigned char LeftCtrlKey = 17;
constexpr unsigned char LeftAltKey = 18;
constexpr unsigned char LeftShiftKey = 20;

// Items of the picture list.
enum FingerPicture : int {
    MainG = 0,
    MainD,
    PouceG,
    PouceD,
    IndexG,
    IndexD,
    MajeurG,
    MajeurD,
    AnnuaireG,
    AnnuaireD,
    AuriculaireG,
    AuriculaireD
};

constexpr int FingerPictureWidth = 196;
constexpr int FingerPictureHeight = 189;

// A finger picture and where its top-left corner goes relative to the key centre.
struct Placement {
    int Item = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

// Each finger has one offset, whatever the key. Its fingertip is the picture point (-dx, -dy).
Placement FingerOffset(int item);

// Zero, one or two placements in drawing order (the space bar: left thumb first).
struct Placements {
    int Count = 0;
    std::array<Placement, 2> Items{};
};

// The key-centre table, filled once while the main window is created.
class KeyCentres
{
public:
    void Fill();
    // The same for another keyboard: its characters' keys on the picture, the named keys where they are.
    void Fill(const LayoutKeys &keys);
    KeyPoint operator()(unsigned char ch) const { return m_centres[ch]; }

private:
    std::array<KeyPoint, 256> m_centres{};
};

Placements FingerPlacement(unsigned char ch);
// Whether the character is typed on a key of the main block or the space bar.
bool HasKey(unsigned char ch);
// The finger that presses the character's own key (a picture item), -1 for none. Unlike the pictures the guide
// lays, the question mark has the comma's finger; the space bar has the left thumb.
int KeyFinger(unsigned char ch);
// The characters a finger (a picture item) presses; the space bar is pressed by either thumb, so it counts for both.
std::string FingerCharacters(int finger);
bool ShiftCharacters(unsigned char ch);
bool DeadKeyCharacters(unsigned char ch);
bool OutlinedCharacters(unsigned char ch);

// One key of the main block as the table lists it: its centre and the characters it carries (Windows-1252).
struct KeyRow {
    KeyPoint Centre;
    const char *Characters;
};
const std::array<KeyRow, 47> &KeyRows();

// One key of the picture's main block, or the space bar, whatever the keyboard's layout: its PC scan code, its
// centre and the finger that presses it (a picture item; the space bar's is the left thumb).
struct PhysicalKey {
    std::uint8_t Scan = 0;
    KeyPoint Centre;
    int Finger = -1;
};
// The main block in the order of KeyRows, the key between the left Shift and w, then the space bar.
const std::array<PhysicalKey, 49> &PhysicalKeys();
// The key of a scan code; nullptr for a key the picture's main block does not have.
const PhysicalKey *KeyOfScan(std::uint8_t scan);

} // namespace keymap
