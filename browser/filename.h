#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace melodrift {

//! Longest file name we suggest, in UTF-8 bytes (file systems allow 255).
inline constexpr int kMaxFileNameBytes = 200;
//! Suggested when nothing usable is left of a name.
inline constexpr char16_t kFallbackFileName[] = u"download";

//! A name from a web page made safe to save under: no folder separators, no "..", no control or
//! format characters, no leading dot, at most kMaxFileNameBytes; the fallback name when empty.
[[nodiscard]] QString SafeFileName(const QString& name);

//! The file name a Content-Disposition header gives (filename* before filename), unsanitised;
//! "" when it gives none.
[[nodiscard]] QString ContentDispositionFileName(const QByteArray& header);

//! The safe name to suggest for a download: the header's file name, else the address's last segment.
[[nodiscard]] QString SuggestedFileName(const QByteArray& contentDisposition, const QUrl& url);

} // namespace melodrift
