#pragma once

#include "mtcore/MessageTarget.h"

#include <functional>

/// A message target that hands every message to a function; for simple owners and
/// tests. The function runs on the thread that constructed the target.
class CFunctionTarget : public CMessageTarget {
public:
  using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

  explicit CFunctionTarget(Handler handler);
  ~CFunctionTarget() override;

protected:
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  Handler m_handler;
};
