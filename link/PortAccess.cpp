#include "PortAccess.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace serlink {
namespace {
const char* const kUsualGroup = "dialout";

// A group's entry: its name and members, read with the reentrant call.
struct GroupEntry {
  std::string name;
  std::vector<std::string> members;
};

bool LookUpGroup(gid_t gid, GroupEntry* entry) {
  std::vector<char> buffer(16384);
  group record{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &record, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return false;
  entry->name = found->gr_name;
  for (char** member = found->gr_mem; member != nullptr && *member != nullptr; ++member)
    entry->members.emplace_back(*member);
  return true;
}

// The user running the program: name and primary group.
bool LookUpUser(std::string* name, gid_t* primary) {
  std::vector<char> buffer(16384);
  passwd record{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &record, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr)
    return false;
  *name = found->pw_name;
  *primary = found->pw_gid;
  return true;
}

bool SessionHasGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}
}  // namespace

std::string DeviceGroup(const std::string& path) {
  struct stat info {};
  GroupEntry entry;
  if (::stat(path.c_str(), &info) != 0 || !LookUpGroup(info.st_gid, &entry)) return kUsualGroup;
  return entry.name;
}

std::string PermissionAdvice(const std::string& path, const std::string& group,
                             GroupStanding standing) {
  switch (standing) {
    case GroupStanding::NotMember:
      return " (add your user to the '" + group + "' group: sudo usermod -aG " + group +
             " $USER, then log out and in again)";
    case GroupStanding::MemberNotActive:
      return " (your user is in the '" + group +
             "' group, but this session started before it joined: log out and in again)";
    case GroupStanding::Active:
      break;
  }
  return " (the '" + group + "' group may not open " + path + ": check its permissions)";
}

GroupAdvice PermissionStanding(const std::string& path) {
  struct stat info {};
  GroupEntry group;
  if (::stat(path.c_str(), &info) != 0 || !LookUpGroup(info.st_gid, &group)) {
    return {kUsualGroup, GroupStanding::NotMember};
  }
  // Joining the group helps only when the group may read and write the
  // device, and root's group is never one to join.
  const bool joiningHelps =
      info.st_gid != 0 && (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  if (SessionHasGroup(info.st_gid) || !joiningHelps) return {group.name, GroupStanding::Active};
  std::string user;
  gid_t primary = 0;
  const bool member =
      LookUpUser(&user, &primary) &&
      (primary == info.st_gid ||
       std::find(group.members.begin(), group.members.end(), user) != group.members.end());
  return {group.name, member ? GroupStanding::MemberNotActive : GroupStanding::NotMember};
}

std::string PermissionAdvice(const std::string& path) {
  const GroupAdvice advice = PermissionStanding(path);
  return PermissionAdvice(path, advice.group, advice.standing);
}

}  // namespace serlink
