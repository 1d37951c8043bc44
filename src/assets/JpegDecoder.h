#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG (JFIF) picture through libjpeg's own API into an RGB888 image. A damaged picture is an error, not
// a half picture: truncated data, garbage and even the decoder's warnings (a premature end of data, a corrupt
// segment) fail with a TutorError in French.
QImage DecodeJpeg(const QByteArray &data);
