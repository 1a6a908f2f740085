#pragma once

#include "directives.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct stat;

// A copy of the file that a save kept beside it, and why.
struct KeptCopy
{
    enum class Why {
        // The list shows less than the file held: a file not read whole, or not readable.
        NotReadWhole,
        // The file changed on disk after it was last read or written.
        ChangedElsewhere,
    };
    Why why;
    QString path;

    bool operator==(const KeptCopy &) const = default;
};

// Why a save failed, as far as the user can act on it, with the system's error behind it.
struct SaveFailure
{
    enum class Kind {
        // No permission to change the file itself.
        FileReadOnly,
        // No permission to write in the file's folder, or a file system mounted read-only.
        FolderReadOnly,
        // The disk is full, a quota is used up, or the file grew past a size limit.
        NoRoom,
        // A folder, or anything else that is not a file, is where the file should be.
        NotAFile,
        // The folder is not there: a link into a drive that is not mounted, say.
        Unreachable,
        Other,
    };
    Kind kind = Kind::Other;
    int error = 0;

    bool operator==(const SaveFailure &) const = default;
};

// The preferences file on disk: "Tallyfox Prefs" directly in the user's configuration folder.
class PrefsFile
{
public:
    // The file in QStandardPaths::GenericConfigLocation, its backups in "tallyfox/backups" of
    // QStandardPaths::GenericDataLocation.
    PrefsFile();
    // Without a backup folder, no backups are made.
    explicit PrefsFile(QString path, QString backupFolder = {});

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
    // False when the next save keeps a copy of what it replaces, as one not read whole.
    [[nodiscard]] bool readWhole() const { return m_keep == Keep::Nothing; }

    // Replaces the file with bytes, atomically, and syncs its folder: on any failure, the copy
    // that could not be made included, the earlier file stays where and as it was, and the next
    // save tries again. Creates the folder when it is missing. A new file is readable by its owner
    // only; an existing one keeps its mode, its extended attributes (its access control list
    // among them) and, as far as the system lets us, its owner.
    // A file changed on disk since it was last read or written is first copied to
    // "<path> (changed elsewhere <date time>)". The first save of a day first copies the file to
    // the backup folder as "Tallyfox Prefs <date>", and prunes the older backups; a backup that
    // cannot be made does not stop the save.
    bool save(std::string_view bytes);
    // Why the last save failed; nothing when it succeeded.
    [[nodiscard]] std::optional<SaveFailure> lastFailure() const { return m_failure; }

    // The copies kept by the saves since the last call.
    [[nodiscard]] std::vector<KeptCopy> takeKeptCopies();

private:
    enum class Keep { Nothing, Copy, MoveAside };

    // What tells a file apart from the one it was: its place on disk, size and time of change.
    struct Stamp
    {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;

        bool operator==(const Stamp &) const = default;
    };
    [[nodiscard]] static Stamp stampFrom(const struct stat &status);
    // The stamp of the regular file at path, through any link; nothing for anything else.
    [[nodiscard]] static std::optional<Stamp> stampOf(const QString &path);

    [[nodiscard]] QString copyPath(const QString &why) const;
    bool replace(std::string_view bytes);
    bool keepChangedElsewhere();
    void backUp();

    QString m_path;
    QString m_backupFolder;
    Keep m_keep = Keep::Nothing;
    // Whether the file was looked at, and what it was when last read or written.
    bool m_looked = false;
    std::optional<Stamp> m_seen;
    std::vector<KeptCopy> m_kept;
    std::optional<SaveFailure> m_failure;
};

// Where the list goes when it could not be saved and nobody is there to be asked (a signal, the
// end of the session, a display gone): "tallyfox" in the user's state folder.
namespace UnsavedCopies {

// "$XDG_STATE_HOME/tallyfox", else "~/.local/state/tallyfox".
[[nodiscard]] QString folder();
// Writes bytes to a new "Tallyfox Prefs (unsaved <date time>)" there, readable by its owner
// only, in a folder made for its owner alone when missing. Its path; empty when it could not be
// written.
QString keep(std::string_view bytes);
// The copies there that no earlier call returned, in this run or an earlier one. Each is returned
// once.
QStringList takeUntold();

} // namespace UnsavedCopies
