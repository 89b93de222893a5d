#pragma once

#include <QByteArray>
#include <QImage>

// What a JPEG's frame header says about the picture.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0; // colour components in the file
    bool jfif = false;  // it begins with a JFIF marker
    bool progressive = false;
};

// Decodes a colour JPEG held in memory with libjpeg into an RGB image. Anything
// libjpeg cannot read whole and clean (an empty, truncated, damaged or foreign buffer),
// a picture that is not in three colour components, or one over 4096 x 4096, gives an
// empty image; the decoder has then released all it took and the program goes on.
// `header`, when given, receives the frame header as far as it was read.
QImage decodeJpeg(const QByteArray &data, JpegHeader *header = nullptr);
