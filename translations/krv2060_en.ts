<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>krv::AlarmEditor</name>
    <message>
        <location filename="../src/ui/alarm/alarmeditor.cpp" line="+153"/>
        <source>通道%1的%2</source>
        <translation>%2 of channel %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>通道%1的预警控制×4096+相对报警</source>
        <translation>Pre-alarm × 4096 + relative alarm of channel %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数的请求输出</source>
        <translation>Request output of the module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数的串口输出</source>
        <translation>Serial output of the module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数的测温通道</source>
        <translation>Channel count of the module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数的控温启动</source>
        <translation>Control start of the module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数的寄存器</source>
        <translation>Register of the module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/alarm/alarmeditorform.cpp" line="+123"/>
        <source>寄存器地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/alarm/alarmeditorform.cpp" line="+2"/>
        <source>寄存器内容</source>
        <translation>Value</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/alarm/alarmeditorform.cpp" line="+3"/>
        <source>内存地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <location line="+2"/>
        <location filename="../src/ui/alarm/alarmeditorform.cpp" line="+2"/>
        <source>单元内容</source>
        <translation>Value</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>不是数字</source>
        <translation>is not a number</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不是%1~%2之间的整数</source>
        <translation>is not a whole number between %1 and %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不在%1~%2之间</source>
        <translation>is not between %1 and %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不能是负数</source>
        <translation>cannot be negative</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>没有选择</source>
        <translation>has no selection</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不是列表中的项目</source>
        <translation>is not one of the list items</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1%2，没有发送。</source>
        <translation>%1 %2; nothing was sent.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>存储文件名：(如果文件名没有扩展名，则自动添加扩展名.ALM)</source>
        <translation>File name to save: (a name without extension gets the extension .ALM)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1含有双引号或换行，不能保存。</source>
        <translation>%1 contains a double quote or a line break and cannot be saved.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1含有GB2312编码中没有的字符%2，不能保存。</source>
        <translation>%1 contains %2, which GB2312 cannot hold, and cannot be saved.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>%1含有双引号或换行</source>
        <translation>%1 contains a double quote or a line break</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>%1的位置“%2”不是可用的数字</source>
        <translation>The position “%2” of %1 is not a usable number</translation>
    </message>
    <message>
        <location filename="../src/ui/alarm/alarmeditorform.cpp" line="-102"/>
        <source>报警参数设置</source>
        <translation>Alarm Parameters</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>返  回</source>
        <translation>Return</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>上限设置</source>
        <translation>High</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>下限设置</source>
        <translation>Low</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>相对报警</source>
        <translation>Relative</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>预警控制</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>通道%1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>单寄存器读写</source>
        <translation>Single register</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读寄存器</source>
        <translation>Read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写寄存器</source>
        <translation>Write</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开入和开出读写</source>
        <translation>Switch inputs and outputs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读开关量</source>
        <translation>Read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写开关量</source>
        <translation>Write</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>控制参数</source>
        <translation>Module Control</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请求无效</source>
        <translation>Off</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请求有效</source>
        <translation>On</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>启动控温</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请求控温</source>
        <translation>Request</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>地址不连续</source>
        <translation>Separate</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>地址连续</source>
        <translation>Adjacent</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>请求输出</source>
        <translation>Request</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请求有效,IN3每ON一次并口输出一次</source>
        <translation>On: 1 parallel output per IN3 ON</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>串口输出</source>
        <translation>Serial</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>非0,主动输出,1~11为一次输出寄存器数</source>
        <translation>Not 0: sends by itself, 1-11 regs</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测温通道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>测量的通道数(1~7)</source>
        <translation>Measured channels (1-7)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控温启动</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请求控温,由IN0=ON启动控温</source>
        <translation>Request: IN0=ON starts control</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>寄 存 器</source>
        <translation>Register</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>读  取</source>
        <translation>Read</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>写  入</source>
        <translation>Write</translation>
    </message>
</context>
<context>
    <name>krv::CommandLineText</name>
    <message>
        <location filename="../src/app/commandline.cpp" line="+100"/>
        <source>用法: krv2060 [选项]</source>
        <translation>Usage: krv2060 [options]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>八通道温度模块的设置与测试工具 (Modbus RTU/ASCII 主站)。</source>
        <translation>Setup and test tool for the eight-channel temperature modules (Modbus RTU/ASCII master).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选项:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>显示本帮助后退出</source>
        <translation>Shows this help and exits</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示版本号后退出</source>
        <translation>Shows the version and exits</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>界面语言: zh 中文, en 英文。不给出时用设置中保存的
语言 (language=zh 或 en), 没有则用中文, 与系统的区域
设置无关</source>
        <translation>Interface language: zh Chinese, en English. Without
it the saved setting (language=zh or en) applies,
else Chinese, whatever the system locale</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>本次使用的端口, 代替上次保存的: 串行口 COM1,
ttyUSB0 或 /dev/ttyUSB0; 串口服务器 主机:端口;
Modbus TCP 网关 mbap://主机:端口。“运 行”或
“扫描模块”用过后才保存</source>
        <translation>The port of this run instead of the saved one: a
serial port COM1, ttyUSB0 or /dev/ttyUSB0; a serial
device server host:port; a Modbus TCP gateway
mbap://host:port. Saved once “Run” or “Scan” uses it</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置文件: %1</source>
        <translation>Settings file: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>串口 COM1..COM4: 在 Windows 以外是环境变量 KRV2060_COMn 中的
设备路径, 未设置时为 /dev/ttyS0../dev/ttyS3。</source>
        <translation>Serial ports COM1..COM4: outside Windows, the device path in the
environment variable KRV2060_COMn, else /dev/ttyS0../dev/ttyS3.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>未知选项: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--port 需要一个值: 串行口或网络地址</source>
        <translation>--port needs a value: a serial port or a network address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 需要一个值: zh 或 en</source>
        <translation>%1 needs a value: zh or en</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--lang 只接受 zh 或 en, 不接受 &quot;%1&quot;</source>
        <translation>--lang takes zh or en, not &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--port &quot;%1&quot; 不是有效的地址: %2</source>
        <translation>--port &quot;%1&quot; is not a valid address: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>多余的参数: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>可用的选项见 krv2060 --help。</source>
        <translation>See krv2060 --help for the options.</translation>
    </message>
</context>
<context>
    <name>krv::ControlEditor</name>
    <message>
        <location filename="../src/ui/control/controleditor.cpp" line="+57"/>
        <source>通道%1的%2“%3”不是数字，没有写入。</source>
        <translation>%2 “%3” of channel %1 is not a number; nothing was written.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通道%1的%2×256+%3超出-32768..32767，没有写入。</source>
        <translation>%2×256+%3 of channel %1 is outside -32768..32767; nothing was written.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>通道%1的%2超出-32768..32767，没有写入。</source>
        <translation>%2 of channel %1 is outside -32768..32767; nothing was written.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)</source>
        <translation>File name to save: (a name without extension gets the extension .CON)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>通道%1的%2含有双引号或换行，无法保存。</source>
        <translation>%2 of channel %1 contains a double quote or a line break and cannot be saved.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>通道%1的%2含有GB2312编码中没有的字符%3，无法保存。</source>
        <translation>%2 of channel %1 contains %3, which GB2312 cannot hold, and cannot be saved.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>通道%1的%2含有双引号或换行</source>
        <translation>%2 of channel %1 contains a double quote or a line break</translation>
    </message>
    <message>
        <location filename="../src/ui/control/controleditorform.cpp" line="+19"/>
        <source>启动顺序</source>
        <translation>Order</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输入通道</source>
        <translation>Input</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>相位偏移</source>
        <translation>Phase</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采样时间</source>
        <translation>Sample</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置温度</source>
        <translation>Setpoint</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>系数D0</source>
        <translation>Coef D0</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>系数D1</source>
        <translation>Coef D1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>系数D2</source>
        <translation>Coef D2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控制范围</source>
        <translation>Range</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>控制参数设置</source>
        <translation>Control Parameters</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>通道%1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>返 回</source>
        <translation>Return</translation>
    </message>
</context>
<context>
    <name>krv::EditorWindow</name>
    <message>
        <location filename="../src/ui/editorwindow.cpp" line="+23"/>
        <source>它不是普通文件（而是文件夹、设备或管道）</source>
        <translation>it is not a regular file (but a folder, a device or a pipe)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>它有%1字节，参数文件不超过%2字节</source>
        <translation>it has %1 bytes; a parameter file has no more than %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>第%1字节是控制字符0x%2，这不是文本文件</source>
        <translation>byte %1 is the control character 0x%2; this is not a text file</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>它是UTF-8编码的文本，不是GB2312编码</source>
        <translation>it is UTF-8 text, not GB2312</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第%1字节起不是GB2312编码的文字</source>
        <translation>from byte %1 on it is not GB2312 text</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>通讯次数</source>
        <translation>Requests</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>状态信息</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>发送命令</source>
        <translation>Sent</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>接收命令</source>
        <translation>Received</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>保存参数</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>恢复参数</source>
        <translation>Load</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>文件：%1不存在</source>
        <translation>File %1 does not exist</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>文件%1没有恢复：它是%2（%3），不是%4（%5）</source>
        <translation>File %1 was not loaded: it is %2 (%3), not %4 (%5)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>文件%1无法读取：%2</source>
        <translation>File %1 cannot be read: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>文件%1中的参数不足%2个，没有恢复。</source>
        <translation>File %1 holds fewer than %2 values; nothing was loaded.</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+4"/>
        <source>文件%1没有恢复：%2</source>
        <translation>File %1 was not loaded: %2</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>文件%1无法写入：%2</source>
        <translation>File %1 cannot be written: %2</translation>
    </message>
    <message>
        <location filename="../src/ui/editorwindow.h" line="+34"/>
        <source>控制参数文件</source>
        <translation>a control parameter file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报警参数文件</source>
        <translation>an alarm parameter file</translation>
    </message>
</context>
<context>
    <name>krv::ExportFile</name>
    <message>
        <location filename="../src/ui/monitor/exportfile.cpp" line="+30"/>
        <source>文件%1写入失败：%2</source>
        <translation>Writing file %1 failed: %2</translation>
    </message>
</context>
<context>
    <name>krv::FileChooser</name>
    <message>
        <location filename="../src/ui/files/filechooser.cpp" line="+35"/>
        <source>确  认</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取  消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>控制参数文件*.CON</source>
        <translation>Control files *.CON</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>报警参数文件*.ALM</source>
        <translation>Alarm files *.ALM</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有文件*.*</source>
        <translation>All files *.*</translation>
    </message>
</context>
<context>
    <name>krv::MainWindow</name>
    <message>
        <location filename="../src/ui/main/mainwindow.cpp" line="+399"/>
        <location filename="../src/ui/main/mainwindowform.cpp" line="+104"/>
        <source>扫描 地址 %1  %2</source>
        <translation>Scan address %1  %2</translation>
    </message>
    <message>
        <location line="+110"/>
        <source>确认窗口</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>准备将系统参数写到模块中吗？</source>
        <translation>Write the system parameters to the module?</translation>
    </message>
    <message>
        <location line="-296"/>
        <source>通信参数的串行口</source>
        <translation>Line port</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通信参数的波特率</source>
        <translation>Line baud rate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通信参数的协议</source>
        <translation>Line protocol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的传感器</source>
        <translation>Module sensor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的单独设</source>
        <translation>Module per-channel sensors</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的通道8</source>
        <translation>Module channel 8</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的滤波</source>
        <translation>Module filter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的补偿</source>
        <translation>Module compensation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的协议</source>
        <translation>Module protocol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的波特率</source>
        <translation>Module baud rate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的请求输出</source>
        <translation>Module request output</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>模块信息的字节输出</source>
        <translation>Module byte output</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>通道传感器设置的通道%1</source>
        <translation>Channel %1 sensor</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1“%2”不是有效的地址（%3），没有开始运行。</source>
        <translation>%1 “%2” is not a valid address (%3); polling was not started.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1“%2”不是有效的地址（%3），没有开始扫描。</source>
        <translation>%1 “%2” is not a valid address (%3); the scan was not started.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1“%2”不是有效的地址（%3），参数设置窗口没有打开。</source>
        <translation>%1 “%2” is not a valid address (%3); the parameter window was not opened.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1“%2”不是列表中的项目，没有开始运行。</source>
        <translation>%1 “%2” is not one of the list items; polling was not started.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1“%2”不是列表中的项目，没有开始扫描。</source>
        <translation>%1 “%2” is not one of the list items; the scan was not started.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1“%2”不是列表中的项目，模块参数没有写入。</source>
        <translation>%1 “%2” is not one of the list items; the module parameters were not written.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1“%2”不是列表中的项目，通道传感器没有写入。</source>
        <translation>%1 “%2” is not one of the list items; the channel sensors were not written.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1“%2”不是列表中的项目，参数设置窗口没有打开。</source>
        <translation>%1 “%2” is not one of the list items; the parameter window was not opened.</translation>
    </message>
    <message>
        <location line="+170"/>
        <source>“地  址”必须是%1～%2之间的整数，没有开始运行。</source>
        <translation>“Address” must be a whole number from %1 to %2; polling was not started.</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>“地  址”必须是%1～%2之间的整数，模块参数没有写入。</source>
        <translation>“Address” must be a whole number from %1 to %2; the module parameters were not written.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>“冷校准”必须是%1～%2之间的整数，模块参数没有写入。</source>
        <translation>“Cold cal.” must be a whole number from %1 to %2; the module parameters were not written.</translation>
    </message>
    <message>
        <location line="+28"/>
        <location filename="../src/ui/main/mainwindowform.cpp" line="+167"/>
        <location line="+31"/>
        <source>通道%1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>工程校准值必须是-32768～32767之间的整数，以下通道没有写入：%1</source>
        <translation>Calibration values must be whole numbers from -32768 to 32767; these channels were not written: %1</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../src/ui/main/mainwindowform.cpp" line="+52"/>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+12"/>
        <source>文件%1写入失败：%2</source>
        <translation>Writing file %1 failed: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>存储文件名：(如果文件名没有扩展名，则自动加扩展名.DAT)</source>
        <translation>File name to save: (a name without extension gets the extension .DAT)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件%1无法写入：%2</source>
        <translation>File %1 cannot be written: %2</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>请先按“运 行”读取模块信息，再打开参数设置窗口。</source>
        <translation>Press “Run” to read the module first, then open the parameter window.</translation>
    </message>
    <message>
        <location filename="../src/ui/main/mainwindowform.cpp" line="-326"/>
        <source>KRV2060模块测试设置程序</source>
        <translation>KRV2060 Module Test and Setup</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>yyyy年MM月dd日    HH:mm:ss</source>
        <extracomment>QDateTime format of the clock on the status strip (yyyy year, MM month, dd day, HH:mm:ss time).</extracomment>
        <translation>yyyy-MM-dd    HH:mm:ss</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>通讯监视…</source>
        <translation>Traffic Monitor…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>趋势图…</source>
        <translation>Trend Chart…</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>FileName:</source>
        <translation>FileName:</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>通讯次数</source>
        <translation>Requests</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>出错次数</source>
        <translation>Errors</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>模块信息</source>
        <translation>Module Information</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>写模块参数</source>
        <translation>Write module</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设备信息</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>地  址</source>
        <translation>Address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>系列号</source>
        <translation>Serial No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>冷校准</source>
        <translation>Cold cal.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>传感器</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>单独设</source>
        <translation>Per chan.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道8</source>
        <translation>Channel 8</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>滤  波</source>
        <translation>Filter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>补  偿</source>
        <translation>Compens.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+41"/>
        <source>协  议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <location line="-40"/>
        <location line="+38"/>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <location line="-37"/>
        <source>请求输出</source>
        <translation>Request</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字节输出</source>
        <translation>Byte out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>制造日期</source>
        <translation>Made on</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>制造时间</source>
        <translation>Made at</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>uS</source>
        <translation>uS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>并口时间</source>
        <translation>Par. time</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>通信参数</source>
        <translation>Line</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>扫描模块</source>
        <translation>Scan</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停 止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>运 行</source>
        <translation>Run</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>串行口</source>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>模块号</source>
        <translation>Module</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>上限报警</source>
        <translation>High alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下限报警</source>
        <translation>Low alarm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>外部DI</source>
        <translation>External DI</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>实时测量</source>
        <translation>Measured</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>工程校准</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>写工程校准</source>
        <translation>Write calibration</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>通道传感器设置</source>
        <translation>Channel Sensors</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>刷 新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设 置</source>
        <translation>Set</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>开关输出</source>
        <translation>Switch outputs</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>控温</source>
        <translation>Control</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>发送命令</source>
        <translation>Sent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>接收命令</source>
        <translation>Received</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>状态信息</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>控制参数</source>
        <translation>Control Params</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>报警参数</source>
        <translation>Alarm Params</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结 束</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>krv::PortList</name>
    <message>
        <location filename="../src/ui/main/portlist.cpp" line="+119"/>
        <source>制造商: %1</source>
        <translation>Manufacturer: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>序列号: %1</source>
        <translation>Serial number: %1</translation>
    </message>
</context>
<context>
    <name>krv::SaveName</name>
    <message>
        <location filename="../src/ui/savename.cpp" line="+15"/>
        <source>文件名只有空格，没有保存。</source>
        <translation>The file name is only blanks; nothing was saved.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1”不是文件名：不能含有“/”或“\”，文件保存在当前文件夹。没有保存。</source>
        <translation>“%1” is not a file name: it cannot contain “/” or “\”, files are saved in the current folder. Nothing was saved.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>“%1”不是文件名：不能以“.”开头或结尾。没有保存。</source>
        <translation>“%1” is not a file name: it cannot begin or end with “.”. Nothing was saved.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>“%1”不是文件名：不能含有控制字符或 &lt; &gt; : &quot; | ? *。没有保存。</source>
        <translation>“%1” is not a file name: it cannot contain control characters or &lt; &gt; : &quot; | ? *. Nothing was saved.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>存储设置参数</source>
        <translation>Save parameters</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1是文件夹，没有保存。</source>
        <translation>%1 is a folder; nothing was saved.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>文件%1已经存在，要替换吗</source>
        <translation>File %1 exists already. Replace it?</translation>
    </message>
</context>
<context>
    <name>krv::StatusText</name>
    <message>
        <location filename="../src/ui/statustext.cpp" line="+16"/>
        <source>CRC 校验错误</source>
        <translation>CRC check error</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>应答与请求不符</source>
        <translation>Reply does not match request</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据长度错误</source>
        <translation>Data length error</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无此起始地址号</source>
        <translation>No such start address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无此功能号</source>
        <translation>No such function code</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>命令队列已满</source>
        <translation>Command queue full</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取测量实时数据</source>
        <translation>Reading measurements</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取系统信息</source>
        <translation>Reading system information</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取传感器信息</source>
        <translation>Reading sensor types</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取并口时间</source>
        <translation>Reading parallel time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取工程校准数据</source>
        <translation>Reading calibration</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取模块控制参数</source>
        <translation>Reading module control</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取开关量输出状态</source>
        <translation>Reading switch outputs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取控制温度使能状态</source>
        <translation>Reading control enable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取开关量输入状态</source>
        <translation>Reading switch inputs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取设备标识信息</source>
        <translation>Reading device identification</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设置开关量输出为OFF</source>
        <translation>Setting switch output OFF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设置开关量输出为ON</source>
        <translation>Setting switch output ON</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取8通道数据成功</source>
        <translation>Data of 8 channels read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取8通道数据</source>
        <translation>Reading 8 channels</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取系统信息成功</source>
        <translation>System information read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取通道传感器选择字</source>
        <translation>Channel sensor words read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取并口半字节输出时间</source>
        <translation>Parallel nibble output time read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取8通道工程校准成功</source>
        <translation>Calibration of 8 channels read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取开关量输出成功</source>
        <translation>Switch outputs read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取控制使能成功</source>
        <translation>Control enable read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取开关量输入成功</source>
        <translation>Switch inputs read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取设备信息成功</source>
        <translation>Device information read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>置数字输出成功</source>
        <translation>Digital output set</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写系统参数成功</source>
        <translation>System parameters written</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>找到模块地址为:</source>
        <translation>Module found at address:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写通道%1控制参数成功</source>
        <translation>Control parameters of channel %1 written</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写通道%1控制参数失败</source>
        <translation>Writing the control parameters of channel %1 failed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写通道%1报警参数成功</source>
        <translation>Alarm parameters of channel %1 written</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写通道%1报警参数失败</source>
        <translation>Writing the alarm parameters of channel %1 failed</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>写内存%1开关量参数成功</source>
        <translation>Memory%1 switch written</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>模块%1的应答迟到，没有使用</source>
        <translation>Module %1 replied late; the reply was not used</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>模块%1的应答晚于超时：约%2 ms &gt; %3 ms</source>
        <translation>Module %1 replies later than the time-out: about %2 ms &gt; %3 ms</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>尚未取得设备标识，应答没有使用</source>
        <translation>No identification yet; the reply was not used</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>端口无法打开，命令没有发送</source>
        <translation>The port cannot be opened; the request was not sent</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 (%2) 无法打开: %3</source>
        <translation>%1 (%2) cannot be opened: %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 (%2) 连接中断: %3</source>
        <translation>%1 (%2) connection lost: %3</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>没有给出地址</source>
        <translation>no address given</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>地址中不能有空格</source>
        <translation>an address cannot contain blanks</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>缺少主机名</source>
        <translation>the host name is missing</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>缺少端口号</source>
        <translation>the port number is missing</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>端口号必须是1～65535之间的整数</source>
        <translation>the port number must be a whole number from 1 to 65535</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>应为串行口名、设备路径、主机:端口或 mbap://主机:端口</source>
        <translation>expected a serial port name, a device path, host:port or mbap://host:port</translation>
    </message>
</context>
<context>
    <name>krv::SystemReason</name>
    <message>
        <location filename="../src/ui/systemreason.cpp" line="+19"/>
        <source>文件或目录不存在</source>
        <comment>No such file or directory</comment>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有访问权限</source>
        <comment>Permission denied</comment>
        <translation>Permission denied</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不允许此操作</source>
        <comment>Operation not permitted</comment>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备上没有剩余空间</source>
        <comment>No space left on device</comment>
        <translation>No space left on device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>超出磁盘配额</source>
        <comment>Disk quota exceeded</comment>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>这是一个目录</source>
        <comment>Is a directory</comment>
        <translation>Is a directory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>路径中有一项不是目录</source>
        <comment>Not a directory</comment>
        <translation>Not a directory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件系统为只读</source>
        <comment>Read-only file system</comment>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件过大</source>
        <comment>File too large</comment>
        <translation>File too large</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件名过长</source>
        <comment>File name too long</comment>
        <translation>File name too long</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备或资源忙</source>
        <comment>Device or resource busy</comment>
        <translation>Device or resource busy</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>资源暂时不可用</source>
        <comment>Resource temporarily unavailable</comment>
        <translation>Resource temporarily unavailable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输入/输出错误</source>
        <comment>Input/output error</comment>
        <translation>Input/output error</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备不存在</source>
        <comment>No such device</comment>
        <translation>No such device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备或地址不存在</source>
        <comment>No such device or address</comment>
        <translation>No such device or address</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备不支持此操作</source>
        <comment>Inappropriate ioctl for device</comment>
        <translation>Inappropriate ioctl for device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>连接超时</source>
        <comment>Connection timed out</comment>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>连接被拒绝</source>
        <comment>Connection refused</comment>
        <translation>Connection refused</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>没有到主机的路由</source>
        <comment>No route to host</comment>
        <translation>No route to host</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>网络不可达</source>
        <comment>Network is unreachable</comment>
        <translation>Network is unreachable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>连接被对方重置</source>
        <comment>Connection reset by peer</comment>
        <translation>Connection reset by peer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>管道已断开</source>
        <comment>Broken pipe</comment>
        <translation>Broken pipe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>未知错误</source>
        <comment>Unknown error</comment>
        <translation>Unknown error</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>找不到主机</source>
        <comment>Host not found</comment>
        <translation>Host not found</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>网络不可达</source>
        <comment>Network unreachable</comment>
        <translation>Network unreachable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>远程主机关闭了连接</source>
        <comment>The remote host closed the connection</comment>
        <translation>The remote host closed the connection</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>套接字操作超时</source>
        <comment>Socket operation timed out</comment>
        <translation>Socket operation timed out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>地址无效</source>
        <comment>Invalid address</comment>
        <translation>Invalid address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设备已经打开</source>
        <comment>Device is already open</comment>
        <translation>Device is already open</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备没有打开</source>
        <comment>Device is not open</comment>
        <translation>Device is not open</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>操作超时</source>
        <comment>Operation timed out</comment>
        <translation>Operation timed out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>从设备读取出错</source>
        <comment>Error reading from device</comment>
        <translation>Error reading from device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>向设备写入出错</source>
        <comment>Error writing to device</comment>
        <translation>Error writing to device</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率无效</source>
        <comment>Invalid baud rate value</comment>
        <translation>Invalid baud rate value</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不支持的打开方式</source>
        <comment>Unsupported open mode</comment>
        <translation>Unsupported open mode</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备已从系统中消失</source>
        <comment>Device disappeared from the system</comment>
        <translation>Device disappeared from the system</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不能只为一个方向设置自定义速率</source>
        <comment>Cannot set custom speed for one direction</comment>
        <translation>Cannot set custom speed for one direction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>找不到合适的自定义波特率分频</source>
        <comment>No suitable custom baud rate divisor</comment>
        <translation>No suitable custom baud rate divisor</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法为打开设备创建锁文件</source>
        <comment>Failed to create a lock file for opening the device</comment>
        <translation>Failed to create a lock file for opening the device</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>创建锁文件时权限不足</source>
        <comment>Permission error while creating lock file</comment>
        <translation>Permission error while creating lock file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>锁定设备时权限不足</source>
        <comment>Permission error while locking the device</comment>
        <translation>Permission error while locking the device</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件名指的是一个目录</source>
        <comment>Filename refers to a directory</comment>
        <translation>Filename refers to a directory</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已有的文件%1不可写</source>
        <comment>Existing file %1 is not writable</comment>
        <translation>Existing file %1 is not writable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>程序取消了写入</source>
        <comment>Writing canceled by application</comment>
        <translation>Writing canceled by application</translation>
    </message>
</context>
<context>
    <name>krv::TrafficLog</name>
    <message>
        <location filename="../src/app/program.cpp" line="+44"/>
        <source>控制参数</source>
        <translation>Control editor</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报警参数</source>
        <translation>Alarm editor</translation>
    </message>
    <message>
        <location filename="../src/ui/monitor/trafficdecode.cpp" line="+60"/>
        <location line="+21"/>
        <source>%1 起始 %2 数量 %3</source>
        <translation>%1 start %2 count %3</translation>
    </message>
    <message>
        <location line="-15"/>
        <location line="+8"/>
        <source>%1 %2 = %3</source>
        <translation>%1 %2 = %3</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+50"/>
        <source>：%1</source>
        <translation>: %1</translation>
    </message>
    <message>
        <location line="-35"/>
        <source>异常 %1：%2</source>
        <translation>Exception %1: %2</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>%1 字节：%2</source>
        <translation>byte count %1: %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>起始 %1 数量 %2</source>
        <translation>start %1 count %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 个寄存器</source>
        <translation>%1 registers</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>%1 版本%2.%3</source>
        <translation>%1 version %2.%3</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>发</source>
        <translation>Out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>收</source>
        <translation>In</translation>
    </message>
    <message>
        <location line="+88"/>
        <source>事务%1</source>
        <translation>Transaction %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验错误</source>
        <translation>Check error</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>超时</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>应答与请求不符</source>
        <translation>Mismatched reply</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>异常响应</source>
        <translation>Exception</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>迟到的应答</source>
        <translation>Late reply</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>读线圈</source>
        <translation>Read coils</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读离散输入</source>
        <translation>Read discrete inputs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读保持寄存器</source>
        <translation>Read holding registers</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读输入寄存器</source>
        <translation>Read input registers</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写单个线圈</source>
        <translation>Write single coil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写单个寄存器</source>
        <translation>Write single register</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>写多个寄存器</source>
        <translation>Write multiple registers</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读设备标识</source>
        <translation>Report device identification</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>非法功能</source>
        <translation>Illegal function</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>非法数据地址</source>
        <translation>Illegal data address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>非法数据值</source>
        <translation>Illegal data value</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>从站设备故障</source>
        <translation>Slave device failure</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>从站设备忙</source>
        <translation>Slave device busy</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>存储奇偶性差错</source>
        <translation>Memory parity error</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>网关路径不可用</source>
        <translation>Gateway path unavailable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>网关目标设备响应失败</source>
        <translation>Gateway target device failed to respond</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未知异常</source>
        <translation>Unknown exception</translation>
    </message>
    <message>
        <location filename="../src/ui/monitor/trafficlog.cpp" line="+12"/>
        <source>主窗口</source>
        <translation>Main window</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>帧格式</source>
        <translation>Framing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>功能码</source>
        <translation>Function</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>解析</source>
        <translation>Decoded</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>耗时(ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>原始数据</source>
        <translation>Raw data</translation>
    </message>
</context>
<context>
    <name>krv::TrafficMonitor</name>
    <message>
        <location filename="../src/ui/monitor/trafficmonitor.cpp" line="+81"/>
        <source>通讯监视</source>
        <translation>Traffic Monitor</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+200"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="-198"/>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+4"/>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>发</source>
        <translation>Out</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>收</source>
        <translation>In</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校验错误</source>
        <translation>Check error</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>超时</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>应答与请求不符</source>
        <translation>Mismatched reply</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>异常响应</source>
        <translation>Exception</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有差错</source>
        <translation>All errors</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>迟到的应答</source>
        <translation>Late reply</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>自动滚动</source>
        <translation>Auto scroll</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>导出CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出文本…</source>
        <translation>Export text…</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>最多行数</source>
        <translation>Row limit</translation>
    </message>
    <message>
        <location line="+154"/>
        <source>共 %1 行，显示 %2 行</source>
        <translation>%1 rows, %2 shown</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（已暂停）</source>
        <translation> (paused)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>导出文本</source>
        <translation>Export text</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
</context>
<context>
    <name>krv::TrendChart</name>
    <message>
        <location filename="../src/ui/monitor/trendchart.cpp" line="+56"/>
        <source>趋势图</source>
        <translation>Trend Chart</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>通道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>时间范围</source>
        <translation>Time span</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+162"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="-158"/>
        <source>导出CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出图片…</source>
        <translation>Export image…</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>测量值（原始值）</source>
        <translation>Measured value (raw)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>通道%1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <location line="+124"/>
        <source>%1 个采样</source>
        <translation>%1 samples</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>尚无测量值</source>
        <translation>No measurements yet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（已暂停）</source>
        <translation> (paused)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>导出图片</source>
        <translation>Export image</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
</context>
</TS>
