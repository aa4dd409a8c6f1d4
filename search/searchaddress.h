#pragma once

#include <QString>

namespace melodrift {

//! "http://<search host>/so.asp?key=<keyword encoded by UrlEncodeGb>": the first result page.
[[nodiscard]] QString SearchAddress(const QString& keyword);
//! "http://<search host>/so.asp?page=<pageNo>&key=<encoded keyword>": a further result page.
[[nodiscard]] QString NextPageAddress(const QString& pageNo, const QString& keyword);
//! "2" for "1", "10" for "9": the page number read as a number, plus one, in general form.
[[nodiscard]] QString NextPageNo(const QString& pageNo);

} // namespace melodrift
