#include "browser/filename.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace melodrift {

namespace {

bool isUnsafeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F))
        return true;
    // Format characters such as U+202E can disguise an extension.
    return c.category() == QChar::Other_Format || c.isSurrogate() || u == 0xFFFD;
}

QString truncateToBytes(const QString& name, int maxBytes)
{
    if (name.toUtf8().size() <= maxBytes)
        return name;
    // Keep a short extension, shorten the stem on whole characters.
    const qsizetype dot = name.lastIndexOf(u'.');
    QString extension = (dot > 0 && name.size() - dot <= 10) ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - extension.size());
    const int budget = maxBytes - int(extension.toUtf8().size());
    int bytes = 0;
    qsizetype keep = 0;
    while (keep < stem.size()) {
        const int width = stem.at(keep).unicode() < 0x80 ? 1 : (stem.at(keep).unicode() < 0x800 ? 2 : 3);
        if (bytes + width > budget)
            break;
        bytes += width;
        ++keep;
    }
    return stem.left(keep) + extension;
}

} // namespace

QString SafeFileName(const QString& name)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\')
            safe.append(u'_');
        else if (!isUnsafeChar(c))
            safe.append(c);
    }
    // Cutting to length can join two dots again, so tidy up once more after it.
    for (int pass = 0; pass < 2; ++pass) {
        while (safe.contains(QStringLiteral("..")))
            safe.replace(QStringLiteral(".."), QStringLiteral("."));
        safe = safe.trimmed();
        while (safe.startsWith(u'.') || safe.startsWith(u' '))
            safe.remove(0, 1);
        while (safe.endsWith(u'.') || safe.endsWith(u' '))
            safe.chop(1);
        safe = truncateToBytes(safe, kMaxFileNameBytes);
    }
    if (safe.isEmpty() || safe == u"_")
        return QString::fromUtf16(kFallbackFileName);
    return safe;
}

QString ContentDispositionFileName(const QByteArray& header)
{
    const QString text = QString::fromLatin1(header);
    // RFC 5987: filename*=charset'language'percent-encoded
    static const QRegularExpression extended(QStringLiteral(R"((?:^|;)\s*filename\*\s*=\s*([^';]*)'[^']*'([^;]*))"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch ext = extended.match(text);
    if (ext.hasMatch()) {
        const QByteArray bytes = QByteArray::fromPercentEncoding(ext.captured(2).trimmed().toLatin1());
        QStringDecoder decoder(ext.captured(1).trimmed().toLatin1().constData());
        if (decoder.isValid()) {
            QString decoded = decoder.decode(bytes);
            if (!decoder.hasError() && !decoded.isEmpty())
                return decoded;
        }
    }
    static const QRegularExpression plain(
        QStringLiteral(R"re((?:^|;)\s*filename\s*=\s*(?:"((?:[^"\\]|\\.)*)"|([^;]*)))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = plain.match(text);
    if (!match.hasMatch())
        return {};
    if (match.capturedStart(1) >= 0) {
        QString quoted = match.captured(1);
        quoted.replace(QStringLiteral("\\\""), QStringLiteral("\""));
        // Servers send UTF-8 here more often than Latin-1.
        return QString::fromUtf8(quoted.toLatin1());
    }
    return QString::fromUtf8(match.captured(2).trimmed().toLatin1());
}

QString SuggestedFileName(const QByteArray& contentDisposition, const QUrl& url)
{
    QString name = ContentDispositionFileName(contentDisposition);
    if (SafeFileName(name) == QString::fromUtf16(kFallbackFileName))
        name = url.fileName(QUrl::FullyDecoded);
    return SafeFileName(name);
}

} // namespace melodrift
