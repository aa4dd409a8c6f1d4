#pragma once

#include <QString>
#include <QStringView>

namespace melodrift {

//! The one music site the program knows: where it lives, how its addresses are made, how its
//! result pages mark their songs and how its pages say their character set. The program, its
//! tests and the demo site all read it from here.
namespace musicsite {

//! Host of the song pages ("/play/", "/mp3.asp?id=").
[[nodiscard]] QString siteHost();
//! Host of the search pages ("/so.asp").
[[nodiscard]] QString searchHost();
//! Host that offers the 360 browser's installer ("/inst.exe").
[[nodiscard]] QString installerHost360();

inline constexpr QStringView kScheme = u"http://";
inline constexpr QStringView kSearchPath = u"/so.asp";
inline constexpr QStringView kSongPagePath = u"/mp3.asp";
inline constexpr QStringView kPlayPath = u"/play/";
inline constexpr QStringView kInstallerPath = u"/inst.exe";

//! Where a result page's songs begin and end; each marker may be missing.
inline constexpr QStringView kResultsBegin = u"class=\"songNum\"";
inline constexpr QStringView kResultsEnd = u"soBottom";

//! "auto" pages: GBK when the first kCharsetHeadBytes declare exactly this, else UTF-8.
inline constexpr QStringView kGbCharsetDeclaration = u"charset=gb2312";
inline constexpr qsizetype kCharsetHeadBytes = 1000;

//! "http://" + host.
[[nodiscard]] QString origin(const QString& host);
//! A song page address up to its ID: "http://<host>/mp3.asp?id=".
[[nodiscard]] QString songPagePrefix(const QString& host);
//! What a result link's address holds before a song's ID: "<host>/play/".
[[nodiscard]] QString playPathPrefix(const QString& host);
//! The link pattern, run case-insensitively over a result page's songs.
[[nodiscard]] QString songLinkPattern();
//! Where the 360 browser's installer is offered.
[[nodiscard]] QString installerUrl360();

} // namespace musicsite

//! "http://<search host>/so.asp?key=<keyword encoded by UrlEncodeGb>": the first result page.
[[nodiscard]] QString SearchAddress(const QString& keyword);
//! "http://<search host>/so.asp?page=<pageNo>&key=<encoded keyword>": a further result page.
[[nodiscard]] QString NextPageAddress(const QString& pageNo, const QString& keyword);
//! "http://<site host>/mp3.asp?id=<id>", the ID unchanged: the address the player and the
//! browsers are given for a song.
[[nodiscard]] QString SongPageUrl(const QString& id);

} // namespace melodrift
