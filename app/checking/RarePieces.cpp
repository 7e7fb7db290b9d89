#include "checking/RarePieces.h"

#include "checking/BadWord.h"
#include "checking/CodeTokens.h"

#include <algorithm>

CRarePieces::CRarePieces(PlainWords plainWords) : m_plainWords(std::move(plainWords)) {}

bool CRarePieces::IsRare(std::string_view key) const {
  const auto found = m_pieces.find(std::string(key));
  return found == m_pieces.end() || found->second.Count() <= kMaxRareWords;
}

void CRarePieces::Judge(CBadWord* word) {
  bool rare = false;
  CCodeTokens::ForEachKey(word->GetPieces(),
                          [&](std::string_view key) { rare = rare || IsRare(key); });
  const bool hidden = !rare;
  if (hidden != word->IsHidden()) {
    m_hidden = hidden ? m_hidden + 1 : m_hidden - 1;
    word->SetHidden(hidden);
  }
}

void CRarePieces::AfterChange(const SPiece& piece, std::size_t before) {
  if ((before <= kMaxRareWords) == (piece.Count() <= kMaxRareWords)) {
    return;
  }
  for (CBadWord* word : piece.codeWords) {
    Judge(word);
  }
}

void CRarePieces::CountPlain(const CBadWord* word, EChange change) {
  const std::string key = CCodeTokens::PlainKey(word->GetWord());
  if (key.empty()) {
    return;
  }
  const auto found = m_pieces.find(key);
  if (found == m_pieces.end()) {
    return;
  }
  SPiece& piece = found->second;
  const std::size_t before = piece.Count();
  if (change == EChange::kAdded) {
    ++piece.plainWords;
  } else if (piece.plainWords > 0) {
    --piece.plainWords;
  }
  AfterChange(piece, before);
}

void CRarePieces::Add(CBadWord* word) {
  if (word->GetPieces().empty()) {
    CountPlain(word, EChange::kAdded);
    return;
  }
  CCodeTokens::ForEachKey(word->GetPieces(), [&](std::string_view key) {
    auto [at, added] = m_pieces.try_emplace(std::string(key));
    if (added) {
      at->second.plainWords = m_plainWords ? m_plainWords(key) : 0;
    }
    const std::size_t before = at->second.Count();
    at->second.codeWords.push_back(word);
    AfterChange(at->second, before);
  });
  Judge(word);
}

void CRarePieces::Remove(CBadWord* word) {
  if (word->GetPieces().empty()) {
    CountPlain(word, EChange::kRemoved);
    return;
  }
  if (word->IsHidden()) {
    --m_hidden;
    word->SetHidden(false);
  }
  // Out of every piece first: judging the others must never see this word again.
  std::vector<std::pair<std::string, std::size_t>> changed;
  CCodeTokens::ForEachKey(word->GetPieces(), [&](std::string_view key) {
    const auto at = m_pieces.find(std::string(key));
    if (at == m_pieces.end()) {
      return;
    }
    const std::size_t before = at->second.Count();
    std::erase(at->second.codeWords, word);
    if (at->second.codeWords.empty()) {
      m_pieces.erase(at);
      return;
    }
    changed.emplace_back(key, before);
  });
  for (const auto& [key, before] : changed) {
    AfterChange(m_pieces.at(key), before);
  }
}

void CRarePieces::Clear() {
  m_pieces.clear();
  m_hidden = 0;
}
