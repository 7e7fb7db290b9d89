#pragma once

#include "appcfg/AppSettings.h"
#include "projects/DocSettings.h"

#include <cstdint>

/// Pagelint's own settings, appended to the application settings in their file: the
/// dictionary editor's find options, the configuration dialog's last tab, the
/// document's folders and the user's background styles.
class CPagelintSettings : public CAppSettings {
public:
  static constexpr std::uint16_t kVersion = 5;

  /// Registers an empty viewer and editor for every supported HTML extension when no
  /// application is registered yet.
  CPagelintSettings();
  ~CPagelintSettings() override;

  /// The folders the document uses; its `save` writes these settings.
  CDocSettings& GetDocSettings() { return m_docSettings; }
  const CDocSettings& GetDocSettings() const { return m_docSettings; }

  bool findMatchCase = false;
  bool findSearchDown = false;
  /// False: the search wraps around.
  bool findStopAtEnd = false;
  std::int32_t configurationTab = 0;

protected:
  void Serialize(CArchiveWriter& archive) const override;
  /// Reads versions 1 to 5; throws CArchiveException for any other.
  void Serialize(CArchiveReader& archive) override;
  void SetDefaults() override;

private:
  void SetOwnDefaults();
  /// The file application tables of version 2.
  static void ReadExtensionTables(CArchiveReader& archive);

  CDocSettings m_docSettings;
};
