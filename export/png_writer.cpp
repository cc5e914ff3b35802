#include "export/png_writer.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <exception>
#include <string>

#include <QImage>
#include <QtEndian>

#include "platform/stream.h"
#include "report/qr_export_filter.h"

namespace qrp {

// libpng reports errors by a long jump back to the call that set it up;
// between such a call and libpng there are only plain values, so nothing
// with a destructor is jumped over. The stream's C++ errors are caught in the
// write callback and raised again once libpng has returned.
struct TPngWriter::TState {
    TStream& Out;
    QSize Size;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::int64_t Written = 0;
    bool Finished = false;
    std::exception_ptr StreamError;
    char Message[200] = {};

    explicit TState(TStream& out) : Out(out) {}
    ~TState()
    {
        if (Png)
            png_destroy_write_struct(&Png, Info ? &Info : nullptr);
    }
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;

    [[noreturn]] void Fail()
    {
        if (StreamError)
            std::rethrow_exception(StreamError);
        throw EQRExportError(std::string("PNG: ") + (Message[0] ? Message : "libpng failed"));
    }
};

namespace {

void OnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<TPngWriter::TState*>(png_get_error_ptr(png));
    std::strncpy(state->Message, message ? message : "", sizeof state->Message - 1);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, std::size_t length)
{
    auto* state = static_cast<TPngWriter::TState*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        state->Out.WriteBuffer(data, length);
    } catch (...) {
        state->StreamError = std::current_exception();
        failed = true;
    }
    if (failed)
        png_error(png, "the picture cannot be written");
}

void OnFlush(png_structp) {}

}  // namespace

TPngWriter::TPngWriter(TStream& out, QSize size, double dotsPerInch, const TPngSettings& settings)
    : State(std::make_unique<TState>(out))
{
    TState& s = *State;
    s.Size = size;
    s.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, OnError, OnWarning);
    if (!s.Png)
        throw EQRExportError("PNG: libpng cannot start");
    s.Info = png_create_info_struct(s.Png);
    if (!s.Info)
        throw EQRExportError("PNG: libpng cannot start");
    const auto dotsPerMeter = static_cast<png_uint_32>(std::lround(dotsPerInch / 0.0254));
    if (setjmp(png_jmpbuf(s.Png)))
        s.Fail();
    png_set_write_fn(s.Png, &s, OnWrite, OnFlush);
    // libpng's own default stops at a million pixels a side; PNG's is 2^31 - 1.
    png_set_user_limits(s.Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_compression_level(s.Png, settings.CompressionLevel);
    png_set_filter(s.Png, PNG_FILTER_TYPE_BASE, settings.Filters);
    if (settings.Strategy >= 0)
        png_set_compression_strategy(s.Png, settings.Strategy);
    // Larger compressed chunks than libpng's 8 KB: fewer calls and chunk headers.
    png_set_compression_buffer_size(s.Png, 64 * 1024);
    png_set_IHDR(s.Png, s.Info, static_cast<png_uint_32>(size.width()), static_cast<png_uint_32>(size.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(s.Png, s.Info, dotsPerMeter, dotsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(s.Png, s.Info);
    // RGB32 pixels are 0xffRRGGBB words: B, G, R, 0xff in memory on little-endian machines.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(s.Png);
    png_set_filler(s.Png, 0, PNG_FILLER_AFTER);
#else
    png_set_filler(s.Png, 0, PNG_FILLER_BEFORE);
#endif
}

TPngWriter::~TPngWriter() = default;

void TPngWriter::WriteRows(const QImage& strip, int rows)
{
    TState& s = *State;
    if (strip.format() != QImage::Format_RGB32 || strip.width() != s.Size.width() || rows < 0 ||
        rows > strip.height() || s.Written + rows > s.Size.height() || s.Finished)
        throw EQRExportError("PNG: rows that do not fit the picture");
    if (setjmp(png_jmpbuf(s.Png)))
        s.Fail();
    for (int y = 0; y < rows; ++y)
        png_write_row(s.Png, const_cast<png_bytep>(strip.constScanLine(y)));
    s.Written += rows;
}

void TPngWriter::Finish()
{
    TState& s = *State;
    if (s.Written != s.Size.height() || s.Finished)
        throw EQRExportError("PNG: the picture is missing rows");
    if (setjmp(png_jmpbuf(s.Png)))
        s.Fail();
    png_write_end(s.Png, s.Info);
    s.Finished = true;
}

std::int64_t TPngWriter::RowsWritten() const { return State->Written; }

}  // namespace qrp
