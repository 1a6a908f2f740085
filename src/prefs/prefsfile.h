#pragma once

#include "directives.h"

#include <QString>
#include <string_view>

// The preferences file on disk: "Tallyfox Prefs" directly in the user's configuration folder.
class PrefsFile
{
public:
    // The file in QStandardPaths::GenericConfigLocation.
    PrefsFile();
    explicit PrefsFile(QString path);

    [[nodiscard]] QString path() const { return m_path; }
    // "Tallyfox Prefs" in the configuration folder; empty when there is no such folder.
    [[nodiscard]] static QString defaultPath();

    // Appends the file's directives to GlobalsModule::gDirectives; false when it cannot be read.
    // What was not read must not be lost to the first save: a file read in part is copied to
    // "<path> (unread <date time>)" first, and anything at the path that cannot be read at all is
    // moved to that name.
    bool load();

    // For a loader that could not use every record whole: the file is then kept as one that was
    // not read whole.
    void markNotReadWhole();

    // Replaces the file with bytes, atomically: on any failure, the copy that could not be made
    // included, the earlier file stays where and as it was, and the next save tries again.
    // Creates the folder when it is missing. A new file is readable by its owner only; an existing
    // one keeps its mode and, as far as the system lets us, its owner.
    bool save(std::string_view bytes);

private:
    enum class Keep { Nothing, Copy, MoveAside };

    [[nodiscard]] QString unreadCopyPath() const;

    QString m_path;
    Keep m_keep = Keep::Nothing;
};
