#pragma once

#include <QString>

// What the command line asks for, worked out before the application object exists, so that the
// answers need no display.
struct CommandLine
{
    enum class Outcome { Run, Help, Version, Error };

    Outcome outcome = Outcome::Run;
    // The text to print, with its line ends: the usage, the version, or the error and a hint.
    QString message;

    // The conventional status: 0 for the usage and the version, 2 for a command line in error.
    [[nodiscard]] int exitStatus() const { return outcome == Outcome::Error ? 2 : 0; }
    // Prints the message, an error on stderr and the rest on stdout; returns the exit status,
    // or 1 when the message could not be written.
    [[nodiscard]] int report() const;

    bool operator==(const CommandLine &) const = default;
};

// Reads the program's own options from argv. Qt's own options (-style, -platform, -reverse...)
// and their values are skipped here, since QApplication reads them from the same argv later.
[[nodiscard]] CommandLine parseCommandLine(int argc, const char *const *argv);
