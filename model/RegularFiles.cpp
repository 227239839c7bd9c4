#include "RegularFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace regularfile {
namespace {

// Symlinks followed before a path is taken for a loop (as the kernel's 40).
constexpr int kMaxLinks = 40;

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string NotRegular(const fs::path& path, mode_t mode) {
  return path.string() + " is " + KindOf(mode) + ", not a regular file";
}

std::string SystemError(const std::string& what, const fs::path& path, int error) {
  return what + ' ' + path.string() + ": " + std::strerror(error);
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::FILE* OpenForReading(const fs::path& path, std::string* why) {
  // O_NONBLOCK: a FIFO's open returns at once instead of waiting for a
  // writer, and a device's open does not wait for a carrier.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (why != nullptr) *why = SystemError("cannot open", path, errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (why != nullptr) *why = NotRegular(path, info.st_mode);
    ::close(fd);
    return nullptr;
  }
  // A regular file never blocks; reading it goes on as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    if (why != nullptr) *why = SystemError("cannot read", path, errno);
    ::close(fd);
  }
  return file;
}

bool ReadStart(const fs::path& path, std::size_t limit, std::string* bytes, std::string* why) {
  std::FILE* file = OpenForReading(path, why);
  if (file == nullptr) return false;
  bytes->assign(limit, '\0');
  const std::size_t got = std::fread(bytes->data(), 1, limit, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  bytes->resize(got);
  if (failed && why != nullptr) *why = "cannot read " + path.string();
  return !failed;
}

fs::path FollowLinks(const fs::path& path, std::string* why) {
  fs::path at = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(at, error))) return at;
    const fs::path target = fs::read_symlink(at, error);
    if (error) {
      if (why != nullptr) *why = "cannot follow the link " + at.string() + ": " + error.message();
      return {};
    }
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  if (why != nullptr) *why = path.string() + ": too many symbolic links (a loop?)";
  return {};
}

bool Replace(const fs::path& path, const std::string& bytes, std::string* why) {
  std::string reason;
  const fs::path target = FollowLinks(path, &reason);
  if (target.empty()) {
    if (why != nullptr) *why = reason;
    return false;
  }
  struct stat info {};
  mode_t mode = 0666 & ~[] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
  }();
  if (::stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      if (why != nullptr) *why = NotRegular(path, info.st_mode);
      return false;
    }
    mode = info.st_mode & 07777;
  } else if (errno != ENOENT) {
    if (why != nullptr) *why = SystemError("cannot write", path, errno);
    return false;
  }

  // mkstemp creates the file exclusively under a name nobody could guess.
  std::string name = target.string() + ".XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    if (why != nullptr) *why = SystemError("cannot write in the folder of", target, errno);
    return false;
  }
  bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(name.c_str(), target.c_str()) == 0) return true;
  if (written) error = errno;
  ::unlink(name.c_str());
  if (why != nullptr) *why = SystemError("cannot write", path, error);
  return false;
}

}  // namespace regularfile
