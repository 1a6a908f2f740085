#include "commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The options QApplication and its platform plugins read, with a dash or two, and whether the
// next argument is their value.
struct QtOption
{
    QLatin1StringView name;
    bool takesValue;
};
constexpr std::array qtOptions {
    QtOption { "display"_L1, true },
    QtOption { "geometry"_L1, true },
    QtOption { "icon"_L1, true },
    QtOption { "name"_L1, true },
    QtOption { "platform"_L1, true },
    QtOption { "platformpluginpath"_L1, true },
    QtOption { "platformtheme"_L1, true },
    QtOption { "plugin"_L1, true },
    QtOption { "qmljsdebugger"_L1, true },
    QtOption { "qwindowgeometry"_L1, true },
    QtOption { "qwindowicon"_L1, true },
    QtOption { "qwindowtitle"_L1, true },
    QtOption { "session"_L1, true },
    QtOption { "style"_L1, true },
    QtOption { "stylesheet"_L1, true },
    QtOption { "title"_L1, true },
    QtOption { "visual"_L1, true },
    QtOption { "dograb"_L1, false },
    QtOption { "nograb"_L1, false },
    QtOption { "reverse"_L1, false },
    QtOption { "sync"_L1, false },
    QtOption { "testability"_L1, false },
    QtOption { "widgetcount"_L1, false },
};
// These few also take their value after a "=" in the same argument.
constexpr std::array qtJoinedOptions { "qmljsdebugger="_L1, "style="_L1, "stylesheet="_L1 };

// The argument without its one or two leading dashes; empty when it is no option.
QStringView optionWord(QStringView argument)
{
    if (argument.startsWith("--"_L1))
        return argument.mid(2);
    if (argument.startsWith(u'-'))
        return argument.mid(1);
    return {};
}

const QtOption *qtOption(QStringView word)
{
    const auto *const found = std::find_if(qtOptions.begin(), qtOptions.end(),
        [word](const QtOption &option) { return word == option.name; });
    return found == qtOptions.end() ? nullptr : found;
}

bool isJoinedQtOption(QStringView word)
{
    return std::any_of(qtJoinedOptions.begin(), qtJoinedOptions.end(),
        [word](QLatin1StringView prefix) { return word.startsWith(prefix); });
}

// The arguments without Qt's own options and their values. After "--" nothing is an option.
QStringList withoutQtOptions(int argc, const char *const *argv)
{
    QStringList kept;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        options = options && argument != "--"_L1;
        const QStringView word = i > 0 && options ? optionWord(argument) : QStringView();
        if (const QtOption *option = qtOption(word)) {
            if (option->takesValue)
                ++i;
        } else if (!isJoinedQtOption(word)) {
            kept.append(argument);
        }
    }
    return kept;
}

} // namespace

int CommandLine::report() const
{
    std::FILE *const stream = outcome == Outcome::Error ? stderr : stdout;
    const QByteArray bytes = message.toLocal8Bit();
    const bool written = std::fputs(bytes.constData(), stream) >= 0 && std::fflush(stream) == 0;
    return written ? exitStatus() : 1;
}

CommandLine parseCommandLine(int argc, const char *const *argv)
{
    const QStringList arguments = withoutQtOptions(argc, argv);
    QString program = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    if (program.isEmpty())
        program = u"tallyfox"_s;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Record how long you work on each project.\n"
        "Qt's own options, such as -style, -platform and -reverse, are accepted too."_s);
    // Qt's options are single-dash words, so a single dash starts a word here too: -bogus is
    // one unknown option, not five unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ u"h"_s, u"help"_s }, u"Show this help and exit."_s);
    const QCommandLineOption version({ u"v"_s, u"version"_s }, u"Show the version and exit."_s);
    parser.addOption(help);
    parser.addOption(version);

    const auto error = [&program](const QString &what) {
        return CommandLine { CommandLine::Outcome::Error,
            u"%1: %2\nTry '%1 --help' for more information.\n"_s.arg(program, what) };
    };
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(help)) {
        // Without an application object, Qt cannot know the program's name for the usage line.
        QString usage = parser.helpText();
        usage.replace("<executable_name>"_L1, program);
        return { CommandLine::Outcome::Help, usage };
    }
    if (parser.isSet(version))
        return { CommandLine::Outcome::Version, u"Tally Fox " TALLYFOX_VERSION "\n"_s };
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty())
        return error(u"Unexpected argument '%1'."_s.arg(extra.first()));
    return {};
}
