#pragma once

#include <functional>
#include <map>
#include <vector>

class CDoc;
class CDocView;

/// Where the main window's commands go: to the view first, then to the document for the
/// document's ids, then to the frame's own handlers, each of which is added with the
/// state it is enabled in. A disabled command goes nowhere. User interface thread only.
class CCommandRouter {
public:
  using Handler = std::function<void()>;
  using Condition = std::function<bool()>;

  /// `doc` outlives the router.
  explicit CCommandRouter(CDoc& doc) : m_doc(doc) {}

  /// The view offered every command first; may be null.
  void SetView(CDocView* view) { m_view = view; }
  CDocView* GetView() const { return m_view; }

  /// The frame's own command `id`: `run` carries it out, enabled while `enabled` says
  /// so (always without it).
  void Add(int id, Handler run, Condition enabled = {});
  /// The frame's own commands `first` to `last`, always enabled: `run` gets the id.
  void AddRange(int first, int last, std::function<void(int id)> run);

  bool IsEnabled(int id) const;
  /// Whether `id` is the project bar command of the document's current project.
  bool IsChecked(int id) const;
  /// Carries out command `id`; false when it is disabled.
  bool Run(int id);

  /// The ids of the dictionary editors, one per dictionary.
  static bool IsDictionaryCommand(int id);

private:
  struct SOwnCommand {
    Handler run;
    Condition enabled;
  };
  struct SRange {
    int first;
    int last;
    std::function<void(int id)> run;
  };

  bool IsOwnEnabled(int id) const;
  void RunOwn(int id);
  const SRange* FindRange(int id) const;

  CDoc& m_doc;
  CDocView* m_view = nullptr;
  std::map<int, SOwnCommand> m_own;
  std::vector<SRange> m_ranges;
};
