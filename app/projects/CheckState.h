#pragma once

#include <cstdint>

/// Where a project's collection and check stand. The values are those the project
/// data file and older versions used, so they stay as numbered.
enum class ECheckState : std::int32_t {
  NotStarted = 0,
  Collecting = 1,
  Collected = 2,
  Checking = 3,
  Checked = 4,
  OutOfDate = 5, ///< files changed since the last run; "Spell Check Again" is offered
};
