#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class QComboBox;

/// The texts a filter can be chosen from (CFilterChoices), listed away from the user
/// interface thread, as a big site takes a while, once per site folder and filter type
/// and then kept. Drop-downs that ask while a listing runs get its entries when it is
/// done; the busy cursor shows meanwhile.
class CFilterChoicesCache : public QObject {
  Q_OBJECT

public:
  explicit CFilterChoicesCache(QObject* parent);
  /// Takes back the busy cursors of listings still running.
  ~CFilterChoicesCache() override;
  CFilterChoicesCache(const CFilterChoicesCache&) = delete;
  CFilterChoicesCache& operator=(const CFilterChoicesCache&) = delete;

  /// Puts the choices for a filter of `type` below `root` into `editor`: now when
  /// listed before, else once listed. Nothing for an empty root.
  void Fill(const QString& root, std::int32_t type, QComboBox* editor);

private:
  /// A site folder and a filter type.
  using Key = std::pair<QString, std::int32_t>;

  void StartListing(const Key& key);
  void Listed(const Key& key, const QStringList& choices);

  std::map<Key, QStringList> m_choices;
  /// The editors waiting for a listing still running.
  std::map<Key, std::vector<QPointer<QComboBox>>> m_waiting;
  int m_busyCursors = 0;
};
