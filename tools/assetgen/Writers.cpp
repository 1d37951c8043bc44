#include "AssetGen.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include <QFile>

#include <gif_lib.h>
#include <jpeglib.h>

namespace assetgen {

namespace {

class LittleEndian
{
public:
    void U8(unsigned v) { m_bytes.push_back(static_cast<char>(v & 0xFF)); }
    void U16(unsigned v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Text(const char *s)
    {
        while (*s)
            U8(static_cast<unsigned char>(*s++));
    }
    void Bytes(const std::uint8_t *data, std::size_t size)
    {
        m_bytes.append(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    }
    const QByteArray &Data() const { return m_bytes; }
    qsizetype Size() const { return m_bytes.size(); }

private:
    QByteArray m_bytes;
};

void SaveFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

std::runtime_error Failure(const QString &path, const char *what)
{
    return std::runtime_error(path.toStdString() + ": " + what);
}

void BitmapHeaders(LittleEndian &out, int width, int height, int bits, int paletteSize, std::uint32_t pixelBytes)
{
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(paletteSize);
    out.Text("BM");
    out.U32(offset + pixelBytes);
    out.U32(0);
    out.U32(offset);
    out.U32(40);
    out.U32(static_cast<std::uint32_t>(width));
    out.U32(static_cast<std::uint32_t>(height));
    out.U16(1);
    out.U16(static_cast<unsigned>(bits));
    out.U32(0); // no compression
    out.U32(pixelBytes);
    out.U32(3780); // 96 pixels per inch
    out.U32(3780);
    out.U32(static_cast<std::uint32_t>(paletteSize));
    out.U32(0);
}

void Palette(LittleEndian &out, const QVector<QRgb> &colours, int size)
{
    for (int i = 0; i < size; ++i) {
        const QRgb c = i < colours.size() ? colours.at(i) : qRgb(0, 0, 0);
        out.U8(static_cast<unsigned>(qBlue(c)));
        out.U8(static_cast<unsigned>(qGreen(c)));
        out.U8(static_cast<unsigned>(qRed(c)));
        out.U8(0);
    }
}

struct JpegFailure {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegFailure *>(info->err)->Jump, 1);
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct ColourMapFree {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

} // namespace

std::size_t BytesForDuration(const Pcm &format, double seconds)
{
    const std::size_t frameBytes = static_cast<std::size_t>(format.Channels * format.BitsPerSample / 8);
    const auto frames = static_cast<std::size_t>(std::llround(seconds * format.SampleRate));
    return frames * frameBytes;
}

void WriteBmp(const QString &path, const QImage &picture, int bitsPerPixel)
{
    const int width = picture.width();
    const int height = picture.height();
    LittleEndian out;
    if (bitsPerPixel == 24) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        const int stride = (width * 3 + 3) & ~3;
        BitmapHeaders(out, width, height, 24, 0, static_cast<std::uint32_t>(stride * height));
        for (int y = height - 1; y >= 0; --y) {
            const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                out.U8(static_cast<unsigned>(qBlue(line[x])));
                out.U8(static_cast<unsigned>(qGreen(line[x])));
                out.U8(static_cast<unsigned>(qRed(line[x])));
            }
            for (int pad = width * 3; pad < stride; ++pad)
                out.U8(0);
        }
    } else if (bitsPerPixel == 8) {
        if (picture.format() != QImage::Format_Indexed8 || picture.colorCount() > 256)
            throw Failure(path, "an 8-bit bitmap needs an indexed picture");
        const int stride = (width + 3) & ~3;
        BitmapHeaders(out, width, height, 8, 256, static_cast<std::uint32_t>(stride * height));
        Palette(out, picture.colorTable(), 256);
        for (int y = height - 1; y >= 0; --y) {
            out.Bytes(picture.constScanLine(y), static_cast<std::size_t>(width));
            for (int pad = width; pad < stride; ++pad)
                out.U8(0);
        }
    } else {
        throw Failure(path, "unsupported bitmap depth");
    }
    SaveFile(path, out.Data());
}

void WriteJpeg(const QString &path, const QImage &picture, int quality)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(QFile::encodeName(path).constData(), "wb"),
                                                          &std::fclose);
    if (!file)
        throw Failure(path, "cannot open for writing");

    jpeg_compress_struct info{};
    JpegFailure failure{};
    info.err = jpeg_std_error(&failure.Manager);
    failure.Manager.error_exit = &JpegErrorExit;
    if (setjmp(failure.Jump)) {
        jpeg_destroy_compress(&info);
        throw Failure(path, "the JPEG compressor failed");
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE); // baseline tables
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto *row = const_cast<JSAMPLE *>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fflush(file.get()) != 0)
        throw Failure(path, "cannot write");
}

void WriteGif(const QString &path, const GifAnimation &animation)
{
    const int colours = static_cast<int>(animation.Palette.size());
    if (colours < 2 || colours > 256 || (colours & (colours - 1)) != 0)
        throw Failure(path, "a GIF palette has 2, 4, 8 ... 256 colours");
    std::vector<GifColorType> table(static_cast<std::size_t>(colours));
    for (int i = 0; i < colours; ++i) {
        const QRgb c = animation.Palette.at(i);
        table[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                                              static_cast<GifByteType>(qBlue(c))};
    }
    std::unique_ptr<ColorMapObject, ColourMapFree> map(GifMakeMapObject(colours, table.data()));

    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpenFileName(QFile::encodeName(path).constData(), false, &error));
    if (!gif || !map)
        throw Failure(path, "cannot open for writing");
    EGifSetGifVersion(gif.get(), true);
    if (EGifPutScreenDesc(gif.get(), animation.Width, animation.Height, 8, 0, map.get()) == GIF_ERROR)
        throw Failure(path, "cannot write the screen descriptor");

    if (animation.LoopMarker) {
        static const GifByteType loop[3] = {1, 0, 0}; // sub-block 1: repeat for ever
        if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0") == GIF_ERROR ||
            EGifPutExtensionBlock(gif.get(), 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(gif.get()) == GIF_ERROR)
            throw Failure(path, "cannot write the loop marker");
    }

    for (const GifFrame &frame : animation.Frames) {
        if (frame.Picture.format() != QImage::Format_Indexed8 || frame.Picture.width() != animation.Width ||
            frame.Picture.height() != animation.Height)
            throw Failure(path, "every frame is an indexed picture of the animation's size");
        GraphicsControlBlock control{};
        control.DisposalMode = animation.RestoreToBackground ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = frame.DelayMs / 10;
        control.TransparentColor = animation.TransparentIndex < 0 ? NO_TRANSPARENT_COLOR : animation.TransparentIndex;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR ||
            EGifPutImageDesc(gif.get(), 0, 0, animation.Width, animation.Height, false, nullptr) == GIF_ERROR)
            throw Failure(path, "cannot write a frame");
        for (int y = 0; y < animation.Height; ++y) {
            std::vector<GifPixelType> line(frame.Picture.constScanLine(y),
                                           frame.Picture.constScanLine(y) + animation.Width);
            for (GifPixelType &index : line)
                if (index >= colours)
                    throw Failure(path, "a frame uses a colour outside the palette");
            if (EGifPutLine(gif.get(), line.data(), animation.Width) == GIF_ERROR)
                throw Failure(path, "cannot write a frame");
        }
    }
    GifFileType *raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR)
        throw Failure(path, "cannot finish the file");
}

void WriteWave(const QString &path, const Pcm &sound)
{
    if ((sound.BitsPerSample != 8 && sound.BitsPerSample != 16) || sound.Channels < 1 || sound.Channels > 2)
        throw Failure(path, "unsupported sample format");
    const unsigned blockAlign = static_cast<unsigned>(sound.Channels * sound.BitsPerSample / 8);
    const auto dataSize = static_cast<std::uint32_t>(sound.Data.size());
    if (dataSize % blockAlign != 0)
        throw Failure(path, "the samples end in the middle of a frame");
    LittleEndian out;
    out.Text("RIFF");
    out.U32(4 + 8 + 16 + 8 + dataSize + (dataSize & 1));
    out.Text("WAVE");
    out.Text("fmt ");
    out.U32(16);
    out.U16(1); // integer PCM
    out.U16(static_cast<unsigned>(sound.Channels));
    out.U32(static_cast<std::uint32_t>(sound.SampleRate));
    out.U32(static_cast<std::uint32_t>(sound.SampleRate) * blockAlign);
    out.U16(blockAlign);
    out.U16(static_cast<unsigned>(sound.BitsPerSample));
    out.Text("data");
    out.U32(dataSize);
    out.Bytes(sound.Data.data(), sound.Data.size());
    if (dataSize & 1)
        out.U8(0);
    SaveFile(path, out.Data());
}

void WriteIcon(const QString &path, const QImage &picture)
{
    if (picture.width() != 32 || picture.height() != 32 || picture.format() != QImage::Format_Indexed8 ||
        picture.colorCount() > 16)
        throw Failure(path, "the icon is a 32 x 32 picture of 16 colours");
    const QVector<QRgb> colours = picture.colorTable();
    const std::uint32_t xorBytes = 32 * 16;
    const std::uint32_t andBytes = 32 * 4;
    LittleEndian out;
    out.U16(0);
    out.U16(1); // an icon
    out.U16(1); // one image
    out.U8(32);
    out.U8(32);
    out.U8(16);
    out.U8(0);
    out.U16(1);
    out.U16(4);
    out.U32(40 + 16 * 4 + xorBytes + andBytes);
    out.U32(22);
    out.U32(40);
    out.U32(32);
    out.U32(64); // colour and mask planes together
    out.U16(1);
    out.U16(4);
    out.U32(0);
    out.U32(xorBytes + andBytes);
    out.U32(0);
    out.U32(0);
    out.U32(16);
    out.U32(0);
    Palette(out, colours, 16);
    auto transparent = [&](int x, int y) { return qAlpha(colours.at(picture.pixelIndex(x, y))) == 0; };
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2) {
            const unsigned high = transparent(x, y) ? 0 : static_cast<unsigned>(picture.pixelIndex(x, y));
            const unsigned low = transparent(x + 1, y) ? 0 : static_cast<unsigned>(picture.pixelIndex(x + 1, y));
            out.U8(high << 4 | low);
        }
    for (int y = 31; y >= 0; --y)
        for (int byte = 0; byte < 4; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (transparent(byte * 8 + bit, y))
                    bits |= 0x80u >> bit;
            out.U8(bits);
        }
    SaveFile(path, out.Data());
}

} // namespace assetgen
