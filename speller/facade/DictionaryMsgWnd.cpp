#include "facade/DictionaryMsgWnd.h"

#include "facade/DictionaryRegistry.h"

const UINT CDictionaryMsgWnd::MSG_WORD_DICTS_CHANGED =
    RegisterWindowMessageA("073E5551-BDB9-40ef-BC9B-C0C99E0AD4FA");
const UINT CDictionaryMsgWnd::MSG_DICT_FILE_CHANGED =
    RegisterWindowMessageA("D8448F3D-4539-4c56-BA24-93CB6E584C8F");
const UINT CDictionaryMsgWnd::MSG_CUSTOM_DIR_CHANGED =
    RegisterWindowMessageA("184FC551-2450-4a8a-B112-2573FF0D9560");

CDictionaryMsgWnd::~CDictionaryMsgWnd() {
  Detach();
  DestroyWindow();
}

void CDictionaryMsgWnd::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (m_pRegistry == nullptr) {
    return;
  }
  if (message == MSG_WORD_DICTS_CHANGED) {
    m_pRegistry->RescanWordDictionaries();
  } else if (message == MSG_DICT_FILE_CHANGED) {
    m_pRegistry->OnDictionaryFileChanged(static_cast<int>(lParam));
  } else if (message == MSG_CUSTOM_DIR_CHANGED) {
    m_pRegistry->RescanCustomFolder();
  }
}
