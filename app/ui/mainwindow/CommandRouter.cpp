#include "mainwindow/CommandRouter.h"

#include "mainwindow/ProjectBar.h"
#include "projects/DocView.h"

#include "projects/Doc.h"

#include <algorithm>
#include <optional>

namespace {

bool IsDocumentCommand(int id) {
  return CCommandRouter::IsDictionaryCommand(id) || id == CDoc::ID_SPELL_CHECK_WORD ||
         (id >= CDoc::ID_PROJECT_REMOVE && id <= CDoc::ID_PROJECT_CHECK_AGAIN);
}

} // namespace

bool CCommandRouter::IsDictionaryCommand(int id) {
  return id >= CDoc::ID_DICTIONARY_FIRST && id <= CDoc::ID_DICTIONARY_LAST;
}

void CCommandRouter::Add(int id, Handler run, Condition enabled) {
  m_own[id] = SOwnCommand{std::move(run), std::move(enabled)};
}

void CCommandRouter::AddRange(int first, int last, std::function<void(int id)> run) {
  m_ranges.push_back(SRange{first, last, std::move(run)});
}

const CCommandRouter::SRange* CCommandRouter::FindRange(int id) const {
  const auto found = std::find_if(m_ranges.begin(), m_ranges.end(), [id](const SRange& range) {
    return id >= range.first && id <= range.last;
  });
  return found == m_ranges.end() ? nullptr : &*found;
}

bool CCommandRouter::IsEnabled(int id) const {
  if (m_view != nullptr) {
    if (const std::optional<bool> enabled = m_view->IsCommandEnabled(id)) {
      return *enabled;
    }
  }
  if (IsDocumentCommand(id)) {
    return m_doc.IsCommandEnabled(id);
  }
  return IsOwnEnabled(id);
}

bool CCommandRouter::IsOwnEnabled(int id) const {
  if (FindRange(id) != nullptr) {
    return true;
  }
  const auto found = m_own.find(id);
  if (found == m_own.end()) {
    return false;
  }
  return !found->second.enabled || found->second.enabled();
}

bool CCommandRouter::IsChecked(int id) const {
  const CWebProject* current = m_doc.GetCurrentProject();
  return id >= CProjectBar::kFirstId && id <= CProjectBar::kLastId && current != nullptr &&
         m_doc.GetProjectIndex(current) == id - CProjectBar::kFirstId;
}

bool CCommandRouter::Run(int id) {
  if (!IsEnabled(id)) {
    return false;
  }
  if (m_view != nullptr && m_view->OnCommand(id)) {
    return true;
  }
  if (IsDocumentCommand(id) && m_doc.OnCommand(id)) {
    return true;
  }
  RunOwn(id);
  return true;
}

void CCommandRouter::RunOwn(int id) {
  if (const SRange* range = FindRange(id)) {
    range->run(id);
    return;
  }
  if (const auto found = m_own.find(id); found != m_own.end()) {
    found->second.run();
  }
}
