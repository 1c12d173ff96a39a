<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>krv::CommandLineText</name>
    <message>
        <location filename="../src/app/commandline.cpp" line="86"/>
        <source>用法: krv2060 [选项]</source>
        <translation>Usage: krv2060 [options]</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="87"/>
        <source>八通道温度模块的设置与测试工具 (Modbus RTU/ASCII 主站)。</source>
        <translation>Setup and test tool for the eight-channel temperature modules (Modbus RTU/ASCII master).</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="88"/>
        <source>选项:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="88"/>
        <source>显示本帮助后退出</source>
        <translation>Shows this help and exits</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="89"/>
        <source>显示版本号后退出</source>
        <translation>Shows the version and exits</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="91"/>
        <source>界面语言: zh 中文, en 英文。不给出时用设置中保存的
语言 (language=zh 或 en), 没有则用中文, 与系统的区域
设置无关</source>
        <translation>Interface language: zh Chinese, en English. Without
it the saved setting (language=zh or en) applies,
else Chinese, whatever the system locale</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="94"/>
        <source>设置文件: %1</source>
        <translation>Settings file: %1</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="95"/>
        <source>串口 COM1..COM4: 在 Windows 以外是环境变量 KRV2060_COMn 中的
设备路径, 未设置时为 /dev/ttyS0../dev/ttyS3。</source>
        <translation>Serial ports COM1..COM4: outside Windows, the device path in the
environment variable KRV2060_COMn, else /dev/ttyS0../dev/ttyS3.</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="112"/>
        <source>未知选项: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="115"/>
        <source>%1 需要一个值: zh 或 en</source>
        <translation>%1 needs a value: zh or en</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="118"/>
        <source>--lang 只接受 zh 或 en, 不接受 &quot;%1&quot;</source>
        <translation>--lang takes zh or en, not &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="121"/>
        <source>多余的参数: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <location filename="../src/app/commandline.cpp" line="124"/>
        <source>可用的选项见 krv2060 --help。</source>
        <translation>See krv2060 --help for the options.</translation>
    </message>
</context>
</TS>
