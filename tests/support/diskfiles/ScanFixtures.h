#pragma once

#include "SiteTree.h"
#include "diskfiles/DirScan.h"

#include <cerrno>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline const std::function<bool()> kNeverStop = [] { return false; };

/// The files of the last pass, relative to the root.
inline std::vector<std::string> Relative(const CDirScan& scan) {
  std::vector<std::string> paths;
  for (const auto& entry : scan.GetFiles()) {
    paths.push_back(entry.path.substr(scan.GetRoot().size()));
  }
  return paths;
}

/// Fails the opening of one folder with a chosen error (0: none), after an optional
/// action on the site and the folder outside it.
struct Fault {
  std::string folder;
  int error = 0;
  std::function<void(const SiteTree& site, const std::string& outside)> before = {};
};

/// A scan of a test site's ".html" files whose folder opening can be made to fail.
class FailingScan : public CDirScan {
public:
  FailingScan(const SiteTree& site, Fault fault, bool recursive = true,
              const std::vector<std::string>& exclusions = {}, int maxDepth = MAX_DEPTH,
              std::string outside = {})
      : CDirScan(site.Root(), recursive, CExtensionSet({"html"}), exclusions, maxDepth),
        m_site(site), m_fault(std::move(fault)), m_outside(std::move(outside)) {}

protected:
  int OpenFolder(int parentFd, const char* name) override {
    if (std::string_view(name) == m_fault.folder) {
      if (m_fault.before) {
        m_fault.before(m_site, m_outside);
      }
      if (m_fault.error != 0) {
        errno = m_fault.error;
        return -1;
      }
    }
    return CDirScan::OpenFolder(parentFd, name);
  }

private:
  const SiteTree& m_site;
  Fault m_fault;
  std::string m_outside;
};
