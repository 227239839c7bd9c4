// The advice given when a serial port may not be opened: it names the
// device's own group, and says what the user still has to do.
#include "PortAccess.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace {

TEST(PortAccess, AdviceFitsWhereTheUserStands) {
  using serlink::GroupStanding;
  const struct {
    const char* group;
    GroupStanding standing;
    const char* advice;
  } cases[] = {
      {"dialout", GroupStanding::NotMember,
       " (add your user to the 'dialout' group: sudo usermod -aG dialout $USER, then log out "
       "and in again)"},
      {"uucp", GroupStanding::NotMember,
       " (add your user to the 'uucp' group: sudo usermod -aG uucp $USER, then log out and in "
       "again)"},
      {"dialout", GroupStanding::MemberNotActive,
       " (your user is in the 'dialout' group, but this session started before it joined: log "
       "out and in again)"},
      {"dialout", GroupStanding::Active,
       " (the 'dialout' group may not open /dev/ttyUSB0: check its permissions)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(serlink::PermissionAdvice("/dev/ttyUSB0", c.group, c.standing), c.advice) << c.group;
  }
}

TEST(PortAccess, TheGroupIsTheDevicesOwn) {
  // A file of ours belongs to our group, which this session has.
  char path[] = "/tmp/port-access-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const group* own = ::getgrgid(::getegid());
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(serlink::DeviceGroup(path), own->gr_name);
  EXPECT_EQ(serlink::PermissionAdvice(path),
            serlink::PermissionAdvice(path, own->gr_name, serlink::GroupStanding::Active));
  ::unlink(path);
  // Nothing there to ask: the usual group of serial ports.
  EXPECT_EQ(serlink::DeviceGroup("/dev/no-such-port"), "dialout");
}

// Joining the device's group is advised only where it would help: a device
// its group may not read and write, or one of root's group, needs its
// permissions looked at instead.
TEST(PortAccess, JoiningIsAdvisedOnlyWhereItHelps) {
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "no dialout group here";
  gid_t groups[64];
  const int count = ::getgroups(64, groups);
  if (::getegid() == dialout->gr_gid ||
      std::find(groups, groups + std::max(count, 0), dialout->gr_gid) != groups + std::max(count, 0))
    GTEST_SKIP() << "this session is in the dialout group";
  char path[] = "/tmp/port-access-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  if (::chown(path, static_cast<uid_t>(-1), dialout->gr_gid) != 0) {
    ::unlink(path);
    GTEST_SKIP() << "cannot give the file to the dialout group";
  }
  const struct {
    mode_t mode;
    serlink::GroupStanding standing;
  } cases[] = {
      {0660, serlink::GroupStanding::NotMember},
      {0600, serlink::GroupStanding::Active},
      {0640, serlink::GroupStanding::Active},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(::chmod(path, c.mode), 0);
    const std::string advice = serlink::PermissionAdvice(path);
    EXPECT_EQ(advice, serlink::PermissionAdvice(path, "dialout", c.standing)) << std::oct << c.mode;
  }
  ::unlink(path);
}

}  // namespace
