#include "ui/common_dialog.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <exception>

#include "ui/name_only_icons.h"

namespace {

std::optional<QString> RunFileDialog(QWidget* parent, const QString& fileName,
                                     QFileDialog::AcceptMode mode) {
  NameOnlyIconProvider icons;  // outlives the dialog, which does not own it
  QFileDialog dialog(parent);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setIconProvider(&icons);
  dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(QFileDialog::AnyFile);
  // An absolute name also opens its folder.
  if (!fileName.isEmpty()) dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front();
}

}  // namespace

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const QString& fileName) {
  return RunFileDialog(parent, fileName, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const QString& fileName) {
  return RunFileDialog(parent, fileName, QFileDialog::AcceptSave);
}

std::optional<int> QtDialogs::ChoosePrinter(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return printer.copyCount();
}

template <typename Show>
std::optional<QString> CommonDialog::ShowFileDialog(Show&& show) {
  std::optional<QString> chosen;
  try {
    chosen = show();
  } catch (const std::exception&) {
    chosen.reset();  // a dialog that failed is an answer of Cancel
  }
  if (chosen) fileName_ = *chosen;
  return chosen;
}

std::optional<QString> CommonDialog::ShowOpen(QWidget* parent) {
  return ShowFileDialog([&] { return dialogs_.OpenFile(parent, fileName_); });
}

std::optional<QString> CommonDialog::ShowSave(QWidget* parent) {
  return ShowFileDialog([&] { return dialogs_.SaveFile(parent, fileName_); });
}

std::optional<int> CommonDialog::ShowPrinter(QWidget* parent, QPrinter& printer) {
  try {
    return dialogs_.ChoosePrinter(parent, printer);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}
