#include "net/urlencode.h"

#include <QStringEncoder>

namespace melodrift {

namespace {

void appendEscape(QString& out, unsigned char byte)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    out.append(u'%');
    out.append(QChar(kHex[byte >> 4]));
    out.append(QChar(kHex[byte & 0x0F]));
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

QString UrlEncodeGb(const QString& keyword)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    QString out;
    out.reserve(keyword.size() * 3);
    for (const QChar qc : keyword) {
        const char16_t c = qc.unicode();
        if (c < 0x80 && QStringView(u"-,.0123456789/").contains(qc)) {
            out.append(qc);
            continue;
        }
        // Each half of a surrogate pair is a character the code page cannot hold.
        QByteArray bytes = qc.isSurrogate() ? QByteArray("?") : QByteArray(encoder.encode(QStringView(&qc, 1)));
        if (bytes.isEmpty())
            bytes = "?";
        if (bytes.size() == 2) {
            appendEscape(out, static_cast<unsigned char>(bytes[0]));
            appendEscape(out, static_cast<unsigned char>(bytes[1]));
        } else if (isAsciiLetter(c)) {
            out.append(qc);
        } else {
            appendEscape(out, static_cast<unsigned char>(bytes[0]));
        }
    }
    return out;
}

} // namespace melodrift
