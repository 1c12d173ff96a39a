#include "app/commandline.h"

#include "krv_version.h"
#include "link/batchfiles.h"
#include "ui/batch/batchtext.h"
#include "ui/statustext.h"

#include <QCommandLineParser>

#include <array>
#include <cstring>

namespace krv {

namespace {

using Command = CommandLine::Command;

// The line speeds a module can run at, in the order of the speed lists.
constexpr std::array<int, 6> Bauds{1200, 2400, 4800, 9600, 19200, 38400};

// The options as the user types them, e.g. "-x" or "--lang".
QString withDashes(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// An option row of the help text: the option in a column of its own, each
// line of the description after it.
QString optionRow(const QString &option, const QString &description)
{
    constexpr qsizetype kColumn = 20;
    QString row;
    const QStringList lines = description.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        row += (i == 0 ? (QStringLiteral("  ") + option).leftJustified(kColumn)
                       : QString(kColumn, u' ')) +
               lines[i] + u'\n';
    return row;
}

struct CommandWord
{
    const char *word;
    Command command;
};
constexpr std::array<CommandWord, 4> Commands{{{"scan", Command::Scan},
                                               {"apply", Command::Apply},
                                               {"backup", Command::Backup},
                                               {"compare", Command::Compare}}};

std::optional<Command> commandFromWord(const QString &word)
{
    for (const CommandWord &c : Commands)
        if (word == QLatin1String(c.word))
            return c.command;
    return std::nullopt;
}

// Which commands take an option (by its long name); --lang, --help and
// --version go everywhere, --port with the window too.
QList<Command> commandsTaking(const QString &option)
{
    if (option == u"baud")
        return {Command::Scan, Command::Apply, Command::Backup, Command::Compare};
    if (option == u"stations" || option == u"report")
        return {Command::Apply, Command::Backup, Command::Compare};
    if (option == u"control" || option == u"alarm" || option == u"system-block")
        return {Command::Apply, Command::Compare};
    if (option == u"dir")
        return {Command::Backup};
    return {Command::Window, Command::Scan, Command::Apply, Command::Backup, Command::Compare};
}

// The options whose value follows them.
constexpr std::array<const char *, 8> ValueOptions{"--lang",    "--port",  "--baud",   "--stations",
                                                   "--control", "--alarm", "--report", "--dir"};

CommandLine failed(CommandLine line, CommandLine::Error error, const QString &culprit)
{
    line.error = error;
    line.culprit = culprit;
    return line;
}

// The checks of the commands' options, once the line is otherwise sound.
CommandLine checkCommand(CommandLine line, const QCommandLineParser &parser)
{
    using E = CommandLine::Error;
    for (const QString &name : parser.optionNames()) {
        if (!commandsTaking(name).contains(line.command))
            return failed(line, E::NotForCommand, withDashes(name));
    }
    if (parser.isSet(QStringLiteral("baud"))) {
        const QString text = parser.value(QStringLiteral("baud"));
        bool ok = false;
        const int baud = text.trimmed().toInt(&ok);
        const auto at = std::find(Bauds.cbegin(), Bauds.cend(), baud);
        if (!ok || at == Bauds.cend())
            return failed(line, E::BadBaud, text);
        line.baud = baud;
        line.rateIndex = static_cast<int>(at - Bauds.cbegin());
    }
    if (parser.isSet(QStringLiteral("stations"))) {
        const QString text = parser.value(QStringLiteral("stations"));
        const StationList list = parseStationList(text);
        if (!list.ok())
            return failed(line, E::BadStations, text);
        line.stations = list.targets;
    }
    // A path given empty is a value not given.
    for (const char *name : {"control", "alarm", "report", "dir"}) {
        const QString option = QString::fromLatin1(name);
        if (parser.isSet(option) && parser.value(option).isEmpty())
            return failed(line, E::MissingValue, withDashes(option));
    }
    line.controlFile = parser.value(QStringLiteral("control"));
    line.alarmFile = parser.value(QStringLiteral("alarm"));
    line.reportFile = parser.value(QStringLiteral("report"));
    line.backupDir = parser.value(QStringLiteral("dir"));
    line.systemBlock = parser.isSet(QStringLiteral("system-block"));

    // What a command cannot do without; its help needs none of it.
    if (line.request != CommandLine::Request::Run || line.command == Command::Window)
        return line;
    if (!line.port)
        return failed(line, E::MissingOption, QStringLiteral("--port"));
    if (line.command == Command::Scan)
        return line;
    if (!parser.isSet(QStringLiteral("stations")))
        return failed(line, E::MissingOption, QStringLiteral("--stations"));
    if (line.command == Command::Backup) {
        if (line.backupDir.isEmpty())
            return failed(line, E::MissingOption, QStringLiteral("--dir"));
        return line;
    }
    if (line.controlFile.isEmpty() && line.alarmFile.isEmpty())
        return failed(line, E::NoParameterFile, QString());
    if (line.systemBlock && line.alarmFile.isEmpty())
        return failed(line, E::SystemBlockWithoutAlarm, QStringLiteral("--system-block"));
    return line;
}

// The rows and paragraphs several commands' help texts share.
QString portRow()
{
    return optionRow(QStringLiteral("--port ADDRESS"),
                     CommandLineText::tr("线路: 串行口 COM1, ttyUSB0 或 /dev/ttyUSB0;\n"
                                         "串口服务器 主机:端口; Modbus TCP 网关\n"
                                         "mbap://主机:端口。不保存到设置中"));
}

QString baudRow()
{
    return optionRow(QStringLiteral("--baud RATE"),
                     CommandLineText::tr("线路速率: 1200, 2400, 4800, 9600, 19200 或\n"
                                         "38400 (默认 9600)"));
}

QString stationsRow()
{
    return optionRow(QStringLiteral("--stations LIST"),
                     CommandLineText::tr("站号 1..255 和范围, 用逗号或空格分开, 如\n"
                                         "2,5-7。后加 a 的站号或范围用 Modbus ASCII\n"
                                         "(如 9a, 5-7a), 其余 (或后加 r) 用 RTU; 在\n"
                                         "Modbus TCP 线路上帧格式不适用。重复的站号\n"
                                         "只算第一次"));
}

QString parameterFileRows(bool compare)
{
    return optionRow(QStringLiteral("--control FILE"),
                     CommandLineText::tr("控制参数文件 (.CON): 通道0..8 的控制块")) +
           optionRow(QStringLiteral("--alarm FILE"),
                     CommandLineText::tr("报警参数文件 (.ALM): 通道0..7 的报警块")) +
           optionRow(QStringLiteral("--system-block"),
                     compare ? CommandLineText::tr("也比较报警参数文件的块8 (请求输出、串口输出、\n"
                                                   "测温通道、控温启动、寄存器寻址)")
                             : CommandLineText::tr("也写入报警参数文件的块8 (请求输出、串口输出、\n"
                                                   "测温通道、控温启动、寄存器寻址)。它改变\n"
                                                   "模块的寻址方式, 所以只在给出本选项时写入"));
}

QString reportRow()
{
    return optionRow(QStringLiteral("--report FILE"),
                     CommandLineText::tr("把结果表另存为 CSV 文件 (UTF-8, 列名为中文);\n"
                                         "已有的文件被替换"));
}

QString langRow()
{
    return optionRow(QStringLiteral("--lang zh|en"),
                     CommandLineText::tr("输出的语言; 文件与语言无关"));
}

QString helpRow()
{
    return optionRow(QStringLiteral("-h, --help"), CommandLineText::tr("显示本帮助后退出"));
}

QString batchOutput()
{
    return CommandLineText::tr("进度 (模块和块) 在标准错误, 结果表在标准输出: 站号、协议、\n"
                               "型号、版本、序列号、控制参数、报警参数、第一处不同、用时。\n"
                               "一个块写入或读回失败时再试两次; 不应答的模块记为失败, 其余\n"
                               "模块照常进行。") +
           u'\n';
}

QString interruptText()
{
    return CommandLineText::tr("Ctrl-C: 在线路上的请求结束后停止, 列出已做完的; 被停止的模块\n"
                               "记为已停止。再按一次 Ctrl-C 立即结束。") +
           u'\n';
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(
        QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("zh|en"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("address"));
    parser.addOptions({help, version, lang, port});
    for (const char *name : {"baud", "stations", "control", "alarm", "report", "dir"})
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringLiteral("system-block")));

    // The parser goes on after a fault, so a good --lang still chooses the
    // language of the error message.
    CommandLine line;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(lang))
        line.language = languageFromCode(parser.value(lang));
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return failed(line, CommandLine::Error::UnknownOption, withDashes(unknown.first()));
        // Only the last argument can lack its value; anything else is a
        // value given to an option that takes none ("--system-block=1").
        const QString last = arguments.last();
        for (const char *option : ValueOptions)
            if (last == QLatin1String(option))
                return failed(line, CommandLine::Error::MissingValue, last);
        for (const QString &argument : arguments.mid(1))
            if (argument.startsWith(u'-') && argument.contains(u'='))
                return failed(line, CommandLine::Error::UnknownOption, argument);
        return failed(line, CommandLine::Error::UnknownOption, last);
    }
    if (parser.isSet(lang) && !line.language)
        return failed(line, CommandLine::Error::BadLanguage, parser.value(lang));
    if (parser.isSet(port)) {
        const LineAddress address = LineAddress::parse(parser.value(port));
        if (!address.valid())
            return failed(line, CommandLine::Error::BadPort, parser.value(port));
        line.port = address;
    }
    if (parser.isSet(help))
        line.request = CommandLine::Request::Help;
    else if (parser.isSet(version))
        line.request = CommandLine::Request::Version;

    // The command: "scan", "apply", ... or "help [COMMAND]".
    QStringList words = parser.positionalArguments();
    if (!words.isEmpty() && words.first() == u"help") {
        words.removeFirst();
        line.request = CommandLine::Request::Help;
        if (words.isEmpty())
            return checkCommand(line, parser);
    }
    if (!words.isEmpty()) {
        const std::optional<Command> command = commandFromWord(words.first());
        if (!command)
            return failed(line, CommandLine::Error::ExtraArgument, words.first());
        line.command = *command;
        if (words.size() > 1)
            return failed(line, CommandLine::Error::ExtraArgument, words.at(1));
    }
    return checkCommand(line, parser);
}

QString commandName(CommandLine::Command command)
{
    for (const CommandWord &c : Commands)
        if (c.command == command)
            return QString::fromLatin1(c.word);
    return QString();
}

bool runsWithoutWindow(int argc, const char *const *argv)
{
    const auto isFlag = [](const char *argument) {
        for (const char *flag : {"-h", "-?", "--help", "-v", "--version", "--system-block"})
            if (std::strcmp(argument, flag) == 0)
                return true;
        return false;
    };
    for (int i = 1; i < argc; ++i)
        for (const char *flag : {"-h", "-?", "--help", "-v", "--version"})
            if (std::strcmp(argv[i], flag) == 0)
                return true;
    // A word that is no option's value: a command, or an argument the
    // command line refuses. An option not known here (the window system's
    // "-platform offscreen") is taken to have its value after it.
    bool valueNext = false;
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (valueNext) {
            valueNext = false;
            continue;
        }
        if (argument[0] == '-' && argument[1] != '\0') {
            valueNext = !std::strchr(argument, '=') && !isFlag(argument);
            continue;
        }
        return true;
    }
    return false;
}

QString CommandLineText::help(const QString &settingsFile)
{
    return tr("用法: krv2060 [选项]") + u'\n' + QStringLiteral("       ") +
           tr("krv2060 命令 [选项]") + u'\n' +
           tr("八通道温度模块的设置与测试工具 (Modbus RTU/ASCII 主站)。") + QStringLiteral("\n\n") +
           tr("选项:") + u'\n' + optionRow(QStringLiteral("-h, --help"), tr("显示本帮助后退出")) +
           optionRow(QStringLiteral("-v, --version"), tr("显示版本号后退出")) +
           optionRow(QStringLiteral("--lang zh|en"),
                     tr("界面语言: zh 中文, en 英文。不给出时用设置中保存的\n"
                        "语言 (language=zh 或 en), 没有则用中文, 与系统的区域\n"
                        "设置无关")) +
           optionRow(QStringLiteral("--port ADDRESS"),
                     tr("本次使用的端口, 代替上次保存的: 串行口 COM1,\n"
                        "ttyUSB0 或 /dev/ttyUSB0; 串口服务器 主机:端口;\n"
                        "Modbus TCP 网关 mbap://主机:端口。“运 行”或\n"
                        "“扫描模块”用过后才保存")) +
           u'\n' + tr("命令 (不打开窗口, 不需要显示器):") + u'\n' +
           optionRow(QStringLiteral("scan"), tr("列出线路上找到的模块")) +
           optionRow(QStringLiteral("apply"), tr("把参数文件写入多个模块, 读回校验")) +
           optionRow(QStringLiteral("backup"), tr("读取多个模块的参数, 存为参数文件")) +
           optionRow(QStringLiteral("compare"), tr("把多个模块的参数与文件比较, 不写入")) +
           optionRow(QStringLiteral("help COMMAND"), tr("说明命令, 同 krv2060 COMMAND --help")) +
           tr("没有命令时打开主窗口。") + u'\n' + u'\n' + tr("设置文件: %1").arg(settingsFile) +
           u'\n' +
           tr("串口 COM1..COM4: 在 Windows 以外是环境变量 KRV2060_COMn 中的\n"
              "设备路径, 未设置时为 /dev/ttyS0../dev/ttyS3。") +
           u'\n';
}

QString CommandLineText::commandHelp(CommandLine::Command command)
{
    const QString usage = tr("用法:") + QStringLiteral(" krv2060 ");
    const QString options = u'\n' + tr("选项:") + u'\n';
    switch (command) {
    case Command::Window:
        break;
    case Command::Scan:
        return usage + QStringLiteral("scan --port ADDRESS [--baud RATE]\n") +
               tr("在每个站号 1..255 上依次用 RTU 和 ASCII 发送标识请求 (Modbus TCP\n"
                  "线路上每个站号一次), 列出应答的本系列模块: 站号、协议、型号、\n"
                  "版本。结果表在标准输出。") +
               u'\n' + options + portRow() + baudRow() + langRow() + helpRow() + u'\n' +
               tr("退出状态: 0 找到了模块; 1 没有找到模块、线路无法使用或被停止;\n"
                  "2 用法错误。") +
               u'\n' +
               tr("Ctrl-C: 在线路上的请求结束后停止, 列出已找到的模块。再按一次\n"
                  "Ctrl-C 立即结束。") +
               u'\n';
    case Command::Apply:
        return usage +
               QStringLiteral("apply --port ADDRESS --stations LIST [--baud RATE]\n"
                              "                     [--control FILE.CON] [--alarm FILE.ALM]\n"
                              "                     [--system-block] [--report FILE.csv]\n") +
               tr("把控制参数文件和/或报警参数文件写入每个模块, 再读回每个写入的块\n"
                  "并与文件比较。文件先全部检查: 文件有错时说明文件、行和值, 什么\n"
                  "也不发送。") +
               u'\n' + options + portRow() + baudRow() + stationsRow() + parameterFileRows(false) +
               reportRow() + langRow() + helpRow() + u'\n' + batchOutput() +
               tr("退出状态: 0 每个模块都已校验; 1 有模块失败、不一致、无应答或被\n"
                  "停止, 或线路无法使用; 2 用法错误或文件有错 (什么也没发送)。") +
               u'\n' + interruptText();
    case Command::Backup:
        return usage +
               QStringLiteral("backup --port ADDRESS --stations LIST --dir FOLDER\n"
                              "                      [--baud RATE] [--report FILE.csv]\n") +
               tr("读取每个模块的控制参数块和报警参数块 (包括块8), 在文件夹中为\n"
                  "每个模块保存一个 .CON 和一个 .ALM 文件, 名为 站号_序列号 (如\n"
                  "5_1234.CON), 格式与编辑窗口保存的相同 (GB2312, CR LF)。") +
               u'\n' + options + portRow() + baudRow() + stationsRow() +
               optionRow(QStringLiteral("--dir FOLDER"),
                         tr("保存备份的文件夹, 必须已经存在。已有的文件不被\n"
                            "替换: 该模块的备份记为失败并说明原因")) +
               reportRow() + langRow() + helpRow() + u'\n' + batchOutput() +
               tr("文件夹无法写入时说明原因; 已保存的文件保持完整。") + u'\n' +
               tr("退出状态: 0 每个模块都已读取并保存; 1 有模块失败、无应答或被\n"
                  "停止, 有文件没有保存, 或线路无法使用; 2 用法错误 (什么也没\n"
                  "发送)。") +
               u'\n' + interruptText();
    case Command::Compare:
        return usage +
               QStringLiteral("compare --port ADDRESS --stations LIST [--baud RATE]\n"
                              "                       [--control FILE.CON] [--alarm FILE.ALM]\n"
                              "                       [--system-block] [--report FILE.csv]\n") +
               tr("读取每个模块的块并与文件比较, 不写入。结果表指出第一处不同: 通道、\n"
                  "行、文件值和模块值。") +
               u'\n' + options + portRow() + baudRow() + stationsRow() + parameterFileRows(true) +
               reportRow() + langRow() + helpRow() + u'\n' + batchOutput() +
               tr("退出状态: 0 每个模块都与文件相同; 1 有模块不同、失败、无应答或\n"
                  "被停止, 或线路无法使用; 2 用法错误或文件有错 (什么也没发送)。") +
               u'\n' + interruptText();
    }
    return QString();
}

QString CommandLineText::version()
{
    return QStringLiteral("krv2060 " KRV_VERSION "\n");
}

QString CommandLineText::error(const CommandLine &line)
{
    using E = CommandLine::Error;
    QString text;
    switch (line.error) {
    case E::None:
        return {};
    case E::UnknownOption:
        text = tr("未知选项: %1").arg(line.culprit);
        break;
    case E::MissingValue:
        if (line.culprit == u"--port")
            text = tr("--port 需要一个值: 串行口或网络地址");
        else if (line.culprit == u"--baud")
            text = tr("--baud 需要一个值: 线路速率");
        else if (line.culprit == u"--stations")
            text = tr("--stations 需要一个值: 站号列表, 如 2,5-7");
        else if (line.culprit == u"--control" || line.culprit == u"--alarm" ||
                 line.culprit == u"--report")
            text = tr("%1 需要一个值: 文件").arg(line.culprit);
        else if (line.culprit == u"--dir")
            text = tr("--dir 需要一个值: 文件夹");
        else
            text = tr("%1 需要一个值: zh 或 en").arg(line.culprit);
        break;
    case E::BadLanguage:
        text = tr("--lang 只接受 zh 或 en, 不接受 \"%1\"").arg(line.culprit);
        break;
    case E::BadPort:
        text = tr("--port \"%1\" 不是有效的地址: %2")
                   .arg(line.culprit, StatusText::of(LineAddress::parse(line.culprit).fault));
        break;
    case E::ExtraArgument:
        text = tr("多余的参数: %1").arg(line.culprit);
        break;
    case E::NotForCommand: {
        QStringList commands;
        for (Command c : commandsTaking(line.culprit.mid(2)))
            commands << commandName(c);
        text = tr("%1 只用于命令 %2").arg(line.culprit, commands.join(QStringLiteral(", ")));
        break;
    }
    case E::MissingOption:
        text = tr("命令 %1 需要 %2").arg(commandName(line.command), line.culprit);
        break;
    case E::NoParameterFile:
        text = tr("命令 %1 需要 --control 或 --alarm (或两者)").arg(commandName(line.command));
        break;
    case E::SystemBlockWithoutAlarm:
        text = tr("--system-block 只与 --alarm 一起使用");
        break;
    case E::BadBaud:
        text = tr("--baud 只接受 1200, 2400, 4800, 9600, 19200 或 38400, 不接受 \"%1\"")
                   .arg(line.culprit);
        break;
    case E::BadStations:
        text = tr("--stations \"%1\": %2")
                   .arg(line.culprit, BatchText::stationListFault(parseStationList(line.culprit)));
        break;
    }
    const QString hint =
        line.command == Command::Window
            ? tr("可用的选项见 krv2060 --help。")
            : tr("可用的选项见 krv2060 %1 --help。").arg(commandName(line.command));
    return QStringLiteral("krv2060: ") + text + u'\n' + hint + u'\n';
}

} // namespace krv
