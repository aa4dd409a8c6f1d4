#include "playback/statustext.h"

namespace melodrift {

namespace {

QString reason(QMediaPlayer::Error error)
{
    switch (error) {
    case QMediaPlayer::FormatError:
        return QStringLiteral("不支持的媒体格式");
    case QMediaPlayer::NetworkError:
        return QStringLiteral("网络错误");
    case QMediaPlayer::AccessDeniedError:
        return QStringLiteral("拒绝访问");
    default:
        return QStringLiteral("无法打开该地址");
    }
}

} // namespace

QString playerStatusText(const PlayerStatus& status)
{
    switch (status.kind) {
    case PlayerStatus::None:
        return {};
    case PlayerStatus::Connecting:
        return QStringLiteral("正在连接…");
    case PlayerStatus::Reconnecting:
        return QStringLiteral("正在重新连接…");
    case PlayerStatus::Buffering:
        return QStringLiteral("正在缓冲…");
    case PlayerStatus::Playing:
        return QStringLiteral("正在播放");
    case PlayerStatus::Paused:
        return QStringLiteral("已暂停");
    case PlayerStatus::Stopped:
        return QStringLiteral("已停止");
    case PlayerStatus::Ended:
        return QStringLiteral("播放完毕");
    case PlayerStatus::Failed:
        return u"出错：" + reason(status.error);
    }
    return {};
}

} // namespace melodrift
