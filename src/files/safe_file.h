#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

// The one way the program replaces a file: the profile, an export, and any small file of its own.
//
// How is chosen once, from what is there:
// - rename: the new bytes go to a temporary file beside the old one (<name>.tmp<random>), synced, renamed
// over
//   it, so a crash or a full disk leaves the old file or the new one, whole; the new file keeps the old one's
//   owner, group and permissions. Taken where the folder is ours to write and the owner can be kept.
// - in place: the file is rewritten where it stands, under an flock, so two copies never interleave. Taken
// for
//   a file we may write in a folder we may not (our own file in a shared folder), or one whose owner a new
//   file could not keep. The room for the new bytes is reserved first, so a full disk fails before any old
//   byte is overwritten; a failure after that says that the file is now incomplete.
// - refuse: anything that is not a regular file (a folder, a FIFO, a device, a link to one), a file marked
//   read-only (no write permission bit at all, which binds root too) or not ours to write.
// A link is written through to its target. No wait for another copy is longer than its LockWait.
namespace tumblecast::files {

// Why a file was not written: the file and the reason, for the message "Cannot write <path>: <reason>".
struct FileError {
    QString path;
    QString reason;
};

// Receives a file's bytes in order; a piece is valid only during the call. A sink that cannot take a piece
// throws, which ends the stream there.
using Sink = std::function<void(std::string_view)>;

// A file's new bytes, handed to a sink in order. Their total length is asked for only when the file is
// rewritten in place, to reserve the room first; it may cost a pass over a large text.
struct Content {
    std::function<std::uint64_t()> size;
    std::function<void(const Sink&)> write;
};

// Writes content as the file at path. For a file of the user's choosing: no lock file is made beside it.
std::optional<FileError> writeFile(const QString& path, const Content& content);

// The new bytes of a file made from its old ones (nothing when it is missing); nothing to leave it as it is.
using Update = std::function<std::optional<QByteArray>(const std::optional<QByteArray>& old)>;

// A read-modify-write of a file the program keeps for itself (the profile), under the lock file
// <path>.lock beside it, so that two copies never lose each other's changes. Folders on the way to a new file
// are made (the user's alone). Our own temporary files that a killed copy left beside it are removed.
std::optional<FileError> updateFile(const QString& path, const Update& update);

// Replaces a small whole text file with text, or creates it: updateFile() with the old bytes ignored. For a
// file of the program's own beside the profile (the recent expressions of the notation window, say):
//     if (auto error = files::replaceTextFile(dir + "/recent.txt", lines)) show(error->path, error->reason);
std::optional<FileError> replaceTextFile(const QString& path, const QByteArray& text);

}  // namespace tumblecast::files
