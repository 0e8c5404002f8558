#include "platform/metafile/TextDecoding.h"

#include <QStringDecoder>
#include <algorithm>
#include <iterator>

namespace platform::metafile {

namespace {

// Windows-1252 code points 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

// Adobe Symbol encoding for the letters and signs formula editors use.
char16_t TextDecoding::symbolToUnicode(unsigned char c) {
    static constexpr char16_t kGreekUpper[26] = {
        0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
        0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,
        0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
    static constexpr char16_t kGreekLower[26] = {
        0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
        0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1,
        0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};
    if (c >= 'A' && c <= 'Z') {
        return kGreekUpper[c - 'A'];
    }
    if (c >= 'a' && c <= 'z') {
        return kGreekLower[c - 'a'];
    }
    // The other letters and signs, in increasing order of code.
    struct Sign {
        unsigned char code;
        char16_t unicode;
    };
    static constexpr Sign kSigns[] = {
        {0x22, 0x2200}, {0x24, 0x2203}, {0x27, 0x220B}, {0x2A, 0x2217}, {0x2D, 0x2212},
        {0x40, 0x2245}, {0x5C, 0x2234}, {0x5E, 0x22A5}, {0x60, 0xF8E5}, {0x7E, 0x223C},
        {0x7F, u' '},  // a code the face leaves empty
        {0xA0, 0x20AC}, {0xA1, 0x03D2}, {0xA2, 0x2032}, {0xA3, 0x2264}, {0xA4, 0x2044},
        {0xA5, 0x221E}, {0xA6, 0x0192}, {0xA7, 0x2663}, {0xA8, 0x2666}, {0xA9, 0x2665},
        {0xAA, 0x2660}, {0xAB, 0x2194}, {0xAC, 0x2190}, {0xAD, 0x2191}, {0xAE, 0x2192},
        {0xAF, 0x2193}, {0xB0, 0x00B0}, {0xB1, 0x00B1}, {0xB2, 0x2033}, {0xB3, 0x2265},
        {0xB4, 0x00D7}, {0xB5, 0x221D}, {0xB6, 0x2202}, {0xB7, 0x2022}, {0xB8, 0x00F7},
        {0xB9, 0x2260}, {0xBA, 0x2261}, {0xBB, 0x2248}, {0xBC, 0x2026}, {0xBD, 0x23D0},
        {0xBE, 0x23AF}, {0xBF, 0x21B5}, {0xC0, 0x2135}, {0xC1, 0x2111}, {0xC2, 0x211C},
        {0xC3, 0x2118}, {0xC4, 0x2297}, {0xC5, 0x2295}, {0xC6, 0x2205}, {0xC7, 0x2229},
        {0xC8, 0x222A}, {0xC9, 0x2283}, {0xCA, 0x2287}, {0xCB, 0x2284}, {0xCC, 0x2282},
        {0xCD, 0x2286}, {0xCE, 0x2208}, {0xCF, 0x2209}, {0xD0, 0x2220}, {0xD1, 0x2207},
        {0xD2, 0x00AE}, {0xD3, 0x00A9}, {0xD4, 0x2122}, {0xD5, 0x220F}, {0xD6, 0x221A},
        {0xD7, 0x22C5}, {0xD8, 0x00AC}, {0xD9, 0x2227}, {0xDA, 0x2228}, {0xDB, 0x21D4},
        {0xDC, 0x21D0}, {0xDD, 0x21D1}, {0xDE, 0x21D2}, {0xDF, 0x21D3}, {0xE0, 0x25CA},
        {0xE1, 0x2329}, {0xE2, 0x00AE}, {0xE3, 0x00A9}, {0xE4, 0x2122}, {0xE5, 0x2211},
        {0xF0, u' '},  // a code the face leaves empty
        {0xF1, 0x232A}, {0xF2, 0x222B}, {0xF3, 0x2320}, {0xF4, 0x23AE}, {0xF5, 0x2321},
        {0xFF, u' '},  // a code the face leaves empty
    };
    const auto* sign = std::lower_bound(std::begin(kSigns), std::end(kSigns), c,
                                        [](const Sign& s, unsigned char k) { return s.code < k; });
    if (sign != std::end(kSigns) && sign->code == c) {
        return sign->unicode;
    }
    if (c >= 0x80 && c < 0xA0) {
        return u' ';
    }
    // Bracket pieces: 0xE6..0xEF and 0xF6..0xFE.
    if (c >= 0xE6 && c <= 0xEF) {
        static constexpr char16_t kLeft[10] = {0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2,
                                               0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA};
        return kLeft[c - 0xE6];
    }
    if (c >= 0xF6 && c <= 0xFE) {
        static constexpr char16_t kRight[9] = {0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,
                                               0x23A6, 0x23AB, 0x23AC, 0x23AD};
        return kRight[c - 0xF6];
    }
    return c < 0x80 ? char16_t(c) : char16_t(0xF000 + c);
}

namespace {

const char* encodingForCharset(int charset) {
    switch (charset) {
        case 128:
            return "Shift_JIS";
        case 129:
            return "EUC-KR";
        case 134:
            return "GBK";
        case 136:
            return "Big5";
        case 161:
            return "windows-1253";
        case 162:
            return "windows-1254";
        case 177:
            return "windows-1255";
        case 178:
            return "windows-1256";
        case 186:
            return "windows-1257";
        case 204:
            return "windows-1251";
        case 222:
            return "TIS-620";
        case 238:
            return "windows-1250";
        default:
            return nullptr;
    }
}

}  // namespace

QString TextDecoding::decodeAnsi(const char* data, qsizetype length, int charset) {
    if (charset == 2) {
        // A symbol font's codes stay codes: the face decides what they show.
        return QString::fromLatin1(data, length);
    }
    if (const char* name = encodingForCharset(charset)) {
        QStringDecoder decoder(name);
        if (decoder.isValid()) {
            return decoder.decode(QByteArrayView(data, length));
        }
    }
    QString out;
    out.reserve(length);
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        out.append(QChar(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c)));
    }
    return out;
}

QString TextDecoding::decodeAnsiName(ByteReader& reader, int maxBytes) {
    QByteArray bytes;
    for (int i = 0; i < maxBytes && reader.has(1); ++i) {
        const char c = static_cast<char>(reader.u8());
        if (c == 0) {
            break;
        }
        bytes.append(c);
    }
    return decodeAnsi(bytes.constData(), bytes.size(), 0).trimmed();
}

QString TextDecoding::decodeUtf16Name(ByteReader& reader, int maxChars) {
    QString name;
    for (int i = 0; i < maxChars && reader.has(2); ++i) {
        const char16_t c = reader.u16();
        if (c == 0) {
            break;
        }
        name.append(QChar(c));
    }
    return name.trimmed();
}

QString TextDecoding::decodeUtf16(ByteReader& reader, qsizetype count) {
    QString text;
    text.reserve(count);
    for (qsizetype i = 0; i < count && reader.has(2); ++i) {
        text.append(QChar(char16_t(reader.u16())));
    }
    return text;
}

}  // namespace platform::metafile
