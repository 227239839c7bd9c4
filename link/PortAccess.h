// What to tell the user when a serial port cannot be opened for want of
// permission. Serial devices belong to a group (dialout on Debian, uucp on
// some other systems) and a user who is not in it may not open them; a user
// who has just been added needs a new session before it counts.
#pragma once

#include <string>

namespace serlink {

// The group that owns the device at path; "dialout" when that cannot be told.
std::string DeviceGroup(const std::string& path);

// Where the user stands with the device's group.
enum class GroupStanding {
  NotMember,        // must join the group
  MemberNotActive,  // joined, but this session started before
  Active,           // in the group now: the device's own permissions refuse
};

// The group of the device at path and where the user running the program
// stands with it.
struct GroupAdvice {
  std::string group;
  GroupStanding standing = GroupStanding::NotMember;
};
GroupAdvice PermissionStanding(const std::string& path);

// The advice for a port at path owned by group, in parentheses, ready to
// follow the system's error text.
std::string PermissionAdvice(const std::string& path, const std::string& group,
                             GroupStanding standing);
// The same for the device at path and the user running the program.
std::string PermissionAdvice(const std::string& path);

}  // namespace serlink
