#pragma once

// The key names, one recorded word each, listed once: the asset generator records each, the build embeds every
// one (src/assets/CMakeLists.txt reads the item names here), the main window loads them in this order and the
// pronunciation says them by name. Standard C++ only: the generator includes it too.
namespace keynames {

struct Recording {
    const char *Item;  // the item name the word list finds it by
    const char *Words; // what it says, in French (UTF-8)
    double Seconds;    // how long it lasts, to the hundredth
};

inline constexpr Recording Recordings[] = {
    {"Touche_a.wav", "a", 0.30},
    {"Touche_ag.wav", "a accent grave", 0.93},
    {"Touche_Aigu.wav", "accent aigu", 0.82},
    {"Touche_Apostrophe.wav", "apostrophe", 0.86},
    {"Touche_b.wav", "b", 0.33},
    {"Touche_c.wav", "c", 0.55},
    {"Touche_cc.wav", "c cédille", 1.02},
    {"Touche_Circ.wav", "accent circonflexe", 1.28},
    {"Touche_d.wav", "d", 0.34},
    {"Touche_deuxPoints.wav", "deux points", 0.68},
    {"Touche_e.wav", "e", 0.34},
    {"Touche_ea.wav", "e accent aigu", 0.95},
    {"Touche_ec.wav", "e accent circonflexe", 1.20},
    {"Touche_eg.wav", "e accent grave", 0.95},
    {"Touche_Entree.wav", "entrée", 0.61},
    {"Touche_Espace.wav", "espace", 0.76},
    {"Touche_et.wav", "et", 0.65},
    {"Touche_f.wav", "f", 0.42},
    {"Touche_g.wav", "g", 0.50},
    {"Touche_Grave.wav", "accent grave", 0.78},
    {"Touche_Guillemets.wav", "guillemets", 0.44},
    {"Touche_h.wav", "h", 0.57},
    {"Touche_i.wav", "i", 0.31},
    {"Touche_j.wav", "j", 0.50},
    {"Touche_k.wav", "k", 0.30},
    {"Touche_l.wav", "l", 0.41},
    {"Touche_m.wav", "m", 0.45},
    {"Touche_majuscule.wav", "majuscule", 0.83},
    {"Touche_n.wav", "n", 0.48},
    {"Touche_o.wav", "o", 0.30},
    {"Touche_p.wav", "p", 0.25},
    {"Touche_Point.wav", "point", 0.33},
    {"Touche_PointExc.wav", "point d'exclamation", 1.06},
    {"Touche_PointInter.wav", "point d'interrogation", 1.05},
    {"Touche_PointVirg.wav", "point-virgule", 0.83},
    {"Touche_q.wav", "q", 0.35},
    {"Touche_r.wav", "r", 0.42},
    {"Touche_s.wav", "s", 0.56},
    {"Touche_t.wav", "t", 0.28},
    {"Touche_Trema.wav", "tréma", 0.39},
    {"Touche_u.wav", "u", 0.32},
    {"Touche_ug.wav", "u accent grave", 1.05},
    {"Touche_v.wav", "v", 0.52},
    {"Touche_Virgule.wav", "virgule", 0.82},
    {"Touche_w.wav", "w", 0.72},
    {"Touche_x.wav", "x", 0.60},
    {"Touche_y.wav", "y", 0.69},
    {"Touche_z.wav", "z", 0.54},
};

} // namespace keynames
