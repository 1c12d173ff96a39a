#include "systemreason.h"

namespace krv {

namespace {

// A reason in Chinese and the system's English words for it, exactly as they
// come (the English is also the entry's disambiguation, so that a translator
// sees it and two system texts with the same Chinese stay apart). "%1" stands
// for a part taken over as it is (a file name).
struct Reason
{
    const char *chinese;
    const char *system;
};

constexpr Reason Reasons[] = {
    // The C library (strerror), through QFile, QSaveFile and QSerialPort.
    QT_TRANSLATE_NOOP3("krv::SystemReason", "文件或目录不存在", "No such file or directory"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "没有访问权限", "Permission denied"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "不允许此操作", "Operation not permitted"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备上没有剩余空间", "No space left on device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "超出磁盘配额", "Disk quota exceeded"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "这是一个目录", "Is a directory"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "路径中有一项不是目录", "Not a directory"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "文件系统为只读", "Read-only file system"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "文件过大", "File too large"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "文件名过长", "File name too long"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备或资源忙", "Device or resource busy"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "资源暂时不可用", "Resource temporarily unavailable"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "输入/输出错误", "Input/output error"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备不存在", "No such device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备或地址不存在", "No such device or address"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备不支持此操作", "Inappropriate ioctl for device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "连接超时", "Connection timed out"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "连接被拒绝", "Connection refused"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "没有到主机的路由", "No route to host"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "网络不可达", "Network is unreachable"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "连接被对方重置", "Connection reset by peer"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "管道已断开", "Broken pipe"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "未知错误", "Unknown error"),
    // Qt's network classes.
    QT_TRANSLATE_NOOP3("krv::SystemReason", "找不到主机", "Host not found"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "网络不可达", "Network unreachable"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "远程主机关闭了连接",
                       "The remote host closed the connection"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "套接字操作超时", "Socket operation timed out"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "地址无效", "Invalid address"),
    // QSerialPort's own texts.
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备已经打开", "Device is already open"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备没有打开", "Device is not open"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "操作超时", "Operation timed out"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "从设备读取出错", "Error reading from device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "向设备写入出错", "Error writing to device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "波特率无效", "Invalid baud rate value"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "不支持的打开方式", "Unsupported open mode"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "设备已从系统中消失",
                       "Device disappeared from the system"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "不能只为一个方向设置自定义速率",
                       "Cannot set custom speed for one direction"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "找不到合适的自定义波特率分频",
                       "No suitable custom baud rate divisor"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "无法为打开设备创建锁文件",
                       "Failed to create a lock file for opening the device"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "创建锁文件时权限不足",
                       "Permission error while creating lock file"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "锁定设备时权限不足",
                       "Permission error while locking the device"),
    // QSaveFile's own texts.
    QT_TRANSLATE_NOOP3("krv::SystemReason", "文件名指的是一个目录",
                       "Filename refers to a directory"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "已有的文件%1不可写",
                       "Existing file %1 is not writable"),
    QT_TRANSLATE_NOOP3("krv::SystemReason", "程序取消了写入", "Writing canceled by application"),
};

} // namespace

QString SystemReason::text(const QString &systemText)
{
    for (const Reason &r : Reasons) {
        const QLatin1StringView system(r.system);
        const qsizetype part = system.indexOf(QLatin1StringView("%1"));
        if (part < 0) {
            if (systemText == system)
                return tr(r.chinese, r.system);
            continue;
        }
        const QLatin1StringView before = system.first(part);
        const QLatin1StringView after = system.sliced(part + 2);
        if (systemText.size() > before.size() + after.size() && systemText.startsWith(before) &&
            systemText.endsWith(after)) {
            return tr(r.chinese, r.system)
                .arg(systemText.sliced(before.size(),
                                       systemText.size() - before.size() - after.size()));
        }
    }
    return systemText;
}

} // namespace krv
