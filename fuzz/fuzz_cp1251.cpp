// Windows-1251: every byte string up to its first zero byte survives a round trip through
// text, the conversion never reads past the length it is given, and any text converts to
// bytes that read back as the text, with '?' for what the code page cannot hold.
//
// Input: the bytes, and the same bytes as UTF-16 code units.
#include "fuzz_support.h"

#include "models/cp1251.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A buffer of exactly the input's length, without a terminating zero.
    const std::vector<char> bytes(data, data + size);
    const QString text = FromCp1251(bytes.data(), int(bytes.size()));
    const QByteArray upToZero(bytes.data(),
                              int(std::find(bytes.begin(), bytes.end(), '\0') - bytes.begin()));
    fuzz::Require(ToCp1251(text) == upToZero, "bytes survive a round trip through text");

    const QString unicode(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    const QByteArray encoded = ToCp1251(unicode);
    const QString decoded = FromCp1251(encoded.constData(), int(encoded.size()));
    fuzz::Require(ToCp1251(decoded) == encoded.left(decoded.size()),
                  "converted text converts again to the same bytes");
    // Characters come back, or '?' stands for them; a character beyond U+FFFF is one '?'.
    qsizetype from = 0;
    for (const QChar c : decoded) {
        fuzz::Require(from < unicode.size(), "no more characters come back than went in");
        const bool pair = unicode[from].isHighSurrogate() && from + 1 < unicode.size() &&
                          unicode[from + 1].isLowSurrogate();
        fuzz::Require(c == unicode[from] || c == QLatin1Char('?'),
                      "a character comes back as itself or as '?'");
        from += pair ? 2 : 1;
    }
    return 0;
}
