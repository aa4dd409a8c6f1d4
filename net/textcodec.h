#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace melodrift {

//! Decodes bytes in the named character set; nullopt when the name is not one we can decode.
[[nodiscard]] std::optional<QString> BytesToText(const QByteArray& bytes, const QString& charset);

//! Decodes bytes with the program's multibyte code page (936, GBK).
[[nodiscard]] QString DecodeGbk(QByteArrayView bytes);

//! Turns a response body into page text. "auto" follows the music site's rule (GBK when its head
//! declares "charset=gb2312", else UTF-8); any other selector names the character set.
[[nodiscard]] std::optional<QString> DecodePage(const QByteArray& body, const QString& charset);

} // namespace melodrift
