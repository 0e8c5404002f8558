#include "platform/metafile/TextDecoding.h"

#include <QStringDecoder>

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
    switch (c) {
        case 0x22:
            return 0x2200;
        case 0x24:
            return 0x2203;
        case 0x27:
            return 0x220B;
        case 0x2A:
            return 0x2217;
        case 0x2D:
            return 0x2212;
        case 0x40:
            return 0x2245;
        case 0x5C:
            return 0x2234;
        case 0x5E:
            return 0x22A5;
        case 0x60:
            return 0xF8E5;
        case 0x7E:
            return 0x223C;
        case 0xA3:
            return 0x2264;
        case 0xA5:
            return 0x221E;
        case 0xAB:
            return 0x2194;
        case 0xAC:
            return 0x2190;
        case 0xAD:
            return 0x2191;
        case 0xAE:
            return 0x2192;
        case 0xAF:
            return 0x2193;
        case 0xB0:
            return 0x00B0;
        case 0xB1:
            return 0x00B1;
        case 0xB3:
            return 0x2265;
        case 0xB4:
            return 0x00D7;
        case 0xB5:
            return 0x221D;
        case 0xB6:
            return 0x2202;
        case 0xB7:
            return 0x2022;
        case 0xB8:
            return 0x00F7;
        case 0xB9:
            return 0x2260;
        case 0xBA:
            return 0x2261;
        case 0xBB:
            return 0x2248;
        case 0xBC:
            return 0x2026;
        case 0xC5:
            return 0x2295;
        case 0xC7:
            return 0x2229;
        case 0xC8:
            return 0x222A;
        case 0xCE:
            return 0x2208;
        case 0xCF:
            return 0x2209;
        case 0xD0:
            return 0x2220;
        case 0xD1:
            return 0x2207;
        case 0xD5:
            return 0x220F;
        case 0xD6:
            return 0x221A;
        case 0xD7:
            return 0x22C5;
        case 0xD8:
            return 0x00AC;
        case 0xD9:
            return 0x2227;
        case 0xDA:
            return 0x2228;
        case 0xDB:
            return 0x21D4;
        case 0xDE:
            return 0x21D2;
        case 0xE1:
            return 0x2329;
        case 0xE5:
            return 0x2211;
        case 0xF1:
            return 0x232A;
        case 0xF2:
            return 0x222B;
        case 0xA2:
            return 0x2032;
        case 0xB2:
            return 0x2033;
        case 0xC4:
            return 0x2297;
        case 0xC6:
            return 0x2205;
        case 0xC9:
            return 0x2283;
        case 0xCC:
            return 0x2282;
        case 0xE0:
            return 0x25CA;
        case 0xBD:
            return 0x23D0;
        case 0xBE:
            return 0x23AF;
        case 0xF3:
            return 0x2320;
        case 0xF4:
            return 0x23AE;
        case 0xF5:
            return 0x2321;
        case 0xA0:
            return 0x20AC;
        case 0xA1:
            return 0x03D2;
        case 0xA4:
            return 0x2044;
        case 0xA6:
            return 0x0192;
        case 0xA7:
            return 0x2663;
        case 0xA8:
            return 0x2666;
        case 0xA9:
            return 0x2665;
        case 0xAA:
            return 0x2660;
        case 0xBF:
            return 0x21B5;
        case 0xC0:
            return 0x2135;
        case 0xC1:
            return 0x2111;
        case 0xC2:
            return 0x211C;
        case 0xC3:
            return 0x2118;
        case 0xCA:
            return 0x2287;
        case 0xCB:
            return 0x2284;
        case 0xCD:
            return 0x2286;
        case 0xD2:
            return 0x00AE;
        case 0xD3:
            return 0x00A9;
        case 0xD4:
            return 0x2122;
        case 0xDC:
            return 0x21D0;
        case 0xDD:
            return 0x21D1;
        case 0xDF:
            return 0x21D3;
        case 0xE2:
            return 0x00AE;
        case 0xE3:
            return 0x00A9;
        case 0xE4:
            return 0x2122;
        case 0x7F:
        case 0xF0:
        case 0xFF:
            return u' ';  // codes the face leaves empty
        default:
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
