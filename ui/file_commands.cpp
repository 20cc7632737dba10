#include "ui/file_commands.h"

#include <QFile>
#include <utility>

#include "platform/report_output.h"
#include "runfile/runfile.h"
#include "ui/message_boxes.h"

namespace {

const QString kSaveQuestion = QStringLiteral("Do You Want to Save Your Current Values");

// The run files' messages go to the window's message boxes, after the run
// read so far has been shown.
class MessageFileHost : public FileHost {
 public:
  MessageFileHost(MessageBoxes& messages, QWidget* parent, std::function<void()> showRun = {})
      : messages_(messages), parent_(parent), showRun_(std::move(showRun)) {}
  void ShowFileError(const std::string& text) override {
    if (showRun_) showRun_();
    messages_.Exclamation(parent_, "Error", QString::fromStdString(text));
  }

 private:
  MessageBoxes& messages_;
  QWidget* parent_;
  std::function<void()> showRun_;
};

// The run files take paths as the bytes the file system knows them by.
std::string FileSystemPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

}  // namespace

FileCommands::FileCommands(MessageBoxes& messages, Dialogs& dialogs, Clock clock)
    : messages_(messages), cmnDialog_(dialogs), clock_(std::move(clock)) {}

// Made on first use: looking up the system's printers can take a moment.
QPrinter& FileCommands::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void FileCommands::Load(RunRecord& run, QWidget* parent, const std::function<void()>& showRun) {
  const auto answer = messages_.AskYesNoCancel(parent, "Question", kSaveQuestion);
  if (answer == MessageBoxes::Answer::Cancel) return;
  if (answer == MessageBoxes::Answer::Yes) Save(run, parent);
  const auto path = cmnDialog_.ShowOpen(parent);
  if (!path) return;
  LoadFile(run, parent, FileSystemPath(*path), showRun);
}

void FileCommands::LoadFile(RunRecord& run, QWidget* parent, const std::string& path,
                            const std::function<void()>& showRun) {
  MessageFileHost files(messages_, parent, showRun);
  LoadRunFile(run, path, files);
}

void FileCommands::Save(const RunRecord& run, QWidget* parent) {
  cmnDialog_.ClearFileName();
  const auto path = cmnDialog_.ShowSave(parent);
  if (!path) return;
  MessageFileHost files(messages_, parent);
  SaveRunFile(run, FileSystemPath(*path), files);
}

void FileCommands::Print(const RunRecord& run, QWidget* parent) {
  const auto copies = cmnDialog_.ShowPrinter(parent, Printer());
  if (!copies) return;
  PrintCopies(run, *copies, Printer(), clock_);
}
