#pragma once

#include <functional>
#include <string>

/// Walks a folder tree without ever looping: every real folder is entered at most
/// once, however symbolic links lead back to it. Folders that cannot be read are
/// skipped; sockets, pipes and devices are never reported.
class CDirWalker {
public:
  struct COptions {
    bool recursive = false;
    /// Enter (and report) folders reached through symbolic links.
    bool followFolderLinks = false;
    /// Report and enter names that begin with a dot.
    bool includeHidden = true;
    /// Nothing more than this many levels below the start is reported.
    int maxDepth = 64;
  };
  /// Called with a file's full path, or a folder's full path ending in "/"; returns
  /// false to stop the walk.
  using Visitor = std::function<bool(const std::string& path, bool isFolder)>;

  /// False when `folder` itself cannot be read.
  static bool Walk(const std::string& folder, const COptions& options, const Visitor& visit);
};
