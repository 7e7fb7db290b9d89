#include "mainwindow/LibraryInfoDlg.h"

#include "utilcore/FileUtils.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace {
// The libraries that are part of Pagelint, whether built shared or not.
constexpr std::array kOwnPrefixes{"libspellcore", "libpagelint", "libmtcore", "libutilcore",
                                  "libdiskfiles", "libappcfg",   "libshadeui"};
constexpr int kMinWidth = 640;
constexpr int kMinHeight = 320;

bool IsOwn(std::string_view fileName) {
  for (const std::string_view prefix : kOwnPrefixes) {
    if (fileName.substr(0, prefix.size()) == prefix &&
        fileName.find(".so") != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

std::string VersionOf(std::string_view fileName) {
  const std::size_t so = fileName.find(".so.");
  return so == std::string_view::npos ? std::string() : std::string(fileName.substr(so + 4));
}

std::string ReadMaps() {
  std::ifstream file("/proc/self/maps");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void AddRow(QTreeWidget* tree, const std::string& caption, const std::string& version,
            const std::string& path = {}) {
  // The tree owns its items.
  new QTreeWidgetItem(tree, {QString::fromStdString(caption), QString::fromStdString(version),
                             QString::fromStdString(path)});
}
} // namespace

std::vector<CLibraryInfoDlg::SLibrary> CLibraryInfoDlg::FindOwnLibraries(std::string_view maps) {
  std::vector<SLibrary> libraries;
  while (!maps.empty()) {
    const std::size_t end = maps.find('\n');
    const std::string_view line = maps.substr(0, end);
    maps = end == std::string_view::npos ? std::string_view() : maps.substr(end + 1);
    // The path is the sixth field and may itself hold blanks; it always begins with '/'.
    const std::size_t slash = line.find('/');
    if (slash == std::string_view::npos) {
      continue;
    }
    const std::string path(line.substr(slash));
    const std::string name = CFileUtils::ParseFileNameFromPath(path, true);
    if (!IsOwn(name)) {
      continue;
    }
    const bool known = std::any_of(libraries.begin(), libraries.end(),
                                   [&path](const SLibrary& seen) { return seen.path == path; });
    if (!known) {
      libraries.push_back({name, VersionOf(name), path});
    }
  }
  return libraries;
}

CLibraryInfoDlg::CLibraryInfoDlg(QWidget* parent, const Rows& folders) : QDialog(parent) {
  setObjectName("libraryInfoDlg");
  setWindowTitle(QStringLiteral("Pagelint Library Information"));
  auto* tree = new QTreeWidget(this);
  tree->setObjectName("libraryList");
  tree->setRootIsDecorated(false);
  tree->setColumnCount(3);
  tree->setHeaderLabels(
      {QStringLiteral("Item"), QStringLiteral("Version"), QStringLiteral("Path")});
  AddRow(tree, "Pagelint", PAGELINT_VERSION, QCoreApplication::applicationFilePath().toStdString());
  for (const SLibrary& library : FindOwnLibraries(ReadMaps())) {
    AddRow(tree, library.name, library.version, library.path);
  }
  AddRow(tree, "Qt", qVersion());
  for (const auto& [caption, value] : folders) {
    AddRow(tree, caption, {}, value);
  }
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree);
  layout->addWidget(buttons);
  setMinimumSize(kMinWidth, kMinHeight);
}
