#include "net/textcodec.h"

#include "net/musicsite.h"

#include <QStringDecoder>

namespace melodrift {

namespace {
// "GB2312" selects a narrower converter with other substitutions; GBK is code page 936.
constexpr char kCodePage936[] = "GBK";
} // namespace

std::optional<QString> BytesToText(const QByteArray& bytes, const QString& charset)
{
    QStringDecoder decoder(charset.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    return QString(decoder.decode(bytes));
}

QString DecodeGbk(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodePage936, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // The converter drops a lead byte that the input cuts off; show it as any other bad byte.
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        i += (byte >= 0x81 && byte <= 0xFE) ? 2 : 1;
    }
    if (i > bytes.size())
        text.append(QChar::ReplacementCharacter);
    return text;
}

std::optional<QString> DecodePage(const QByteArray& body, const QString& charset)
{
    if (charset == u"auto") {
        const QString head = DecodeGbk(QByteArrayView(body).first(qMin(body.size(), musicsite::kCharsetHeadBytes)));
        if (head.contains(musicsite::kGbCharsetDeclaration))
            return DecodeGbk(body);
        if (body.isEmpty())
            return QString();
        return BytesToText(body, QStringLiteral("UTF-8"));
    }
    if (body.isEmpty())
        return QString();
    return BytesToText(body, charset);
}

} // namespace melodrift
