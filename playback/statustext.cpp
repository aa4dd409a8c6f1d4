#include "playback/statustext.h"

#include "controls/failuretext.h"

namespace melodrift {

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
        return u"出错：" + failureText(status.failure);
    }
    return {};
}

} // namespace melodrift
