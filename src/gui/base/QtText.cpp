#include "gui/base/QtText.h"

#include <QStringDecoder>

namespace vantrel {

QString FromBytes(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? FromLatin1(bytes) : text;
}

QString FromLatin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLatin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

namespace {

// The length of the UTF-8 sequence at p (at most n bytes), 0 when the bytes
// there are no valid UTF-8 (overlong forms and surrogates included).
std::size_t Utf8Length(const unsigned char* p, std::size_t n)
{
    const unsigned char b = p[0];
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (n < len || p[1] < lo || p[1] > hi) return 0;
    for (std::size_t i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return len;
}

constexpr char16_t kEscapeBase = 0xDC00;  // a byte that is no UTF-8 becomes the lone surrogate 0xDC00 + byte

}  // namespace

// File names are bytes: UTF-8 is shown as text, and every other byte is kept
// as a lone surrogate that ToPath turns back into the same byte.
QString FromPath(const std::string& path)
{
    const auto* p = reinterpret_cast<const unsigned char*>(path.data());
    QString text;
    for (std::size_t i = 0; i < path.size();) {
        const std::size_t len = Utf8Length(p + i, path.size() - i);
        if (len == 0) {
            text += QChar(static_cast<char16_t>(kEscapeBase + p[i]));
            ++i;
        } else {
            text += QString::fromUtf8(path.data() + i, static_cast<qsizetype>(len));
            i += len;
        }
    }
    return text;
}

QString FirstNonLatin1(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() <= 0xFF) continue;
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        return text.mid(i, pair ? 2 : 1);
    }
    return {};
}

std::string ToPath(const QString& path)
{
    std::string bytes;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path[i].unicode();
        if (path[i].isHighSurrogate() && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            bytes += path.mid(i, 2).toUtf8().toStdString();
            ++i;
        } else if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
            bytes += static_cast<char>(u - kEscapeBase);
        } else {
            bytes += QString(path[i]).toUtf8().toStdString();
        }
    }
    return bytes;
}

}  // namespace vantrel
