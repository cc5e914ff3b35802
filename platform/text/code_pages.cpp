#include "platform/text/code_pages.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace qrp {

int CodePageOfCharset(std::uint8_t charset)
{
    switch (charset) {
    case 77: return 10000;   // MAC_CHARSET
    case 128: return 932;    // SHIFTJIS_CHARSET
    case 129: return 949;    // HANGUL_CHARSET
    case 130: return 1361;   // JOHAB_CHARSET
    case 134: return 936;    // GB2312_CHARSET
    case 136: return 950;    // CHINESEBIG5_CHARSET
    case 161: return 1253;   // GREEK_CHARSET
    case 162: return 1254;   // TURKISH_CHARSET
    case 163: return 1258;   // VIETNAMESE_CHARSET
    case 177: return 1255;   // HEBREW_CHARSET
    case 178: return 1256;   // ARABIC_CHARSET
    case 186: return 1257;   // BALTIC_CHARSET
    case RUSSIAN_CHARSET: return 1251;
    case 222: return 874;    // THAI_CHARSET
    case EASTEUROPE_CHARSET: return 1250;
    case 255: return 437;    // OEM_CHARSET
    default: return 1252;    // ANSI, DEFAULT, SYMBOL and unknown sets
    }
}

namespace {
std::string IconvName(int codePage)
{
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 1361: return "JOHAB";
    default: return "CP" + std::to_string(codePage);
    }
}

bool IsSingleByte(int codePage)
{
    return codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950 && codePage != 1361;
}

// One converter per code page, opened on first use; iconv handles are not
// shareable between threads, so conversions are serialised.
class Converters {
public:
    std::u16string Decode(std::span<const std::uint8_t> text, int codePage)
    {
        std::lock_guard guard(Mutex);
        iconv_t cd = Open(codePage);
        std::u16string result;
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            for (const std::uint8_t b : text)
                result.push_back(b);
            return result;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> out(text.size() * 4 + 8);
        auto* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
        std::size_t inLeft = text.size();
        while (inLeft > 0) {
            char* outPtr = out.data();
            std::size_t outLeft = out.size();
            const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
            Append(result, out.data(), static_cast<std::size_t>(outPtr - out.data()));
            if (done != static_cast<std::size_t>(-1))
                break;
            if (errno == EILSEQ && IsSingleByte(codePage)) {
                result.push_back(static_cast<std::uint8_t>(*in));  // undefined byte: itself
                ++in;
                --inLeft;
            } else if (errno == E2BIG) {
                continue;
            } else {
                result.push_back(u'\uFFFD');
                ++in;
                --inLeft;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return result;
    }

    ~Converters()
    {
        for (const auto& [page, cd] : Open_)
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
    }

private:
    static void Append(std::u16string& result, const char* utf16le, std::size_t bytes)
    {
        for (std::size_t i = 0; i + 1 < bytes; i += 2)
            result.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(utf16le[i]) |
                                                   (static_cast<std::uint8_t>(utf16le[i + 1]) << 8)));
    }

    iconv_t Open(int codePage)
    {
        const auto found = Open_.find(codePage);
        if (found != Open_.end())
            return found->second;
        const iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage).c_str());
        Open_.emplace(codePage, cd);
        return cd;
    }

    std::mutex Mutex;
    std::map<int, iconv_t> Open_;
};
}  // namespace

std::u16string DecodeCodePage(std::span<const std::uint8_t> text, int codePage)
{
    static Converters converters;
    return converters.Decode(text, codePage);
}

}  // namespace qrp
