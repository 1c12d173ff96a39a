#include "app/commandline.h"

#include "krv_version.h"
#include "ui/statustext.h"

#include <QCommandLineParser>

#include <cstring>

namespace krv {

namespace {

// The options as the user types them, e.g. "-x" or "--lang".
QString withDashes(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// An option row of the help text: the option in a column of its own, each
// line of the description after it.
QString optionRow(const QString &option, const QString &description)
{
    constexpr qsizetype kColumn = 18;
    QString row;
    const QStringList lines = description.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        row += (i == 0 ? (QStringLiteral("  ") + option).leftJustified(kColumn)
                       : QString(kColumn, u' ')) +
               lines[i] + u'\n';
    return row;
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

    // The parser goes on after a fault, so a good --lang still chooses the
    // language of the error message.
    CommandLine line;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(lang))
        line.language = languageFromCode(parser.value(lang));
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        line.error = unknown.isEmpty() ? CommandLine::Error::MissingValue
                                       : CommandLine::Error::UnknownOption;
        // Only the last argument can lack its value.
        line.culprit = !unknown.isEmpty()                            ? withDashes(unknown.first())
                       : arguments.last() == QLatin1String("--port") ? QStringLiteral("--port")
                                                                     : QStringLiteral("--lang");
        return line;
    }
    if (parser.isSet(lang) && !line.language) {
        line.error = CommandLine::Error::BadLanguage;
        line.culprit = parser.value(lang);
        return line;
    }
    if (parser.isSet(port)) {
        const LineAddress address = LineAddress::parse(parser.value(port));
        if (!address.valid()) {
            line.error = CommandLine::Error::BadPort;
            line.culprit = parser.value(port);
            return line;
        }
        line.port = address;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.error = CommandLine::Error::ExtraArgument;
        line.culprit = parser.positionalArguments().first();
        return line;
    }
    if (parser.isSet(help))
        line.request = CommandLine::Request::Help;
    else if (parser.isSet(version))
        line.request = CommandLine::Request::Version;
    return line;
}

bool asksForTextOnly(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *flag : {"-h", "-?", "--help", "-v", "--version"})
            if (std::strcmp(argv[i], flag) == 0)
                return true;
    }
    return false;
}

QString CommandLineText::help(const QString &settingsFile)
{
    return tr("用法: krv2060 [选项]") + u'\n' +
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
           u'\n' + tr("设置文件: %1").arg(settingsFile) + u'\n' +
           tr("串口 COM1..COM4: 在 Windows 以外是环境变量 KRV2060_COMn 中的\n"
              "设备路径, 未设置时为 /dev/ttyS0../dev/ttyS3。") +
           u'\n';
}

QString CommandLineText::version()
{
    return QStringLiteral("krv2060 " KRV_VERSION "\n");
}

QString CommandLineText::error(const CommandLine &line)
{
    QString text;
    switch (line.error) {
    case CommandLine::Error::None:
        return {};
    case CommandLine::Error::UnknownOption:
        text = tr("未知选项: %1").arg(line.culprit);
        break;
    case CommandLine::Error::MissingValue:
        text = line.culprit == u"--port" ? tr("--port 需要一个值: 串行口或网络地址")
                                         : tr("%1 需要一个值: zh 或 en").arg(line.culprit);
        break;
    case CommandLine::Error::BadLanguage:
        text = tr("--lang 只接受 zh 或 en, 不接受 \"%1\"").arg(line.culprit);
        break;
    case CommandLine::Error::BadPort:
        text = tr("--port \"%1\" 不是有效的地址: %2")
                   .arg(line.culprit, StatusText::of(LineAddress::parse(line.culprit).fault));
        break;
    case CommandLine::Error::ExtraArgument:
        text = tr("多余的参数: %1").arg(line.culprit);
        break;
    }
    return QStringLiteral("krv2060: ") + text + u'\n' + tr("可用的选项见 krv2060 --help。") + u'\n';
}

} // namespace krv
