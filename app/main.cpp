#include "app/mainwindow.h"
#include "app/startup.h"
#include "browser/defaultbrowser.h"
#include "controls/dialogs.h"
#include "controls/fixedwindow.h"
#include "playback/gstplayer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <optional>

namespace {

//! --help and --version answer on the terminal before any window; other arguments are ignored.
//! Returns the exit status when the program is to end here.
std::optional<int> answerCommandLine(const QStringList& arguments)
{
    QCoreApplication::setApplicationName(QStringLiteral("melodrift"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MELODRIFT_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds songs on a Chinese MP3 music site by keyword and plays them in its window.\n"
                       "The site is reached over plain HTTP; http_proxy is honoured."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    (void)parser.parse(arguments); // unknown arguments are not ours to refuse
    if (parser.isSet(help) || arguments.contains(u"--help-all")) {
        // No application object yet to name the program.
        std::fputs(qPrintable(parser.helpText().replace(u"<executable_name>"_qs, u"melodrift"_qs)), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("melodrift %s\n", MELODRIFT_VERSION);
        return 0;
    }
    return std::nullopt;
}

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList arguments = argumentList(argc, argv);
    if (const std::optional<int> status = answerCommandLine(arguments))
        return *status;
    melodrift::prepareDesktop(arguments);
    std::optional<melodrift::WindowStartGuard> guard(arguments);
    QApplication app(argc, argv);
    guard.reset();
    melodrift::letFixedWindowsMaximize();
    // Qt's own dialogs speak the program's language too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    melodrift::MainWindow window({QCoreApplication::applicationDirPath(),
                                  std::make_shared<melodrift::GioDesktopLauncher>(),
                                  std::make_shared<melodrift::QtDialogs>(), new melodrift::GstPlayer});
    window.Form_Load();
    window.show();
    return app.exec();
}
