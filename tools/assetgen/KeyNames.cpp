#include "AssetGen.h"

namespace assetgen {

// The words of the key-name list, in the list's order, with the length each recording must have.
const std::vector<KeyName> &KeyNames()
{
    static const std::vector<KeyName> names = {
        {QStringLiteral("Touche_a.wav"), QStringLiteral("a"), 0.30},
        {QStringLiteral("Touche_ag.wav"), QStringLiteral("a accent grave"), 0.93},
        {QStringLiteral("Touche_Aigu.wav"), QStringLiteral("accent aigu"), 0.82},
        {QStringLiteral("Touche_Apostrophe.wav"), QStringLiteral("apostrophe"), 0.86},
        {QStringLiteral("Touche_b.wav"), QStringLiteral("b"), 0.33},
        {QStringLiteral("Touche_c.wav"), QStringLiteral("c"), 0.55},
        {QStringLiteral("Touche_cc.wav"), QStringLiteral("c cédille"), 1.02},
        {QStringLiteral("Touche_Circ.wav"), QStringLiteral("accent circonflexe"), 1.28},
        {QStringLiteral("Touche_d.wav"), QStringLiteral("d"), 0.34},
        {QStringLiteral("Touche_deuxPoints.wav"), QStringLiteral("deux points"), 0.68},
        {QStringLiteral("Touche_e.wav"), QStringLiteral("e"), 0.34},
        {QStringLiteral("Touche_ea.wav"), QStringLiteral("e accent aigu"), 0.95},
        {QStringLiteral("Touche_ec.wav"), QStringLiteral("e accent circonflexe"), 1.20},
        {QStringLiteral("Touche_eg.wav"), QStringLiteral("e accent grave"), 0.95},
        {QStringLiteral("Touche_Entree.wav"), QStringLiteral("entrée"), 0.61},
        {QStringLiteral("Touche_Espace.wav"), QStringLiteral("espace"), 0.76},
        {QStringLiteral("Touche_et.wav"), QStringLiteral("et"), 0.65},
        {QStringLiteral("Touche_f.wav"), QStringLiteral("f"), 0.42},
        {QStringLiteral("Touche_g.wav"), QStringLiteral("g"), 0.50},
        {QStringLiteral("Touche_Grave.wav"), QStringLiteral("accent grave"), 0.78},
        {QStringLiteral("Touche_Guillemets.wav"), QStringLiteral("guillemets"), 0.44},
        {QStringLiteral("Touche_h.wav"), QStringLiteral("h"), 0.57},
        {QStringLiteral("Touche_i.wav"), QStringLiteral("i"), 0.31},
        {QStringLiteral("Touche_j.wav"), QStringLiteral("j"), 0.50},
        {QStringLiteral("Touche_k.wav"), QStringLiteral("k"), 0.30},
        {QStringLiteral("Touche_l.wav"), QStringLiteral("l"), 0.41},
        {QStringLiteral("Touche_m.wav"), QStringLiteral("m"), 0.45},
        {QStringLiteral("Touche_majuscule.wav"), QStringLiteral("majuscule"), 0.83},
        {QStringLiteral("Touche_n.wav"), QStringLiteral("n"), 0.48},
        {QStringLiteral("Touche_o.wav"), QStringLiteral("o"), 0.30},
        {QStringLiteral("Touche_p.wav"), QStringLiteral("p"), 0.25},
        {QStringLiteral("Touche_Point.wav"), QStringLiteral("point"), 0.33},
        {QStringLiteral("Touche_PointExc.wav"), QStringLiteral("point d'exclamation"), 1.06},
        {QStringLiteral("Touche_PointInter.wav"), QStringLiteral("point d'interrogation"), 1.05},
        {QStringLiteral("Touche_PointVirg.wav"), QStringLiteral("point-virgule"), 0.83},
        {QStringLiteral("Touche_q.wav"), QStringLiteral("q"), 0.35},
        {QStringLiteral("Touche_r.wav"), QStringLiteral("r"), 0.42},
        {QStringLiteral("Touche_s.wav"), QStringLiteral("s"), 0.56},
        {QStringLiteral("Touche_t.wav"), QStringLiteral("t"), 0.28},
        {QStringLiteral("Touche_Trema.wav"), QStringLiteral("tréma"), 0.39},
        {QStringLiteral("Touche_u.wav"), QStringLiteral("u"), 0.32},
        {QStringLiteral("Touche_ug.wav"), QStringLiteral("u accent grave"), 1.05},
        {QStringLiteral("Touche_v.wav"), QStringLiteral("v"), 0.52},
        {QStringLiteral("Touche_Virgule.wav"), QStringLiteral("virgule"), 0.82},
        {QStringLiteral("Touche_w.wav"), QStringLiteral("w"), 0.72},
        {QStringLiteral("Touche_x.wav"), QStringLiteral("x"), 0.60},
        {QStringLiteral("Touche_y.wav"), QStringLiteral("y"), 0.69},
        {QStringLiteral("Touche_z.wav"), QStringLiteral("z"), 0.54},
    };
    return names;
}

} // namespace assetgen
