// Fuzz target for decodeJpeg: any bytes at all must come back as a picture or as an
// empty image, never as a crash, a hang, a sanitizer report or an exit from inside
// libjpeg. A picture that does come back must be what the About dialog can show: RGB
// with 8 bits a channel, at least 1 and at most 4096 pixels a side, and the size the
// frame header gave.
#include "jpegdecode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <QByteArray>
#include <QImage>

namespace {

[[noreturn]] void fail(const char *what, const QImage &image, const JpegHeader &header) {
    std::fprintf(stderr,
                 "decodeJpeg: %s\n  image %d x %d, format %d\n  header %d x %d, %d components\n",
                 what, image.width(), image.height(), static_cast<int>(image.format()),
                 header.width, header.height, header.components);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Not copied: the decoder reads libFuzzer's own buffer, which ends exactly where the
    // input does, so a read past the end lands outside the allocation.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    JpegHeader header;
    const QImage image = decodeJpeg(bytes, &header);
    if (image.isNull()) return 0;

    if (image.format() != QImage::Format_RGB888) fail("not RGB888", image, header);
    if (image.width() < 1 || image.height() < 1 || image.width() > 4096 || image.height() > 4096)
        fail("size out of range", image, header);
    if (image.width() != header.width || image.height() != header.height)
        fail("size differs from the frame header", image, header);
    if (header.components != 3) fail("not three components", image, header);
    // Touch the last pixel: the rows must all be there.
    volatile uchar last = image.constScanLine(image.height() - 1)[3 * image.width() - 1];
    (void)last;
    return 0;
}
