#include "assets/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/text/TutorError.h"

namespace {

// libjpeg reports failures through these callbacks; the decoder turns every one of them, warnings included,
// into a jump back to the caller, which throws once libjpeg's state is released.
struct ErrorTrap {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void FailJump(j_common_ptr info)
{
    auto *trap = reinterpret_cast<ErrorTrap *>(info->err);
    info->err->format_message(info, trap->Message);
    std::longjmp(trap->Jump, 1);
}

void OnMessage(j_common_ptr info, int level)
{
    // A negative level is a warning: the data is damaged and libjpeg would carry on with grey filler.
    if (level < 0)
        FailJump(info);
}

// Owns the decompressor for the whole decode, whichever way it ends.
struct Decompressor {
    jpeg_decompress_struct Info{};
    Decompressor() = default;
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
    ~Decompressor() { jpeg_destroy_decompress(&Info); }
};

TutorError Damaged(const QString &why)
{
    return TutorError(QStringLiteral("Image JPEG illisible : %1").arg(why));
}

// The learner reads French: the usual faults are named in French, any other with libjpeg's own words.
QString Explain(const ErrorTrap &trap)
{
    switch (trap.Manager.msg_code) {
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
    case JERR_INPUT_EMPTY: return QStringLiteral("les données s'arrêtent avant la fin de l'image");
    case JERR_NO_SOI: return QStringLiteral("ce n'est pas une image JPEG");
    default:
        return trap.Message[0] ? QString::fromLocal8Bit(trap.Message) : QStringLiteral("format de pixels inattendu");
    }
}

// The part that may jump: it touches no object with a destructor, so longjmp leaves nothing behind.
bool Decode(Decompressor &decoder, ErrorTrap &trap, const QByteArray &data, QImage &picture)
{
    jpeg_decompress_struct &info = decoder.Info;
    if (setjmp(trap.Jump))
        return false;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    // The decoder writes the pixels straight into the picture, three bytes a pixel (R, G, B), a quarter less than
    // a 32-bit copy; painting converts only the parts it repaints.
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3)
        return false;
    picture = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    if (picture.isNull())
        return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        throw Damaged(QStringLiteral("aucune donnée"));
    Decompressor decoder;
    ErrorTrap trap;
    decoder.Info.err = jpeg_std_error(&trap.Manager);
    trap.Manager.error_exit = &FailJump;
    trap.Manager.emit_message = &OnMessage;
    jpeg_create_decompress(&decoder.Info);

    QImage picture;
    if (!Decode(decoder, trap, data, picture))
        throw Damaged(Explain(trap));
    return picture;
}
