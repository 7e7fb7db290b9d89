#include "checking/BadWordsLocList.h"

void CBadWordsLocList::AddTail(std::unique_ptr<CBadWordLoc> location) {
  if (location != nullptr) {
    m_items.push_back(std::move(location));
  }
}
