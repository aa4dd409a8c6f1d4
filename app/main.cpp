#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "browser/defaultbrowser.h"
#include "playback/qtmediaplayer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt's own dialogs speak the program's language too.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    melodrift::MainWindow window({QCoreApplication::applicationDirPath(),
                                  std::make_shared<melodrift::GioDesktopLauncher>(),
                                  std::make_shared<melodrift::QtDialogs>(), new melodrift::QtMediaPlayer});
    window.Form_Load();
    window.show();
    return app.exec();
}
