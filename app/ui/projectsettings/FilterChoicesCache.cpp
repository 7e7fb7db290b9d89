#include "projectsettings/FilterChoicesCache.h"

#include "projects/FilterChoices.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {
QStringList ListChoices(const std::string& root, std::int32_t type) {
  QStringList choices;
  for (const std::string& path : CFilterChoices::List(root, type)) {
    choices << QString::fromStdString(path);
  }
  return choices;
}

/// Adds the listed entries to an editor the user may be typing in or looking at.
void AddChoices(QComboBox& editor, const QStringList& choices) {
  const QString typed = editor.currentText();
  const bool open = editor.view()->isVisible();
  editor.addItems(choices);
  editor.setEditText(typed);
  if (open) {
    // Reopened, so the list takes the size of its new entries.
    editor.hidePopup();
    editor.showPopup();
  }
}
} // namespace

CFilterChoicesCache::CFilterChoicesCache(QObject* parent) : QObject(parent) {}

CFilterChoicesCache::~CFilterChoicesCache() {
  while (m_busyCursors > 0) {
    QApplication::restoreOverrideCursor();
    --m_busyCursors;
  }
}

void CFilterChoicesCache::Fill(const QString& root, std::int32_t type, QComboBox* editor) {
  if (root.isEmpty()) {
    return;
  }
  const Key key{root, type};
  if (const auto listed = m_choices.find(key); listed != m_choices.end()) {
    editor->addItems(listed->second);
    return;
  }
  std::vector<QPointer<QComboBox>>& waiting = m_waiting[key];
  waiting.emplace_back(editor);
  if (waiting.size() == 1) {
    StartListing(key);
  }
}

void CFilterChoicesCache::StartListing(const Key& key) {
  // The window stays usable meanwhile.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  ++m_busyCursors;
  auto* watcher = new QFutureWatcher<QStringList>(this);
  connect(watcher, &QFutureWatcher<QStringList>::finished, this, [this, watcher, key] {
    watcher->deleteLater();
    Listed(key, watcher->result());
  });
  watcher->setFuture(QtConcurrent::run(ListChoices, key.first.toStdString(), key.second));
}

void CFilterChoicesCache::Listed(const Key& key, const QStringList& choices) {
  if (m_busyCursors > 0) {
    QApplication::restoreOverrideCursor();
    --m_busyCursors;
  }
  m_choices[key] = choices;
  const std::vector<QPointer<QComboBox>> waiting = std::move(m_waiting[key]);
  m_waiting.erase(key);
  for (const QPointer<QComboBox>& editor : waiting) {
    if (!editor.isNull()) {
      AddChoices(*editor, choices);
    }
  }
}
