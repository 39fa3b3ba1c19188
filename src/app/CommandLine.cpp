// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// Qt's options that the application object takes out of the arguments, with and without a
// value; accepted here so that they never count as unknown.
constexpr const char* qtValueOptions[] = {"platform",
                                          "platformpluginpath",
                                          "platformtheme",
                                          "plugin",
                                          "qwindowgeometry",
                                          "qwindowtitle",
                                          "qwindowicon",
                                          "stylesheet",
                                          "style",
                                          "session",
                                          "display",
                                          "geometry",
                                          "name",
                                          "title",
                                          "visual",
                                          "qmljsdebugger",
                                          "fn",
                                          "font",
                                          "bg",
                                          "background",
                                          "fg",
                                          "foreground",
                                          "btn",
                                          "button",
                                          "im",
                                          "inputstyle",
                                          "ncols"};
constexpr const char* qtFlagOptions[] = {"reverse", "widgetcount", "sync",
                                         "nograb",  "dograb",      "cmap"};

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("A dock and launcher for the Linux desktop. Without "
                                        "options it starts, or shows the settings window of "
                                        "the running instance."));
    // Qt's options are written with one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Show the version and exit."));
    const QCommandLineOption toggle(QStringLiteral("toggle"),
                                    tr("Show or hide a dock of the running instance."),
                                    tr("dock name or id"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(toggle);
    for (const char* name : qtValueOptions) {
        QCommandLineOption option(QLatin1String(name), {}, QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : qtFlagOptions) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    // Without an application object Qt cannot name the program.
    const QString usage =
        parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("moorline"));
    if (!parser.parse(arguments)) {
        line.action_ = Action::usageError;
        line.text_ = parser.errorText() + QLatin1Char('\n') + usage;
    } else if (parser.isSet(help)) {
        line.action_ = Action::help;
        line.text_ = usage;
    } else if (parser.isSet(version)) {
        line.action_ = Action::version;
        line.text_ = QStringLiteral("moorline %1\n").arg(QStringLiteral(MOORLINE_VERSION));
    } else if (!parser.positionalArguments().isEmpty()) {
        line.action_ = Action::usageError;
        line.text_ = tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first()) +
                     QLatin1Char('\n') + usage;
    } else if (parser.isSet(toggle)) {
        line.action_ = Action::toggle;
        line.dock_ = parser.value(toggle);
    }
    return line;
}

int CommandLine::answer() const {
    const bool problem = action_ == Action::usageError;
    std::fputs(qPrintable(text_), problem ? stderr : stdout);
    return problem ? 2 : 0;
}
