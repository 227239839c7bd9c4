// Files the program reads and writes are regular files. A name that turns out
// to be a FIFO, a device node or a folder is refused with a reason, never
// opened in a way that could block or be replaced: a FIFO opened for reading
// waits for a writer for ever, and a rename over a device node would put a
// plain file in its place.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace regularfile {

// Opens path for reading when it is a regular file (through symlinks), without
// ever blocking on the open. nullptr, with the reason in why, otherwise.
std::FILE* OpenForReading(const std::filesystem::path& path, std::string* why);

// The first limit bytes of a regular file (all of it when shorter). false,
// with the reason, when it is not one or cannot be read.
bool ReadStart(const std::filesystem::path& path, std::size_t limit, std::string* bytes,
               std::string* why);

// What path names once its symlinks are followed (a relative link from the
// link's own folder). The same path when it is no symlink or does not exist;
// empty, with the reason, when the links go round in a loop.
std::filesystem::path FollowLinks(const std::filesystem::path& path, std::string* why);

// Puts bytes in the file at path, all or nothing: written to a temporary file
// created exclusively beside the target, flushed to the disk, then renamed
// over the target. A symlink is written through to its target. The target
// must be a regular file or not exist yet; anything else is refused. A file
// that is replaced keeps its permissions. false, with the reason, when
// nothing was changed.
bool Replace(const std::filesystem::path& path, const std::string& bytes, std::string* why);

}  // namespace regularfile
