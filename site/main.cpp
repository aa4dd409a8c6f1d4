// The demo music site as a program of its own: it prints the port, then every request.
#include "site/demosite.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Melodrift's demo music site; use it as the HTTP proxy."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any)."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption songOption(QStringLiteral("song-ms"),
                                        QStringLiteral("Length of every song in ms; 0: minutes, each its own."),
                                        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption rateOption(QStringLiteral("rate"),
                                        QStringLiteral("Bytes a second songs are sent at; 0: at once (default: %1).")
                                            .arg(melodrift::site::DemoSite::kDefaultSendRate),
                                        QStringLiteral("bytes"),
                                        QString::number(melodrift::site::DemoSite::kDefaultSendRate));
    const QCommandLineOption delayOption(QStringLiteral("answer-delay-ms"),
                                         QStringLiteral("How long every answer waits, as a far site's does."),
                                         QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption holdOption(QStringLiteral("tail-hold-ms"),
                                        QStringLiteral("Every song file holds its last tenth back this long."),
                                        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption wavOption(QStringLiteral("wav"), QStringLiteral("Songs are WAV files, not MP3."));
    parser.addOption(delayOption);
    parser.addOption(holdOption);
    parser.addOption(wavOption);
    parser.addOption(portOption);
    parser.addOption(songOption);
    parser.addOption(rateOption);
    parser.process(app);

    melodrift::site::DemoSite site;
    site.setSongMilliseconds(parser.value(songOption).toInt());
    site.setSendRate(parser.value(rateOption).toInt());
    site.setAnswerDelay(parser.value(delayOption).toInt());
    site.setTailHold(parser.value(holdOption).toInt());
    if (parser.isSet(wavOption))
        site.setSongFormat(melodrift::site::DemoSite::Format::Wav);
    if (!site.listen(static_cast<quint16>(parser.value(portOption).toUInt()))) {
        std::fprintf(stderr, "cannot listen on port %s\n", qPrintable(parser.value(portOption)));
        return 1;
    }
    std::printf("listening %u\n", unsigned(site.port()));
    std::fflush(stdout);
    QObject::connect(&site, &melodrift::site::DemoSite::requestSeen, [](const QString& url, const QByteArray& range) {
        if (range.isEmpty())
            std::printf("GET %s\n", url.toUtf8().constData());
        else
            std::printf("GET %s Range: %s\n", url.toUtf8().constData(), range.constData());
        std::fflush(stdout);
    });
    return app.exec();
}
