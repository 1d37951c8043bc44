// assetgen OUTDIR [GROUP...]: draws and records every asset of the program into OUTDIR, under its item name.
// With groups (pictures, hands, keyboard, background, glyphs, icon, animations, cues, tune, speech), makes only
// those: handy while working on one kind of asset.
// assetgen --dictations OUTDIR TEXT...: reads each dictation text (Windows-1252, its first line) aloud into
// OUTDIR, as a wave file of the same name.
// assetgen --icons OUTDIR: draws the desktop's icon at each size, as OUTDIR/<size>x<size>/apps/tapotis2002.png.

#include <exception>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include "AssetGen.h"
#include "assets/AssetNames.h"
#include "guide/KeyMap.h"

using namespace assetgen;

namespace {

namespace names = assets::names;

static_assert(std::size(names::HandPictures) == keymap::AuriculaireD + 1, "one hand picture per finger picture");
static_assert(std::size(names::KeyboardPictures) == layouts::LayoutCount, "one keyboard picture per layout");

// The makers of the cues, in the order of their names.
Pcm (*const CueMakers[])() = {TypeCue, ErrorCue, SoluceCue};
static_assert(std::size(CueMakers) == std::size(names::Cues), "one maker per cue");

// The first line of a dictation file. The texts are ours and use no byte of 0x80..0x9F, where Windows-1252 and
// Latin-1 differ.
QString ReadDictationText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    const QByteArray bytes = file.readAll();
    QByteArray line = bytes.left(bytes.indexOf('\r') < 0 ? bytes.size() : bytes.indexOf('\r'));
    for (char c : line)
        if (static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F)
            throw std::runtime_error(path.toStdString() + " uses a character outside Latin-1");
    return QString::fromLatin1(line).trimmed();
}

} // namespace

int main(int argc, char **argv)
{
    // Pictures are drawn with QPainter and text needs fonts, but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::cerr << "usage: assetgen OUTDIR [GROUP...]\n";
        return 2;
    }
    if (args.at(1) == QStringLiteral("--dictations")) {
        if (args.size() < 3) {
            std::cerr << "usage: assetgen --dictations OUTDIR TEXT...\n";
            return 2;
        }
        try {
            if (!QDir().mkpath(args.at(2)))
                throw std::runtime_error("cannot create the output folder");
            for (const QString &path : args.mid(3)) {
                const QFileInfo text(path);
                WriteWave(args.at(2) + QLatin1Char('/') + text.completeBaseName() + QStringLiteral(".wav"),
                          SpeakDictation(ReadDictationText(path)));
            }
        } catch (const std::exception &error) {
            std::cerr << "assetgen: " << error.what() << '\n';
            return 1;
        }
        return 0;
    }
    if (args.at(1) == QStringLiteral("--icons")) {
        if (args.size() != 3) {
            std::cerr << "usage: assetgen --icons OUTDIR\n";
            return 2;
        }
        for (const int size : DesktopIconSizes) {
            const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(2)).arg(size);
            if (!QDir().mkpath(folder) || !DrawDesktopIcon(size).save(folder + QStringLiteral("/tapotis2002.png"))) {
                std::cerr << "assetgen: cannot write the icon in " << folder.toStdString() << '\n';
                return 1;
            }
        }
        return 0;
    }
    const QString outDir = args.at(1);
    const QStringList groups = args.mid(2);
    auto wanted = [&](const char *group) {
        return groups.isEmpty() || groups.contains(QLatin1String(group)) ||
               (groups.contains(QStringLiteral("pictures")) && QLatin1String(group) != QLatin1String("cues") &&
                QLatin1String(group) != QLatin1String("tune") && QLatin1String(group) != QLatin1String("speech"));
    };
    auto file = [&](const char *name) { return outDir + QLatin1Char('/') + QLatin1String(name); };

    try {
        if (!QDir().mkpath(outDir))
            throw std::runtime_error("cannot create the output folder");
        if (wanted("keyboard"))
            for (const layouts::Description &layout : layouts::Descriptions)
                WriteBmp(file(names::KeyboardPictures[static_cast<std::size_t>(layout.Id)]), DrawKeyboard(layout.Id),
                         24);
        if (wanted("hands"))
            for (int item = keymap::MainG; item <= keymap::AuriculaireD; ++item)
                WriteBmp(file(names::HandPictures[item]), DrawHand(item), 8);
        if (wanted("background"))
            WriteJpeg(file(names::Background), DrawBackground(), 90);
        if (wanted("glyphs"))
            for (const char *glyph : names::Glyphs)
                WriteBmp(file(glyph), DrawGlyph(QFileInfo(QLatin1String(glyph)).completeBaseName()), 24);
        if (wanted("icon"))
            WriteIcon(file(names::Icon), DrawIcon());
        if (wanted("animations")) {
            WriteGif(file(names::TitleAnimation), TitleAnimation());
            WriteGif(file(names::HummingbirdAnimation), HummingbirdAnimation());
            WriteGif(file(names::SplashAnimation), SplashAnimation());
        }
        if (wanted("cues"))
            for (std::size_t cue = 0; cue < std::size(names::Cues); ++cue)
                WriteWave(file(names::Cues[cue]), CueMakers[cue]());
        if (wanted("tune"))
            WriteWave(file(names::SplashTune), ComedyTune());
        if (wanted("speech"))
            for (const keynames::Recording &name : keynames::Recordings)
                WriteWave(file(name.Item), SpeakKeyName(name));
    } catch (const std::exception &error) {
        std::cerr << "assetgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
