#include "statustext.h"

#include "text/numbertext.h"
#include "ui/systemreason.h"

namespace krv {

QString StatusText::of(const LinkStatus &status)
{
    using Code = LinkStatus::Code;
    const int n = status.number;
    switch (status.code) {
    case Code::None:
        return QString();
    case Code::CheckFailed:
        return tr("CRC 校验错误");
    case Code::ReplyMismatch:
        return tr("应答与请求不符");
    case Code::WrongLength:
        return tr("数据长度错误");
    case Code::UnknownStartRegister:
        return tr("无此起始地址号");
    case Code::UnknownFunction:
        return tr("无此功能号");
    case Code::CommandStackFull:
        return tr("命令队列已满");
    case Code::ReadingMeasurements:
        return tr("取测量实时数据");
    case Code::ReadingSystemBlock:
        return tr("取系统信息");
    case Code::ReadingSensorCodes:
        return tr("取传感器信息");
    case Code::ReadingParallelTime:
        return tr("取并口时间");
    case Code::ReadingCalibration:
        return tr("取工程校准数据");
    case Code::ReadingModuleControl:
        return tr("取模块控制参数");
    case Code::ReadingOutputs:
        return tr("取开关量输出状态");
    case Code::ReadingControlEnable:
        return tr("取控制温度使能状态");
    case Code::ReadingInputs:
        return tr("取开关量输入状态");
    case Code::ReadingDeviceId:
        return tr("取设备标识信息");
    case Code::SwitchingOutputOff:
        return tr("设置开关量输出为OFF");
    case Code::SwitchingOutputOn:
        return tr("设置开关量输出为ON");
    case Code::MeasurementsRead:
        return tr("取8通道数据成功");
    case Code::InputRegistersRead:
        return tr("取8通道数据");
    case Code::SystemBlockRead:
        return tr("取系统信息成功");
    case Code::SensorCodesRead:
        return tr("取通道传感器选择字");
    case Code::ParallelTimeRead:
        return tr("取并口半字节输出时间");
    case Code::CalibrationRead:
        return tr("取8通道工程校准成功");
    case Code::OutputsRead:
        return tr("取开关量输出成功");
    case Code::ControlEnableRead:
        return tr("取控制使能成功");
    case Code::InputsRead:
        return tr("取开关量输入成功");
    case Code::DeviceIdRead:
        return tr("取设备信息成功");
    case Code::OutputWritten:
        return tr("置数字输出成功");
    case Code::SystemRegisterWritten:
        return tr("写系统参数成功");
    case Code::ModuleFound:
        return tr("找到模块地址为:") + formatHash(n);
    case Code::ControlBlockWritten:
        return tr("写通道%1控制参数成功").arg(n);
    case Code::ControlBlockWriteFailed:
        return tr("写通道%1控制参数失败").arg(n);
    case Code::AlarmBlockWritten:
        return tr("写通道%1报警参数成功").arg(QChar(48 + n));
    case Code::AlarmBlockWriteFailed:
        return tr("写通道%1报警参数失败").arg(QChar(48 + n));
    case Code::SwitchWritten:
        // The echoed address's high byte as a character; code 0 (addresses
        // below 256) is left out.
        return tr("写内存%1开关量参数成功").arg(n ? QString(QChar(n)) : QString());
    case Code::LateReply:
        return tr("模块%1的应答迟到，没有使用").arg(n);
    case Code::RepliesLate:
        return tr("模块%1的应答晚于超时：约%2 ms > %3 ms")
            .arg(n)
            .arg(status.lateMs)
            .arg(status.timeoutMs);
    case Code::AwaitingIdentification:
        return tr("尚未取得设备标识，应答没有使用");
    case Code::RequestNotSent:
        return tr("端口无法打开，命令没有发送");
    }
    return QString();
}

QString StatusText::of(const PortFailure &failure)
{
    return (failure.kind == PortFailure::Kind::CannotOpen ? tr("%1 (%2) 无法打开: %3")
                                                          : tr("%1 (%2) 连接中断: %3"))
        .arg(failure.portName, failure.devicePath, SystemReason::text(failure.reason));
}

QString StatusText::of(LineAddress::Fault fault)
{
    using Fault = LineAddress::Fault;
    switch (fault) {
    case Fault::None:
        return QString();
    case Fault::Empty:
        return tr("没有给出地址");
    case Fault::Blank:
        return tr("地址中不能有空格");
    case Fault::NoHost:
        return tr("缺少主机名");
    case Fault::NoPort:
        return tr("缺少端口号");
    case Fault::BadPort:
        return tr("端口号必须是1～65535之间的整数");
    case Fault::UnknownForm:
        return tr("应为串行口名、设备路径、主机:端口或 mbap://主机:端口");
    }
    return QString();
}

QString StatusText::count(int n)
{
    return n == 0 ? QString() : QString::number(n);
}

} // namespace krv
