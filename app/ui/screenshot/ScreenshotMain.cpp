// pagelint-screenshot: starts Pagelint in a fresh home the way a newcomer does (the
// welcome, then the project settings window, filled in with a site), waits until the
// site is checked and writes a picture of the main window.
//
//   pagelint-screenshot SITE_FOLDER PROJECT_NAME OUTPUT.png [SETTINGS.png [MENU.png
//                       [DICTIONARIES.png]]]
//
// With SETTINGS.png the project settings window is pictured too, with a filter added.
// Once the site is checked, MENU.png pictures the window with the Dictionaries menu open
// and DICTIONARIES.png the project settings window opened again, whose dictionaries
// grid then lists the site's own word list.
// PAGELINT_SCREENSHOT_DARK=1 pictures the windows in a dark desktop theme.
//
// Run it with HOME and XDG_CONFIG_HOME pointing at an empty folder (tools/screenshot.sh
// does that, under Xvfb).
#include "app/PagelintApp.h"
#include "mainwindow/MainFrame.h"
#include "widgets/MessageBoxService.h"

#include "projects/Doc.h"
#include "projects/WebProject.h"
#include "spellcore/SpellChecker.h"

#include "utilcore/DirUtils.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
constexpr int kPollMs = 50;
constexpr qint64 kTimeoutMs = 60000;

// A dark theme as desktops give it, to see that every window stays readable there.
void UseDarkTheme() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(30, 30, 32));
  dark.setColor(QPalette::AlternateBase, QColor(50, 50, 54));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(60, 60, 64));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
  dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(130, 130, 130));
  QApplication::setPalette(dark);
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, kPollMs);
  }
}

// Pictures the settings window with one filter, which is then taken away again.
void PictureSettings(QDialog& dialog, const QString& picture) {
  dialog.findChild<QPushButton*>("addFilterButton")->click();
  Settle();
  if (!dialog.grab().save(picture, "PNG")) {
    std::fprintf(stderr, "pagelint-screenshot: cannot write %s\n", qPrintable(picture));
  }
  dialog.findChild<QPushButton*>("removeFilterButton")->click();
}

// Plays the newcomer in the project settings window once it opens.
void FillProjectSettings(const QString& site, const QString& name, const QString& picture) {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || dialog->objectName() != "projectSettingsDlg") {
    QTimer::singleShot(kPollMs,
                       [site, name, picture] { FillProjectSettings(site, name, picture); });
    return;
  }
  dialog->findChild<QLineEdit*>("nameEdit")->setText(name);
  dialog->findChild<QLineEdit*>("directoryEdit")->setText(site);
  if (!picture.isEmpty()) {
    PictureSettings(*dialog, picture);
  }
  dialog->accept();
}

bool IsChecked(const CDoc& doc) {
  const CWebProject* project = doc.GetCurrentProject();
  return project != nullptr && project->IsCheckedOnce() && project->IsIdle();
}

bool WaitUntilChecked(const CDoc& doc) {
  QElapsedTimer clock;
  clock.start();
  // The suggestions pictured are the whole list, made with the speller's index.
  const CSpellChecker* speller = CSpellChecker::GetInstance();
  while (!IsChecked(doc) || (speller != nullptr && speller->IsWordIndexPending())) {
    if (clock.elapsed() > kTimeoutMs) {
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, kPollMs);
  }
  // Let the view take in the last messages and paint.
  for (int i = 0; i < 10; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, kPollMs);
  }
  return true;
}
/// Selects the first unrecognized word, as a user would, so that its suggestions and
/// files show too.
void SelectFirstWord(QWidget& frame) {
  auto* words = frame.findChild<QListView*>("wordsList");
  if (words == nullptr || words->model() == nullptr || words->model()->rowCount() == 0) {
    return;
  }
  words->setFocus();
  words->setCurrentIndex(words->model()->index(0, 0));
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, kPollMs);
  }
}

void Save(const QPixmap& pixmap, const QString& picture) {
  if (!pixmap.save(picture, "PNG")) {
    std::fprintf(stderr, "pagelint-screenshot: cannot write %s\n", qPrintable(picture));
  }
}

/// Opens the Dictionaries menu as a click on its title does and pictures the screen
/// where the window and the menu are: the menu is a window of its own.
void PictureDictionariesMenu(QWidget& frame, const QString& picture) {
  auto* menu = frame.findChild<QMenu*>("dictionariesMenu");
  auto* bar = frame.findChild<QMenuBar*>("menuBar");
  if (menu == nullptr || bar == nullptr) {
    return;
  }
  bar->setActiveAction(menu->menuAction());
  Settle();
  const QRect area = frame.frameGeometry().united(menu->geometry());
  Save(
      QApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()),
      picture);
  menu->hide();
  Settle();
}

/// Pictures the project settings window as it opens over the checked project.
void PictureSettingsAgain(const QString& picture) {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || dialog->objectName() != "projectSettingsDlg") {
    QTimer::singleShot(kPollMs, [picture] { PictureSettingsAgain(picture); });
    return;
  }
  Settle();
  Save(dialog->grab(), picture);
  dialog->reject();
}

/// The pictures taken once the site is checked.
void PictureChecked(CMainFrame& frame, const QString& menuPicture, const QString& settingsPicture) {
  if (!menuPicture.isEmpty()) {
    PictureDictionariesMenu(frame, menuPicture);
  }
  if (!settingsPicture.isEmpty()) {
    QTimer::singleShot(0, [settingsPicture] { PictureSettingsAgain(settingsPicture); });
    frame.OnCommand(CDoc::ID_PROJECT_SETTINGS);
  }
}
} // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 7) {
    std::fprintf(stderr, "usage: pagelint-screenshot SITE_FOLDER PROJECT_NAME OUTPUT.png "
                         "[SETTINGS.png [MENU.png [DICTIONARIES.png]]]\n");
    return 2;
  }
  QApplication application(argc, argv);
  if (qEnvironmentVariableIntValue("PAGELINT_SCREENSHOT_DARK") != 0) {
    UseDarkTheme();
  }
  const QString site = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  const QString output = QString::fromLocal8Bit(argv[3]);
  const auto optional = [argc, argv](int index) {
    return argc > index ? QString::fromLocal8Bit(argv[index]) : QString();
  };
  const QString picture = optional(4);

  // The welcome is answered with Start; the settings window is filled in as it opens.
  CMessageBoxService::SetAnswerer([](const CMessageBoxService::SQuestion& /*question*/) {
    return CMessageBoxService::kAnswerYes;
  });
  QTimer::singleShot(0, [site, name, picture] { FillProjectSettings(site, name, picture); });

  CPagelintApp app;
  app.Start(CDirUtils::GetAppPath());
  const bool checked = WaitUntilChecked(*app.GetDoc());
  if (checked) {
    SelectFirstWord(*app.GetFrame());
  }
  const bool saved = checked && app.GetFrame()->grab().save(output, "PNG");
  if (checked) {
    PictureChecked(*app.GetFrame(), optional(5), optional(6));
  }
  app.Close();
  if (!checked) {
    std::fprintf(stderr, "pagelint-screenshot: the site was not checked within a minute\n");
    return 1;
  }
  if (!saved) {
    std::fprintf(stderr, "pagelint-screenshot: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
