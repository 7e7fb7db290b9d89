#pragma once

/// Failure injection for thread starts, for tests only: as root a process limit never
/// stops a thread from being made, yet a user's limit does. Injected failures stay
/// until used up or cleared.
class CMTStartFaults {
public:
  /// The starts after the next `spare` ones fail, `count` of them.
  static void Inject(unsigned count, unsigned spare = 0);
  static void Clear();
  /// Whether injected failures are still to come.
  static bool Pending();
  /// Called as a thread is about to start: whether this start is to fail.
  static bool Fails();
};
