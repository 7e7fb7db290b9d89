#include "projects/FilterChoices.h"

#include "checking/ProjectFilter.h"
#include "utilcore/DirUtils.h"
#include "utilcore/FileUtils.h"
#include "utilcore/HTMLUtils.h"
#include "utilcore/TextArray.h"

namespace {
// Deep enough for any real site; a loop of links cannot get past it.
constexpr int kMaxFolderDepth = 30;

std::vector<std::string> ListFolders(const std::string& root) {
  std::vector<std::string> folders;
  CDirUtils::GetDirectoryList(root, folders, kMaxFolderDepth);
  return folders;
}

std::vector<std::string> ListPages(const std::string& root) {
  std::vector<std::string> extensions;
  CHTMLUtils::GetSupportedHTMLFiles(extensions, true);
  std::vector<std::string> pages;
  CFileUtils::GetFileList(root, extensions, true, pages, true, true, false);
  return pages;
}
} // namespace

std::vector<std::string> CFilterChoices::List(const std::string& root, std::int32_t filterType) {
  if (root.empty() ||
      (filterType != CProjectFilter::SUB_DIRECTORY && filterType != CProjectFilter::FILE)) {
    return {};
  }
  std::string base = root;
  CDirUtils::EnsureTrailingBackslash(base);
  std::vector<std::string> paths =
      filterType == CProjectFilter::SUB_DIRECTORY ? ListFolders(base) : ListPages(base);
  CDirUtils::MakePathsRelative(paths, base);
  TextArray sorted(std::move(paths));
  sorted.Sort(true, false, true, true);
  return std::move(sorted.Items());
}
