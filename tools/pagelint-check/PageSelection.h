#pragma once

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

/// The pages named by --files-from and --pages, resolved against one site root.
///
/// A line is a path, absolute or relative. A relative one is taken from the current
/// folder when the file it names there lies inside the root (git prints "site/a.html"
/// from the repository's top), else from the root ("a.html"). Blank lines and a
/// carriage return before the line end are ignored. A path that leads outside the
/// root, through ".." or a link, is refused before anything of it is read.
class CPageSelection {
public:
  /// A listed path that is inside the root but cannot be checked.
  struct SNotChecked {
    std::string given;
    std::string reason;
  };

  /// A selected page.
  struct SPage {
    std::string given; ///< as listed
    std::string path;  ///< through its folder's real path, as the collection names it
  };

  /// The lines of `in`, blank ones left out and a final "\r" taken off each.
  static std::vector<std::string> ReadLines(std::istream& in);

  /// Resolves `lines` against `root` (absolute and free of links, ending in "/") from
  /// `currentDir`. False, with `error`, at the first line that leads outside the root.
  bool Resolve(const std::string& root, const std::string& currentDir,
               const std::vector<std::string>& lines, std::string& error);

  /// The full paths a check may meet each selected page under: the path through its
  /// folder's real path and the page's own real path (they differ for a linked page).
  std::shared_ptr<const std::set<std::string>> GetPaths() const { return m_paths; }
  /// Each selected page once, in the order listed.
  const std::vector<SPage>& GetPages() const { return m_pages; }
  /// The listed paths that name no page, in the order listed.
  const std::vector<SNotChecked>& GetNotChecked() const { return m_notChecked; }

private:
  /// False when `line` leads outside `root`; else adds it to the pages or the rest.
  bool Add(const std::string& root, const std::string& currentDir, const std::string& line);

  /// Shared with the check run, which reads it on its threads once resolving is over.
  std::shared_ptr<std::set<std::string>> m_paths = std::make_shared<std::set<std::string>>();
  std::vector<SPage> m_pages;
  std::set<std::string> m_listed; ///< the paths of m_pages
  std::vector<SNotChecked> m_notChecked;
};
