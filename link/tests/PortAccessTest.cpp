// The advice given when a serial port may not be opened: it names the
// device's own group, and says what the user still has to do.
#include "PortAccess.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
