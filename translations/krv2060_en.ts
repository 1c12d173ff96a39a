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
        <location line="+51"/>
        <source>%1含有双引号或换行，不能保存。</source>
        <translation>%1 contains a double quote or a line break and cannot be saved.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1含有GB2312编码中没有的字符%2，不能保存。</source>
        <translation>%1 contains %2, which GB2312 cannot hold, and cannot be saved.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>%1含有双引号或换行</source>
        <translation>%1 contains a double quote or a line break</translation>
    </message>
    <message>
        <location line="+8"/>
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
    <name>krv::BatchCommandText</name>
    <message>
        <location filename="../src/app/batchcommand.cpp" line="+40"/>
        <source>文件夹%1不存在</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1不是文件夹</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件夹%1无法写入：%2</source>
        <translation>the folder %1 cannot be written: %2</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>报告文件%1是文件夹</source>
        <translation>the report file %1 is a folder</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+204"/>
        <source>报告文件%1无法写入：%2</source>
        <translation>the report file %1 cannot be written: %2</translation>
    </message>
    <message>
        <location line="-195"/>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+91"/>
        <location line="+28"/>
        <source>模块 %1：%2</source>
        <translation>Module %1: %2</translation>
    </message>
    <message>
        <location line="-59"/>
        <location line="+4"/>
        <source>，没有发送。</source>
        <translation>; nothing was sent.</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+185"/>
        <source>收到 Ctrl-C：线路上的请求结束后停止。</source>
        <translation>Ctrl-C: stopping once the request on the line has ended.</translation>
    </message>
    <message>
        <location line="-131"/>
        <location line="+19"/>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>备份文件</source>
        <translation>Backup files</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>扫描：站号 %1 %2</source>
        <translation>Scanning: station %1 %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>找到模块：站号 %1 %2 %3 %4</source>
        <translation>Module found: station %1 %2 %3 %4</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>找到的模块：%1</source>
        <translation>Modules found: %1</translation>
    </message>
</context>
<context>
    <name>krv::BatchText</name>
    <message>
        <location filename="../src/link/batchfiles.cpp" line="+174"/>
        <source>一致</source>
        <translation>Equal</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不一致</source>
        <translation>Differs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无应答</source>
        <translation>No answer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>非本系列模块</source>
        <translation>Not a KRV module</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未进行</source>
        <translation>Not done</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../src/ui/batch/batchtext.cpp" line="+277"/>
        <source>控制参数</source>
        <translation>Control parameters</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/ui/batch/batchtext.cpp" line="+0"/>
        <source>报警参数</source>
        <translation>Alarm parameters</translation>
    </message>
    <message>
        <location line="+6"/>
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
        <location line="+3"/>
        <source>上限设置</source>
        <translation>High</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下限设置</source>
        <translation>Low</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>相对报警</source>
        <translation>Relative</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>预警控制</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>请求输出</source>
        <translation>Request</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>串口输出</source>
        <translation>Serial</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测温通道</source>
        <translation>Channels</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控温启动</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>寄 存 器</source>
        <translation>Register</translation>
    </message>
    <message>
        <location filename="../src/ui/batch/batchtext.cpp" line="-133"/>
        <source>块%1的%2</source>
        <translation>%2 of block %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道%1的%2</source>
        <translation>%2 of channel %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>块%1</source>
        <translation>block %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道%1</source>
        <translation>channel %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>不是数字</source>
        <translation>is not a number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不是%1~%2之间的整数</source>
        <translation>is not a whole number between %1 and %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不在%1~%2之间</source>
        <translation>is not between %1 and %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不能是负数</source>
        <translation>cannot be negative</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>没有选择</source>
        <translation>has no selection</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不是列表中的项目</source>
        <translation>is not one of the list items</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>文件%1第%2行：通道%3的%4×%5+%6（“%7”和“%8”）%9，没有发送。</source>
        <translation>File %1, line %2: %4 × %5 + %6 of channel %3 (&quot;%7&quot; and &quot;%8&quot;) %9; nothing was sent.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>文件%1第%2行：%3“%4”%5，没有发送。</source>
        <translation>File %1, line %2: %3 &quot;%4&quot; %5; nothing was sent.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>写入并校验</source>
        <translation>Write and verify</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读取备份</source>
        <translation>Back up</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>比较</source>
        <translation>Compare</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>%1：文件 %2，模块 %3</source>
        <translation>%1: file %2, module %3</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>读取设备标识</source>
        <translation>reading the identification</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读取系统信息</source>
        <translation>reading the system block</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>写入%1 %2</source>
        <translation>writing %1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读回%1 %2</source>
        <translation>reading back %1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读取%1 %2</source>
        <translation>reading %1, %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>模块 %1：%2</source>
        <translation>Module %1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（第%1次）</source>
        <translation> (attempt %1)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>协议</source>
        <translation>Framing</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>型号</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>版本</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>序列号</source>
        <translation>Serial no.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>第一处不同</source>
        <translation>First difference</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文件值</source>
        <translation>File value</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>模块值</source>
        <translation>Module value</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不同的块数</source>
        <translation>Blocks differing</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请求数</source>
        <translation>Requests</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>重试数</source>
        <translation>Retries</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>用时(ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>共%1个模块：%2个完成，%3个不一致，%4个失败，%5个已停止</source>
        <translation>%1 modules: %2 done, %3 differing, %4 failed, %5 stopped</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>没有给出站号</source>
        <translation>no station given</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1”不是站号（应为站号或范围，如2,5-7；后加a为ASCII）</source>
        <translation>&quot;%1&quot; is no station (give stations or ranges such as 2,5-7; an &quot;a&quot; after one means ASCII)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1”不在1～255之间</source>
        <translation>&quot;%1&quot; is not between 1 and 255</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>“%1”：范围应从小到大</source>
        <translation>&quot;%1&quot;: a range goes from the lower to the higher station</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>文件%1是%2文件（%3），不是%4文件（%5），没有发送。</source>
        <translation>File %1 is a file of %2 (%3), not of %4 (%5); nothing was sent.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>文件%1无法读取：%2，没有发送。</source>
        <translation>File %1 cannot be read: %2; nothing was sent.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件%1中的参数不足%2个，没有发送。</source>
        <translation>File %1 holds fewer than %2 values; nothing was sent.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件%1没有读取：%2，没有发送。</source>
        <translation>File %1 was not read: %2; nothing was sent.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件%1第%2行：%3的位置“%4”不是可用的数字，没有发送。</source>
        <translation>File %1, line %2: the position &quot;%4&quot; of %3 is not a usable number; nothing was sent.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>文件%1无法使用，没有发送。</source>
        <translation>File %1 cannot be used; nothing was sent.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>已保存 %1</source>
        <translation>Saved %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件%1无法写入：%2</source>
        <translation>File %1 cannot be written: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件%1已存在，没有替换</source>
        <translation>File %1 exists and was not replaced</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>序列号与站号%1相同</source>
        <translation>Same serial number as station %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>krv::BatchWindow</name>
    <message>
        <location filename="../src/ui/batch/batchwindow.cpp" line="+163"/>
        <source>上次扫描没有找到模块：请先在主窗口按“扫描模块”，或输入站号后按“列出”。</source>
        <translation>The last scan found no module: press &quot;Scan&quot; in the main window first, or type stations and press &quot;List&quot;.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>站号“%1”无法使用：%2。</source>
        <translation>Stations &quot;%1&quot; cannot be used: %2.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>选择控制参数文件</source>
        <translation>Choose a control parameter file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控制参数文件 (*.CON *.con)</source>
        <translation>Control parameter files (*.CON *.con)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择报警参数文件</source>
        <translation>Choose an alarm parameter file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>报警参数文件 (*.ALM *.alm)</source>
        <translation>Alarm parameter files (*.ALM *.alm)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择备份文件夹</source>
        <translation>Choose the backup folder</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>请先选择控制参数文件或报警参数文件。</source>
        <translation>Choose a control or an alarm parameter file first.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>请先选择备份文件夹。</source>
        <translation>Choose the backup folder first.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>文件夹%1不存在，没有开始备份。</source>
        <translation>Folder %1 does not exist; the backup was not started.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>文件夹%1中已有这些站号的备份文件%2个（%3）。
按“确定”替换它们；按“取消”保留已有的文件，不保存这些备份，并在结果中注明。</source>
        <translation>Folder %1 already holds %2 backup files of these stations (%3).
Press &quot;OK&quot; to replace them; press &quot;Cancel&quot; to keep the files there, leave these backups unsaved and note it in the results.</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+26"/>
        <location line="+11"/>
        <source>没有勾选的模块。</source>
        <translation>No module is ticked.</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>将%1写入%2个模块（站号%3），并读回校验吗？</source>
        <translation>Write %1 to %2 modules (stations %3) and verify by reading back?</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>系统块（块8）也写入：它改变模块的寻址方式。</source>
        <translation>The system block (block 8) is written too: it changes how the module is addressed.</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>正在停止：等待线路上的请求结束…</source>
        <translation>Stopping: waiting for the request on the line to end…</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <location line="+17"/>
        <source>已停止。%1</source>
        <translation>Stopped. %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>已完成。%1</source>
        <translation>Finished. %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>备份没有完成：%1</source>
        <translation>The backup was not finished: %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <location filename="../src/ui/batch/batchwindowform.cpp" line="+126"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <location filename="../src/ui/batch/batchwindowform.cpp" line="-85"/>
        <source>选择…</source>
        <translation>Choose…</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>批量设置</source>
        <translation>Many Modules at Once</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>模块</source>
        <translation>Modules</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上次扫描的模块</source>
        <translation>Last scan</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+7"/>
        <source>站号</source>
        <translation>Stations</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>列出</source>
        <translation>List</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>协议</source>
        <translation>Framing</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>全选</source>
        <translation>Tick all</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全不选</source>
        <translation>Tick none</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>参数文件</source>
        <translation>Files</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制参数文件</source>
        <translation>Control file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报警参数文件</source>
        <translation>Alarm file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>系统块（块8）也写入</source>
        <translation>Write the system block (block 8) too</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>备份文件夹</source>
        <translation>Backup folder</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>操作</source>
        <translation>Actions</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>备注</source>
        <translation>Notes</translation>
    </message>
</context>
<context>
    <name>krv::CommandLineText</name>
    <message>
        <location filename="../src/app/commandline.cpp" line="+328"/>
        <source>用法: krv2060 [选项]</source>
        <translation>Usage: krv2060 [options]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>八通道温度模块的设置与测试工具 (Modbus RTU/ASCII 主站)。</source>
        <translation>Setup and test tool for the eight-channel temperature modules (Modbus RTU/ASCII master).</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+27"/>
        <source>选项:</source>
        <translation>Options:</translation>
    </message>
    <message>
        <location line="-159"/>
        <location line="+132"/>
        <source>显示本帮助后退出</source>
        <translation>Shows this help and exits</translation>
    </message>
    <message>
        <location line="-183"/>
        <source>线路: 串行口 COM1, ttyUSB0 或 /dev/ttyUSB0;
串口服务器 主机:端口; Modbus TCP 网关
mbap://主机:端口。不保存到设置中</source>
        <translation>The line: a serial port COM1, ttyUSB0 or
/dev/ttyUSB0; a serial device server host:port;
a Modbus TCP gateway mbap://host:port. Not
saved in the settings</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>线路速率: 1200, 2400, 4800, 9600, 19200 或
38400 (默认 9600)</source>
        <translation>Line speed: 1200, 2400, 4800, 9600, 19200 or
38400 (default 9600)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>站号 1..255 和范围, 用逗号或空格分开, 如
2,5-7。后加 a 的站号或范围用 Modbus ASCII
(如 9a, 5-7a), 其余 (或后加 r) 用 RTU; 在
Modbus TCP 线路上帧格式不适用。重复的站号
只算第一次</source>
        <translation>Station addresses 1..255 and ranges, separated
by commas or blanks, e.g. 2,5-7. An address or
range followed by a is spoken to in Modbus ASCII
(9a, 5-7a), the others (or with r) in RTU; on a
Modbus TCP line the framing does not apply. An
address given twice counts once</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>控制参数文件 (.CON): 通道0..8 的控制块</source>
        <translation>Control parameter file (.CON): the control
blocks of channels 0..8</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报警参数文件 (.ALM): 通道0..7 的报警块</source>
        <translation>Alarm parameter file (.ALM): the alarm blocks
of channels 0..7</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>也比较报警参数文件的块8 (请求输出、串口输出、
测温通道、控温启动、寄存器寻址)</source>
        <translation>Compare block 8 of the alarm file too (request
output, serial output, measured channels, start
mode, register addressing)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>也写入报警参数文件的块8 (请求输出、串口输出、
测温通道、控温启动、寄存器寻址)。它改变
模块的寻址方式, 所以只在给出本选项时写入</source>
        <translation>Write block 8 of the alarm file too (request
output, serial output, measured channels, start
mode, register addressing). It changes how the
module is addressed, so it is written only with
this option</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>把结果表另存为 CSV 文件 (UTF-8, 列名为中文);
已有的文件被替换</source>
        <translation>Also save the result table as a CSV file (UTF-8,
Chinese column titles); a file there is replaced</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>输出的语言; 文件与语言无关</source>
        <translation>Language of the output; files never depend on it</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>进度 (模块和块) 在标准错误, 结果表在标准输出: 站号、协议、
型号、版本、序列号、控制参数、报警参数、第一处不同、用时。
一个块写入或读回失败时再试两次; 不应答的模块记为失败, 其余
模块照常进行。</source>
        <translation>Progress (module and block) goes to standard error, the result table
to standard output: station, framing, device id, firmware, serial
number, control, alarm, first difference, time taken. A block whose
write or read-back fails is tried twice more; a module that does not
answer is reported failed and the others go on.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Ctrl-C: 在线路上的请求结束后停止, 列出已做完的; 被停止的模块
记为已停止。再按一次 Ctrl-C 立即结束。</source>
        <translation>Ctrl-C: stops once the request on the line has ended and lists what
was done; modules cut short are reported stopped. A second Ctrl-C
ends the program at once.</translation>
    </message>
    <message>
        <location line="+116"/>
        <source>krv2060 命令 [选项]</source>
        <translation>krv2060 COMMAND [options]</translation>
    </message>
    <message>
        <location line="+3"/>
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
        <source>命令 (不打开窗口, 不需要显示器):</source>
        <translation>Commands (no window, no display needed):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>列出线路上找到的模块</source>
        <translation>Lists the modules found on the line</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>把参数文件写入多个模块, 读回校验</source>
        <translation>Writes parameter files to modules and verifies them</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>读取多个模块的参数, 存为参数文件</source>
        <translation>Reads modules&apos; parameters into parameter files</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>把多个模块的参数与文件比较, 不写入</source>
        <translation>Compares modules&apos; parameters with files, writes nothing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>说明命令, 同 krv2060 COMMAND --help</source>
        <translation>Describes a command, as krv2060 COMMAND --help</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置文件: %1</source>
        <translation>Settings file: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>没有命令时打开主窗口。</source>
        <translation>Without a command the main window opens.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>串口 COM1..COM4: 在 Windows 以外是环境变量 KRV2060_COMn 中的
设备路径, 未设置时为 /dev/ttyS0../dev/ttyS3。</source>
        <translation>Serial ports COM1..COM4: outside Windows, the device path in the
environment variable KRV2060_COMn, else /dev/ttyS0../dev/ttyS3.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>用法:</source>
        <translation>Usage:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>在每个站号 1..255 上依次用 RTU 和 ASCII 发送标识请求 (Modbus TCP
线路上每个站号一次), 列出应答的本系列模块: 站号、协议、型号、
版本。结果表在标准输出。</source>
        <translation>Sends the identification request to every station address 1..255,
in RTU and in ASCII (on a Modbus TCP line once per address), and
lists the modules of the family that answer: station, framing,
device id, firmware. The table goes to standard output.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>退出状态: 0 找到了模块; 1 没有找到模块、线路无法使用或被停止;
2 用法错误。</source>
        <translation>Exit status: 0 modules found; 1 none found, the line could not be
used, or stopped; 2 usage error.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Ctrl-C: 在线路上的请求结束后停止, 列出已找到的模块。再按一次
Ctrl-C 立即结束。</source>
        <translation>Ctrl-C: stops once the request on the line has ended and lists the
modules found. A second Ctrl-C ends the program at once.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>把控制参数文件和/或报警参数文件写入每个模块, 再读回每个写入的块
并与文件比较。文件先全部检查: 文件有错时说明文件、行和值, 什么
也不发送。</source>
        <translation>Writes a control and/or an alarm parameter file to every module,
then reads every written block back and compares it with the file.
The files are checked first: a fault is reported with its file,
line and value, and nothing is sent.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>退出状态: 0 每个模块都已校验; 1 有模块失败、不一致、无应答或被
停止, 或线路无法使用; 2 用法错误或文件有错 (什么也没发送)。</source>
        <translation>Exit status: 0 every module verified; 1 a module failed, differed,
did not answer or was stopped, or the line could not be used;
2 usage error or a faulty file (nothing was sent).</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>读取每个模块的控制参数块和报警参数块 (包括块8), 在文件夹中为
每个模块保存一个 .CON 和一个 .ALM 文件, 名为 站号_序列号 (如
5_1234.CON), 格式与编辑窗口保存的相同 (GB2312, CR LF)。</source>
        <translation>Reads the control and alarm blocks of every module (block 8 too)
and saves a .CON and an .ALM file per module in the folder, named
station_serial (e.g. 5_1234.CON), in the editors&apos; format (GB2312,
CR LF).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保存备份的文件夹, 必须已经存在。已有的文件不被
替换: 该模块的备份记为失败并说明原因</source>
        <translation>The folder for the backups; it must exist. A
file already there is not replaced: that
module&apos;s backup is reported failed, with why</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件夹无法写入时说明原因; 已保存的文件保持完整。</source>
        <translation>A folder that cannot be written is reported with the reason; files
already saved stay whole.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出状态: 0 每个模块都已读取并保存; 1 有模块失败、无应答或被
停止, 有文件没有保存, 或线路无法使用; 2 用法错误 (什么也没
发送)。</source>
        <translation>Exit status: 0 every module read and saved; 1 a module failed, did
not answer or was stopped, a file was not saved, or the line could
not be used; 2 usage error (nothing was sent).</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>读取每个模块的块并与文件比较, 不写入。结果表指出第一处不同: 通道、
行、文件值和模块值。</source>
        <translation>Reads the blocks of every module and compares them with the files;
writes nothing. The table names the first difference: channel,
row, file value and module value.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>退出状态: 0 每个模块都与文件相同; 1 有模块不同、失败、无应答或
被停止, 或线路无法使用; 2 用法错误或文件有错 (什么也没发送)。</source>
        <translation>Exit status: 0 every module equal to the files; 1 a module
differed, failed, did not answer or was stopped, or the line could
not be used; 2 usage error or a faulty file (nothing was sent).</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>未知选项: %1</source>
        <translation>unknown option: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--port 需要一个值: 串行口或网络地址</source>
        <translation>--port needs a value: a serial port or a network address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--baud 需要一个值: 线路速率</source>
        <translation>--baud needs a value: the line speed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--stations 需要一个值: 站号列表, 如 2,5-7</source>
        <translation>--stations needs a value: a station list such as 2,5-7</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 需要一个值: 文件</source>
        <translation>%1 needs a value: a file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>--dir 需要一个值: 文件夹</source>
        <translation>--dir needs a value: a folder</translation>
    </message>
    <message>
        <location line="+2"/>
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
        <location line="+6"/>
        <source>%1 只用于命令 %2</source>
        <translation>%1 goes only with the command %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>命令 %1 需要 %2</source>
        <translation>the %1 command needs %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>命令 %1 需要 --control 或 --alarm (或两者)</source>
        <translation>the %1 command needs --control or --alarm (or both)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--system-block 只与 --alarm 一起使用</source>
        <translation>--system-block goes only with --alarm</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--baud 只接受 1200, 2400, 4800, 9600, 19200 或 38400, 不接受 &quot;%1&quot;</source>
        <translation>--baud takes 1200, 2400, 4800, 9600, 19200 or 38400, not &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>--stations &quot;%1&quot;: %2</source>
        <translation>--stations &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>可用的选项见 krv2060 --help。</source>
        <translation>See krv2060 --help for the options.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>可用的选项见 krv2060 %1 --help。</source>
        <translation>See krv2060 %1 --help for the options.</translation>
    </message>
</context>
<context>
    <name>krv::ControlEditor</name>
    <message>
        <location filename="../src/ui/control/controleditor.cpp" line="+58"/>
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
        <location line="+24"/>
        <source>通道%1的%2含有双引号或换行，无法保存。</source>
        <translation>%2 of channel %1 contains a double quote or a line break and cannot be saved.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>通道%1的%2含有GB2312编码中没有的字符%3，无法保存。</source>
        <translation>%2 of channel %1 contains %3, which GB2312 cannot hold, and cannot be saved.</translation>
    </message>
    <message>
        <location line="+20"/>
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
        <location filename="../src/ui/editorwindow.cpp" line="+21"/>
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
        <location line="+39"/>
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
        <location line="+4"/>
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
        <location filename="../src/ui/editorwindow.h" line="+35"/>
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
        <location filename="../src/ui/main/mainwindow.cpp" line="+407"/>
        <location filename="../src/ui/main/mainwindowform.cpp" line="+108"/>
        <source>扫描 地址 %1  %2</source>
        <translation>Scan address %1  %2</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>确认窗口</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>准备将系统参数写到模块中吗？</source>
        <translation>Write the system parameters to the module?</translation>
    </message>
    <message>
        <location line="-306"/>
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
        <location line="+3"/>
        <source>%1“%2”不是有效的地址（%3），批量设置没有开始。</source>
        <translation>%1 &quot;%2&quot; is not a valid address (%3); the batch was not started.</translation>
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
        <location line="+3"/>
        <source>%1“%2”不是列表中的项目，批量设置没有开始。</source>
        <translation>%1 &quot;%2&quot; is not one of the list items; the batch was not started.</translation>
    </message>
    <message>
        <location line="+173"/>
        <source>“地  址”必须是%1～%2之间的整数，没有开始运行。</source>
        <translation>“Address” must be a whole number from %1 to %2; polling was not started.</translation>
    </message>
    <message>
        <location line="+74"/>
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
        <location line="+38"/>
        <source>正在扫描模块，批量设置没有开始。</source>
        <translation>A scan is running; the batch was not started.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>参数设置窗口正在使用线路，批量设置没有开始。</source>
        <translation>A parameter editor is using the line; the batch was not started.</translation>
    </message>
    <message>
        <location filename="../src/ui/main/mainwindowform.cpp" line="-330"/>
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
        <location line="+2"/>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>批量设置…</source>
        <translation>Many Modules at Once…</translation>
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
        <location filename="../src/app/program.cpp" line="+47"/>
        <source>控制参数</source>
        <translation>Control editor</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报警参数</source>
        <translation>Alarm editor</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>批量设置</source>
        <translation>Batch</translation>
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
