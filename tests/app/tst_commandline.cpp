// krv2060's command line: what the parser makes of the arguments, and the
// built programs answering --help, --version, --lang and --port as a user
// sees it.
#include "app/commandline.h"
#include "krv_version.h"
#include "link/batchfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace krv;

Q_DECLARE_METATYPE(CommandLine::Request)
Q_DECLARE_METATYPE(CommandLine::Error)
Q_DECLARE_METATYPE(CommandLine::Command)

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs program with a settings directory of its own and an English system
// locale, without a display.
Run run(const QString &program, const QStringList &args, const QString &configHome,
        bool offscreen = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (offscreen)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    for (const char *name : {"LANG", "LC_ALL", "LC_MESSAGES"})
        env.insert(QString::fromLatin1(name), QStringLiteral("en_US.UTF-8"));
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US:en"));

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        using R = CommandLine::Request;
        using E = CommandLine::Error;
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<R>("request");
        QTest::addColumn<QString>("language"); // empty: not given
        QTest::addColumn<E>("error");
        QTest::addColumn<QString>("culprit");
        QTest::addColumn<QString>("port"); // the address's text; empty: not given
        QTest::newRow("nothing") << QStringList{} << R::Run << "" << E::None << ""
                                 << "";
        QTest::newRow("--help") << QStringList{"--help"} << R::Help << "" << E::None << ""
                                << "";
        QTest::newRow("-?") << QStringList{"-?"} << R::Help << "" << E::None << ""
                            << "";
        QTest::newRow("--version") << QStringList{"--version"} << R::Version << "" << E::None << ""
                                   << "";
        QTest::newRow("-v") << QStringList{"-v"} << R::Version << "" << E::None << ""
                            << "";
        QTest::newRow("help wins") << QStringList{"-v", "-h"} << R::Help << "" << E::None << ""
                                   << "";
        QTest::newRow("--lang en") << QStringList{"--lang", "en"} << R::Run << "en" << E::None << ""
                                   << "";
        QTest::newRow("--lang=ZH")
            << QStringList{"--lang=ZH", "--help"} << R::Help << "zh" << E::None << ""
            << "";
        QTest::newRow("last --lang")
            << QStringList{"--lang", "zh", "--lang", "en"} << R::Run << "en" << E::None << ""
            << "";
        QTest::newRow("bad language")
            << QStringList{"--lang", "fr", "--help"} << R::Run << "" << E::BadLanguage << "fr"
            << "";
        QTest::newRow("no value") << QStringList{"--lang"} << R::Run << "" << E::MissingValue
                                  << "--lang"
                                  << "";
        QTest::newRow("unknown long")
            << QStringList{"--bogus", "--version"} << R::Run << "" << E::UnknownOption << "--bogus"
            << "";
        QTest::newRow("unknown keeps --lang")
            << QStringList{"--lang", "en", "-x"} << R::Run << "en" << E::UnknownOption << "-x"
            << "";
        QTest::newRow("unknown short")
            << QStringList{"-x"} << R::Run << "" << E::UnknownOption << "-x"
            << "";
        QTest::newRow("argument") << QStringList{"COM1"} << R::Run << "" << E::ExtraArgument
                                  << "COM1"
                                  << "";
        QTest::newRow("--port adapter")
            << QStringList{"--port", "ttyUSB0"} << R::Run << "" << E::None << ""
            << "ttyUSB0";
        QTest::newRow("--port=gateway") << QStringList{"--port=mbap://gw:502", "--lang", "en"}
                                        << R::Run << "en" << E::None << ""
                                        << "mbap://gw:502";
        QTest::newRow("--port device server, help")
            << QStringList{"--port", "tcp://10.0.0.7:4001", "--help"} << R::Help << "" << E::None
            << ""
            << "10.0.0.7:4001";
        QTest::newRow("--port COM")
            << QStringList{"--port", "com2"} << R::Run << "" << E::None << ""
            << "COM2";
        QTest::newRow("malformed port")
            << QStringList{"--port", "host:", "--version"} << R::Run << "" << E::BadPort << "host:"
            << "";
        QTest::newRow("empty port") << QStringList{"--port="} << R::Run << "" << E::BadPort << ""
                                    << "";
        QTest::newRow("malformed port keeps --lang")
            << QStringList{"--lang", "en", "--port", "ftp://x:1"} << R::Run << "en" << E::BadPort
            << "ftp://x:1"
            << "";
        QTest::newRow("port without value") << QStringList{"--lang", "en", "--port"} << R::Run
                                            << "en" << E::MissingValue << "--port"
                                            << "";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(CommandLine::Request, request);
        QFETCH(QString, language);
        QFETCH(CommandLine::Error, error);
        QFETCH(QString, culprit);
        QFETCH(QString, port);
        const CommandLine line = parseCommandLine(QStringList{"krv2060"} + args);
        QCOMPARE(line.error, error);
        QCOMPARE(line.culprit, culprit);
        QCOMPARE(line.request, request);
        QCOMPARE(line.language ? languageCode(*line.language) : QString(), language);
        QCOMPARE(line.port ? line.port->text() : QString(), port);
    }

    // The commands and their options: what each takes, what each needs
    // (unless its help is asked for), and values refused for their form.
    void parseCommands_data()
    {
        using C = CommandLine::Command;
        using R = CommandLine::Request;
        using E = CommandLine::Error;
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<C>("command");
        QTest::addColumn<R>("request");
        QTest::addColumn<E>("error");
        QTest::addColumn<QString>("culprit");
        QTest::addColumn<QString>("options"); // what the line holds, as options() gives it

        const QStringList port{"--port", "COM1"};
        QTest::newRow("scan, command last")
            << QStringList{"--port", "mbap://gw:502", "--baud", "38400", "scan"} << C::Scan
            << R::Run << E::None << ""
            << " 38400/5";
        QTest::newRow("apply") << QStringList{"apply",       "--port",         "COM2",
                                              "--baud=1200", "--stations",     "2,5-7,9a",
                                              "--control",   "a.CON",          "--alarm",
                                              "a.ALM",       "--system-block", "--report",
                                              "r.csv"}
                               << C::Apply << R::Run << E::None << ""
                               << "2,5-7,9a 1200/0 a.CON a.ALM block8 r.csv ";
        QTest::newRow("backup") << QStringList{"backup", "--stations", "3 4", "--dir", "/tmp"} +
                                       port
                                << C::Backup << R::Run << E::None << ""
                                << "3-4 9600/3    /tmp";
        QTest::newRow("help COMMAND")
            << QStringList{"help", "backup"} << C::Backup << R::Help << E::None << ""
            << " 9600/3    ";
        QTest::newRow("COMMAND --help needs nothing")
            << QStringList{"apply", "--help"} << C::Apply << R::Help << E::None << ""
            << " 9600/3    ";
        QTest::newRow("help of no command") << QStringList{"help", "restore"} << C::Window
                                            << R::Help << E::ExtraArgument << "restore"
                                            << "";
        QTest::newRow("two commands") << QStringList{"scan", "apply"} + port << C::Scan << R::Run
                                      << E::ExtraArgument << "apply"
                                      << "";
        QTest::newRow("no --port")
            << QStringList{"scan"} << C::Scan << R::Run << E::MissingOption << "--port"
            << "";
        QTest::newRow("no --stations") << QStringList{"apply", "--control", "a.CON"} + port
                                       << C::Apply << R::Run << E::MissingOption << "--stations"
                                       << "";
        QTest::newRow("no --dir") << QStringList{"backup", "--stations", "2"} + port << C::Backup
                                  << R::Run << E::MissingOption << "--dir"
                                  << "";
        QTest::newRow("no file") << QStringList{"compare", "--stations", "2"} + port << C::Compare
                                 << R::Run << E::NoParameterFile << ""
                                 << "";
        QTest::newRow("--system-block alone")
            << QStringList{"apply", "--stations", "2", "--control", "a", "--system-block"} + port
            << C::Apply << R::Run << E::SystemBlockWithoutAlarm << "--system-block"
            << "";
        QTest::newRow("--dir with compare, even for help")
            << QStringList{"compare", "--dir", "d", "--help"} << C::Compare << R::Help
            << E::NotForCommand << "--dir"
            << "";
        QTest::newRow("--baud for the window") << QStringList{"--baud", "9600"} + port << C::Window
                                               << R::Run << E::NotForCommand << "--baud"
                                               << "";
        QTest::newRow("speed of no line") << QStringList{"scan", "--baud", "9601"} + port << C::Scan
                                          << R::Run << E::BadBaud << "9601"
                                          << "";
        QTest::newRow("empty station list")
            << QStringList{"backup", "--dir", "d", "--stations", ""} + port << C::Backup << R::Run
            << E::BadStations << ""
            << "";
        QTest::newRow("--dir without value") << QStringList{"backup", "--stations", "2", "--dir"}
                                             << C::Window << R::Run << E::MissingValue << "--dir"
                                             << "";
        QTest::newRow("--report empty") << QStringList{"apply", "--alarm", "a", "--report="}
                                        << C::Apply << R::Run << E::MissingValue << "--report"
                                        << "";
        QTest::newRow("a flag with a value")
            << QStringList{"apply", "--system-block=1"} << C::Window << R::Run << E::UnknownOption
            << "--system-block=1"
            << "";
    }
    void parseCommands()
    {
        QFETCH(QStringList, args);
        QFETCH(CommandLine::Command, command);
        QFETCH(CommandLine::Request, request);
        QFETCH(CommandLine::Error, error);
        QFETCH(QString, culprit);
        QFETCH(QString, options);
        const CommandLine line = parseCommandLine(QStringList{"krv2060"} + args);
        QCOMPARE(line.error, error);
        QCOMPARE(line.culprit, culprit);
        QCOMPARE(line.command, command);
        QCOMPARE(line.request, request);
        if (error == CommandLine::Error::None)
            QCOMPARE(QStringList({stationListText(line.stations),
                                  QStringLiteral("%1/%2").arg(line.baud).arg(line.rateIndex),
                                  line.controlFile, line.alarmFile,
                                  line.systemBlock ? QStringLiteral("block8") : QString(),
                                  line.reportFile, line.backupDir})
                         .join(u' ')
                         .simplified(),
                     options.simplified());
    }

    // Whether main() builds a core application (no display) or the window's.
    void runsWithoutWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("withoutWindow");
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("--port") << QStringList{"--port", "COM1", "--lang=en"} << false;
        QTest::newRow("window system option") << QStringList{"-platform", "offscreen"} << false;
        QTest::newRow("--help") << QStringList{"--port", "COM1", "--help"} << true;
        QTest::newRow("command after options")
            << QStringList{"--port", "COM1", "--system-block", "apply"} << true;
        QTest::newRow("argument refused") << QStringList{"--lang", "en", "COM1"} << true;
    }
    void runsWithoutWindow()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, withoutWindow);
        QList<QByteArray> bytes{"krv2060"};
        for (const QString &arg : std::as_const(args))
            bytes << arg.toLocal8Bit();
        QList<const char *> argv;
        for (const QByteArray &b : std::as_const(bytes))
            argv << b.constData();
        QCOMPARE(krv::runsWithoutWindow(int(argv.size()), argv.constData()), withoutWindow);
    }

    // Without a display: --version and --help need no window.
    void versionAndHelpWithoutDisplay()
    {
        QTemporaryDir config;
        const Run v = run(KRV2060_PATH, {"--version"}, config.path());
        QCOMPARE(v.exitCode, 0);
        QCOMPARE(v.out, QStringLiteral("krv2060 " KRV_VERSION "\n"));

        const Run sim = run(KRV_SIM_PATH, {"--version"}, config.path());
        QCOMPARE(sim.exitCode, 0);
        QCOMPARE(sim.out, QStringLiteral("krv2060-sim " KRV_VERSION "\n"));

        // Chinese under an English system locale, naming the settings file.
        const Run h = run(KRV2060_PATH, {"--help"}, config.path());
        QCOMPARE(h.exitCode, 0);
        QVERIFY2(h.out.startsWith(u"用法: krv2060"), qPrintable(h.out));
        QVERIFY(h.out.contains(QDir(config.path()).filePath("krv2060/krv2060.conf")));
        QVERIFY(h.out.contains(u"--lang zh|en"));
        QVERIFY(h.out.contains(u"--port ADDRESS"));
        QVERIFY(h.out.contains(u"mbap://"));
    }

    void savedLanguageAndOption()
    {
        QTemporaryDir config;
        QSettings(QDir(config.path()).filePath("krv2060/krv2060.conf"), QSettings::IniFormat)
            .setValue(kLanguageSetting, "en");

        const Run en = run(KRV2060_PATH, {"--help"}, config.path());
        QVERIFY2(en.out.startsWith(u"Usage: krv2060"), qPrintable(en.out));
        const Run zh = run(KRV2060_PATH, {"--lang", "zh", "--help"}, config.path());
        QVERIFY2(zh.out.startsWith(u"用法: krv2060"), qPrintable(zh.out));
    }

    // Errors go to standard error with status 2 before any window opens, in
    // the language that applies without the faulty option.
    void errorsBeforeTheWindow()
    {
        QTemporaryDir config;
        const Run bad = run(KRV2060_PATH, {"--lang", "fr"}, config.path(), true);
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.out.isEmpty());
        QVERIFY2(bad.err.contains(u"krv2060: --lang 只接受 zh 或 en, 不接受 \"fr\""),
                 qPrintable(bad.err));

        const Run extra = run(KRV2060_PATH, {"--lang", "en", "COM1"}, config.path(), true);
        QCOMPARE(extra.exitCode, 2);
        QVERIFY2(extra.err.contains(u"krv2060: unexpected argument: COM1"), qPrintable(extra.err));

        // A malformed --port: named with what is wrong with it.
        const Run port = run(KRV2060_PATH, {"--port", "host:99999"}, config.path(), true);
        QCOMPARE(port.exitCode, 2);
        QVERIFY(port.out.isEmpty());
        QVERIFY2(port.err.contains(u"krv2060: --port \"host:99999\" 不是有效的地址: "
                                   u"端口号必须是1～65535之间的整数"),
                 qPrintable(port.err));
        const Run english =
            run(KRV2060_PATH, {"--lang", "en", "--port", ":502"}, config.path(), true);
        QCOMPARE(english.exitCode, 2);
        QVERIFY2(english.err.contains(u"krv2060: --port \":502\" is not a valid address: "
                                      u"the host name is missing"),
                 qPrintable(english.err));
        const Run missing = run(KRV2060_PATH, {"--port"}, config.path(), true);
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(u"krv2060: --port 需要一个值"), qPrintable(missing.err));
        // Nothing was saved.
        QVERIFY(!QFile::exists(QDir(config.path()).filePath("krv2060/krv2060.conf")));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
