#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "browser/defaultbrowser.h"
#include "playback/qtmediaplayer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    melodrift::MainWindow window({QCoreApplication::applicationDirPath(),
                                  std::make_shared<melodrift::GioDesktopLauncher>(),
                                  std::make_shared<melodrift::QtDialogs>(), new melodrift::QtMediaPlayer});
    window.Form_Load();
    window.show();
    return app.exec();
}
