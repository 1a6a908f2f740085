#pragma once

#include "directives.h"

#include <QString>
#include <optional>
#include <string_view>

// The preferences file on disk: "Tallyfox Prefs" directly in the user's configuration folder.
class PrefsFile
{
public:
    // The file in QStandardPaths::GenericConfigLocation.
    PrefsFile();
    explicit PrefsFile(QString path);

    [[nodiscard]] QString path() const { return m_path; }

    // Appends the file's directives to GlobalsModule::gDirectives; false when it cannot be read.
    // A file that exists but could not be read whole is copied aside before the first save
    // replaces it, so rows that were not loaded stay on disk.
    bool load();

    // Replaces the file with bytes, atomically: on any failure the earlier file stays as it was.
    // Creates the folder when it is missing; a new file is readable by its owner only.
    bool save(std::string_view bytes);

    // The name of the copy kept of a file that was not read whole.
    [[nodiscard]] QString backupPath() const;

private:
    bool keepUnreadCopy();

    QString m_path;
    bool m_keepUnread = false;
};
