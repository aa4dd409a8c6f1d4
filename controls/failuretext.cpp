#include "controls/failuretext.h"

namespace melodrift {

QString failureText(const Failure& failure)
{
    switch (failure.kind) {
    case Failure::None:
        return {};
    case Failure::Refused:
        return QStringLiteral("连接被拒绝");
    case Failure::HostNotFound:
        return QStringLiteral("找不到服务器");
    case Failure::TimedOut:
        return QStringLiteral("连接超时");
    case Failure::Interrupted:
        return QStringLiteral("连接中断");
    case Failure::RedirectLoop:
        return QStringLiteral("网页转向出错");
    case Failure::Unreachable:
        return QStringLiteral("无法连接");
    case Failure::TooLarge:
        return QStringLiteral("网页太大");
    case Failure::Undecodable:
        return QStringLiteral("网页无法解码");
    case Failure::HttpStatus:
        return QStringLiteral("服务器回答 %1").arg(failure.status);
    case Failure::WriteError:
        return failure.detail.isEmpty() ? QStringLiteral("无法写入") : failure.detail;
    case Failure::LaunchError:
        return failure.detail.isEmpty() ? QStringLiteral("无法启动") : failure.detail;
    case Failure::Unsupported:
        return QStringLiteral("不支持的媒体格式");
    case Failure::AccessDenied:
        return QStringLiteral("拒绝访问");
    case Failure::SoundOutput:
        return QStringLiteral("无法连接声音设备");
    case Failure::Unplayable:
        return QStringLiteral("无法打开该地址");
    }
    return {};
}

} // namespace melodrift
