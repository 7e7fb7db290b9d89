#pragma once

#include "mtcore/MessageTarget.h"

class CDictionaryRegistry;

/// The registry's hidden window: receives the monitors' notices on the thread that
/// created it (the user interface thread) and hands them to the registry.
class CDictionaryMsgWnd : public CMessageTarget {
public:
  /// Word's dictionary list changed (registry monitor).
  static const UINT MSG_WORD_DICTS_CHANGED;
  /// A dictionary file changed (its file monitor); lParam = the dictionary id.
  static const UINT MSG_DICT_FILE_CHANGED;
  /// A file of the custom dictionary folder was created, deleted or renamed.
  static const UINT MSG_CUSTOM_DIR_CHANGED;

  explicit CDictionaryMsgWnd(CDictionaryRegistry* registry) : m_pRegistry(registry) {}
  ~CDictionaryMsgWnd() override;

  /// Stops handing notices on; those still queued are ignored.
  void Detach() { m_pRegistry = nullptr; }

protected:
  void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  CDictionaryRegistry* m_pRegistry;
};
