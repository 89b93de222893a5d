#include "jpegdecode.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including its header
#include <jpeglib.h>

namespace {

constexpr JDIMENSION MaxSide = 4096;

// libjpeg's own error handler prints and ends the process. This one jumps back to the
// decoder, which releases the decompressor and reports an empty picture.
struct ErrorManager {
    jpeg_error_mgr pub; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// Warnings (negative levels) mean corrupt data that libjpeg would paper over, such as
// a file that ends early, whose missing rows it fills with grey: treated as errors.
// Trace messages are not wanted.
void emitMessage(j_common_ptr cinfo, int msgLevel) {
    if (msgLevel < 0) errorExit(cinfo);
}

void outputMessage(j_common_ptr) {}

// Outside the function that calls setjmp, so that the QImage temporaries made here
// are gone before libjpeg can jump.
bool allocate(QImage *image, JDIMENSION width, JDIMENSION height) {
    *image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    return !image->isNull();
}

// Runs libjpeg from the header to the last row. Between setjmp and any longjmp this
// function holds nothing but plain C data: no destructor would be skipped by the jump,
// and no local variable is changed after setjmp, so none is left indeterminate.
bool runDecompressor(jpeg_decompress_struct *cinfo, ErrorManager *err, const QByteArray *data,
                     QImage *image, JpegHeader *header) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char *>(data->constData()),
                 static_cast<unsigned long>(data->size()));
    jpeg_read_header(cinfo, TRUE);
    header->width = static_cast<int>(cinfo->image_width);
    header->height = static_cast<int>(cinfo->image_height);
    header->components = cinfo->num_components;
    header->jfif = cinfo->saw_JFIF_marker;
    header->progressive = cinfo->progressive_mode;
    if (cinfo->image_width > MaxSide || cinfo->image_height > MaxSide) return false;
    if (cinfo->num_components != 3 ||
        (cinfo->jpeg_color_space != JCS_YCbCr && cinfo->jpeg_color_space != JCS_RGB))
        return false;
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (!allocate(image, cinfo->output_width, cinfo->output_height)) return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(cinfo->output_scanline));
        // From memory libjpeg never waits for more data; no row means no progress.
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data, JpegHeader *header) {
    JpegHeader read;
    // Zeroed, so that releasing it is safe whatever point libjpeg failed at.
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.pub.output_message = outputMessage;
    QImage image;
    const bool ok = runDecompressor(&cinfo, &err, &data, &image, &read);
    jpeg_destroy_decompress(&cinfo);
    if (header) *header = read;
    return ok ? image : QImage();
}
