#pragma once

#include <optional>

/// A window that carries out some of the program's commands (ids 45000 and up, and
/// the edit commands 57634 ...). The frame offers each command to the view first, then
/// to the document, then handles it itself.
class CCommandTarget {
public:
  virtual ~CCommandTarget() = default;
  /// Carries the command out; false when it is not this target's.
  virtual bool OnCommand(int id) = 0;
  /// Whether the command is enabled now; nullopt when it is not this target's.
  virtual std::optional<bool> IsCommandEnabled(int id) const = 0;

protected:
  CCommandTarget() = default;
  CCommandTarget(const CCommandTarget&) = default;
  CCommandTarget& operator=(const CCommandTarget&) = default;
};
