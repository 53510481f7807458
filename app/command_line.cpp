#include "app/command_line.h"

#include <QCommandLineParser>

#include <array>
#include <cstdio>

#ifndef BRIVEL_VERSION
#error "BRIVEL_VERSION comes from the project's version in CMakeLists.txt"
#endif

namespace {

// Options Qt's application objects take out of the command line themselves (QGuiApplication,
// QApplication and the xcb platform). They are known here only so that they are not refused.
// clang-format off
constexpr std::array kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowtitle", "qwindowicon", "geometry", "title", "icon", "display", "name", "visual",
    "cmap", "im", "session", "style", "stylesheet", "qmljsdebugger"};
constexpr std::array kQtFlags = {"reverse", "testability", "widgetcount", "nograb", "dograb",
                                 "sync"};
// clang-format on

void AddQtOptions(QCommandLineParser& parser) {
    for (const char* name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// The list --help-all adds: Qt's options, for the application object.
QString QtOptionsHelp() {
    QString text = QStringLiteral("\nQt options (see the Qt documentation):\n");
    for (const char* name : kQtOptionsWithValue)
        text += QStringLiteral("  -%1 <value>\n").arg(name);
    for (const char* name : kQtFlags)
        text += QStringLiteral("  -%1\n").arg(name);
    return text;
}

// The argument as it was written ("--foo", "-foo=1" without "=1"), for a name the parser refused.
QString AsWritten(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        QString undashed = bare;
        while (undashed.startsWith(QLatin1Char('-')))
            undashed.remove(0, 1);
        if (bare.startsWith(QLatin1Char('-')) && undashed == name) return bare;
    }
    return QStringLiteral("--") + name;
}

CommandLineAnswer Refusal(const QString& problem) {
    CommandLineAnswer answer;
    answer.exitStatus = 2;
    answer.err = "brivel: " + problem.toStdString() + "\nTry 'brivel --help'.\n";
    return answer;
}

}  // namespace

CommandLineAnswer ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-platform xcb" is one option, as Qt reads it, not the letters p, l, a, ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Brivel: a table game of flicked checkers, Red army against White army.\n"
                       "Qt's own options (-platform, -style, ...) are accepted as well."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    AddQtOptions(parser);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return Refusal(
                QStringLiteral("unknown option '%1'").arg(AsWritten(arguments, unknown.first())));
        }
        QString text = parser.errorText();
        if (!text.isEmpty()) text[0] = text[0].toLower();
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
        return Refusal(text);
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("brivel"));
        if (parser.isSet(QStringLiteral("help-all"))) text += QtOptionsHelp();
        return {0, text.toStdString(), {}};
    }
    if (parser.isSet(version)) {
        return {0, std::string("brivel ") + BRIVEL_VERSION + "\n", {}};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Refusal(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }
    return {};
}

QStringList ArgumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

std::optional<int> AnswerCommandLine(int argc, char** argv) {
    const CommandLineAnswer answer = ReadCommandLine(ArgumentList(argc, argv));
    std::fputs(answer.out.c_str(), stdout);
    std::fputs(answer.err.c_str(), stderr);
    return answer.exitStatus;
}
