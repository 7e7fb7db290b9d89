#include "projects/DictionarySelection.h"

#include "projects/ProjectNaming.h"

#include <algorithm>

CDictionarySelection::CDictionarySelection(const std::vector<SDictionary>& dictionaries,
                                           const std::vector<int>& activeIds, int addToId)
    : m_initialAddTo(addToId) {
  for (const SDictionary& dictionary : dictionaries) {
    if (dictionary.name.empty() || CProjectNaming::IsIgnoreDictionaryName(dictionary.name)) {
      continue;
    }
    m_active.push_back(std::find(activeIds.begin(), activeIds.end(), dictionary.id) !=
                       activeIds.end());
    m_rows.push_back(dictionary);
    if (CanAddTo(m_rows.size() - 1) && dictionary.id == addToId) {
      m_addTo = m_rows.size() - 1;
    }
  }
}

bool CDictionarySelection::SetAddTo(std::size_t row, bool chosen) {
  if (!CanAddTo(row)) {
    return false;
  }
  if (chosen) {
    m_addTo = row;
  } else if (m_addTo == row) {
    m_addTo.reset();
  }
  return true;
}

std::vector<int> CDictionarySelection::ActiveIds() const {
  std::vector<int> ids;
  for (std::size_t row = 0; row < m_rows.size(); ++row) {
    if (m_active[row]) {
      ids.push_back(m_rows[row].id);
    }
  }
  return ids;
}

int CDictionarySelection::AddToId() const {
  return m_addTo.has_value() ? m_rows[*m_addTo].id : m_initialAddTo;
}

bool CDictionarySelection::IsAddToActive() const {
  const int id = AddToId();
  const std::vector<int> active = ActiveIds();
  return id < 0 || std::find(active.begin(), active.end(), id) != active.end();
}
