// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, read before the application object exists: "--help" and
// "--version" must answer without a display and without reaching a running instance. Qt's own
// options ("-platform", "-display"...) are let through for the application object to take.
class CommandLine {
public:
    enum class Action { run, help, version, toggle, usageError };

    static CommandLine parse(const QStringList& arguments);

    Action action() const { return action_; }
    // The dock to toggle, for Action::toggle.
    const QString& dock() const { return dock_; }
    // What to print: the usage or the version, or the problem and the usage.
    const QString& text() const { return text_; }
    // Prints the text where it belongs and answers the exit code, for every action but run and
    // toggle: 0 for help and version, 2 for a usage error.
    int answer() const;

private:
    Action action_ = Action::run;
    QString dock_;
    QString text_;
};
