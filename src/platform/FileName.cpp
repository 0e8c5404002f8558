#include "platform/FileName.h"

namespace platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

void appendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// The length of the valid UTF-8 sequence starting at `at` and its code point, or 0 when the
// byte there does not start one (overlong forms and encoded surrogates are not valid).
int utf8Sequence(const QByteArray& bytes, int at, char32_t* code) {
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

}  // namespace

QByteArray encodeFileName(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(unit, path[i + 1].unicode()));
            ++i;
        } else if (isEscapedByte(unit)) {
            out.append(char(unit - kEscapeBase));
        } else if (QChar::isSurrogate(unit)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

QString decodeFileName(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (int i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.append(QChar(lead));
            ++i;
            continue;
        }
        char32_t code = 0;
        const int length = utf8Sequence(bytes, i, &code);
        if (length == 0) {
            out.append(QChar(char16_t(kEscapeBase + lead)));
            ++i;
            continue;
        }
        const char32_t units[] = {code};
        out.append(QString::fromUcs4(units, 1));
        i += length;
    }
    return out;
}

QString displayFileName(const QString& path) {
    if (!hasForeignBytes(path))
        return path;
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (isEscapedByte(shown[i].unicode()) &&
            (i == 0 || !QChar::isHighSurrogate(shown[i - 1].unicode())))
            shown[i] = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

bool hasForeignBytes(const QString& path) {
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isEscapedByte(path[i].unicode()) &&
            (i == 0 || !QChar::isHighSurrogate(path[i - 1].unicode())))
            return true;
    }
    return false;
}

}  // namespace platform
