#pragma once

// The item names of the embedded pictures and sounds, each written here once: the asset generator writes a file
// under each name, the build embeds every quoted name of this file (src/assets/CMakeLists.txt reads them), and the
// program loads the items by these names. The key names are listed beside their pronunciation, in
// audio/KeyNameRecordings.h. Standard C++ only: the generator includes it too.
namespace assets::names {

// The hand pictures, in the order of keymap::FingerPicture: the keyboard guide finds each by its index in the
// picture list.
inline constexpr const char *HandPictures[] = {
    "MainG.bmp",   "MainD.bmp",   "PouceG.bmp",    "PouceD.bmp",    "IndexG.bmp",       "IndexD.bmp",
    "MajeurG.bmp", "MajeurD.bmp", "AnnuaireG.bmp", "AnnuaireD.bmp", "AuriculaireG.bmp", "AuriculaireD.bmp"};

// The keyboard, drawn under the hands; it follows them in the picture list.
inline constexpr const char KeyboardPicture[] = "Tapotis.bmp";

// The same keyboard with each French-speaking layout's legends, in the order of layouts::Layout: the French
// AZERTY's is the picture above.
inline constexpr const char *KeyboardPictures[] = {KeyboardPicture,  "Clavier_afnor.bmp", "Clavier_bepo.bmp",
                                                   "Clavier_be.bmp", "Clavier_ch_fr.bmp", "Clavier_ca_fr.bmp"};

// The buttons' glyphs, each named after its button.
inline constexpr const char *Glyphs[] = {
    "BoutonFacile.bmp",   "BoutonMoyen.bmp",     "BoutonDifficile.bmp", "BoutonDicteesVocales.bmp", "BoutonJeu.bmp",
    "BoutonSon.bmp",      "BoutonPrononcer.bmp", "BoutonAuto.bmp",      "BoutonAide.bmp",           "BoutonQuitter.bmp",
    "BoutonParcours.bmp", "BoutonTouches.bmp",   "BoutonMonTexte.bmp"};

inline constexpr const char Background[] = "Image1.jpg"; // the main window's background
inline constexpr const char Icon[] = "MAINICON.ico";     // the program's icon

// The animations: the main window's title and hummingbird, and the splash.
inline constexpr const char TitleAnimation[] = "RxGIFAnimator1.gif";
inline constexpr const char HummingbirdAnimation[] = "RxGIFAnimator2.gif";
inline constexpr const char SplashAnimation[] = "Splash.gif";

// The cues, in the order of Cue (audio/Cue.h), which indexes the cue wave list.
inline constexpr const char *Cues[] = {"Type.wav", "Error.wav", "Soluce.wav"};

// The tune the splash plays.
inline constexpr const char SplashTune[] = "COMEDY1.WAV";

} // namespace assets::names
