#include "utilcore/PseudoFileSystem.h"

#include <cstdint>
#include <sys/vfs.h>

namespace {
struct Known {
  std::uint32_t magic;
  const char* name;
};

// devtmpfs reports the magic of tmpfs, which also holds real sites (/tmp), so it cannot
// be told apart here; it holds device nodes, which a walk never lists anyway.
constexpr Known kPseudo[] = {
    {0x9fa0, "proc"},        {0x62656572, "sysfs"},      {0x1cd1, "devpts"},
    {0x27e0eb, "cgroup"},    {0x63677270, "cgroup2"},    {0x64626720, "debugfs"},
    {0x74726163, "tracefs"}, {0x73636673, "securityfs"}, {0x6165676c, "pstore"},
    {0xcafe4a11, "bpf"},     {0x62656570, "configfs"},   {0x65735543, "fusectl"},
    {0x19800202, "mqueue"},  {0x958458f6, "hugetlbfs"},  {0xf97cff8c, "selinuxfs"},
    {0x43415d53, "smackfs"}, {0xde5e81e4, "efivarfs"},   {0x42494e4d, "binfmt_misc"},
    {0x6e736673, "nsfs"},    {0x7655821, "resctrl"},     {0x67596969, "rpc_pipefs"},
};
} // namespace

const char* CPseudoFileSystem::NameOf(int fd) {
  struct statfs info {};
  if (fstatfs(fd, &info) != 0) {
    return nullptr;
  }
  const auto magic = static_cast<std::uint32_t>(info.f_type);
  for (const auto& known : kPseudo) {
    if (known.magic == magic) {
      return known.name;
    }
  }
  return nullptr;
}
