#include "mtcore/FunctionTarget.h"

CFunctionTarget::CFunctionTarget(Handler handler) : m_handler(std::move(handler)) {}

// Unregister before the handler goes, in case the handler's captures pump.
CFunctionTarget::~CFunctionTarget() {
  DestroyWindow();
}

void CFunctionTarget::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_handler) {
    m_handler(message, wParam, lParam);
  }
}
