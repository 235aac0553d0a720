// Every message box, file dialog and modal dialog of the GUI goes through one Prompter, so
// tests can replace it: capture the messages, answer the questions, pick the files and fill
// in the dialogs without a user.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace orvane {

// A file dialog as the handlers describe it. `filter` uses the "label|pattern|label|pattern"
// form; the answer tells which pair the user chose (1 for the first).
struct FileRequest {
  QString title;
  QString directory;
  QString filter;
  bool mustExist = false;
  int filterIndex = 0;  // the pair selected when the dialog opens, 1-based; 0: the first
};

// A declaration's check names its option as the command line does ("--lower: No Lower Range ");
// the desktop shows the message alone, the dialog field it concerns having the focus.
QString WithoutOptionName(const QString& message);

struct FileAnswer {
  QString path;         // empty when cancelled
  int filterIndex = 0;  // 1-based; 0 when cancelled
  bool ok() const { return !path.isEmpty(); }
};

// The folder and the type last chosen in one file dialog while the program runs, so that it
// opens there again rather than at its starting folder and first type.
struct FileDialogMemory {
  QString directory;
  int filterIndex = 0;
  // Starts `request` in the remembered folder (while it exists) with the remembered type.
  void Apply(FileRequest& request) const;
  // Remembers the folder and type of an answered dialog; a cancelled one changes nothing.
  void Keep(const FileAnswer& answer);
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A modal box with a warning icon and one OK button.
  virtual void Warning(QWidget* parent, const QString& caption, const QString& text);
  // A modal box with a warning icon and the buttons Yes and No; true for Yes.
  virtual bool Question(QWidget* parent, const QString& caption, const QString& text);
  // A modal box with an information icon and one OK button.
  virtual void Information(QWidget* parent, const QString& caption, const QString& text);
  virtual FileAnswer OpenFile(QWidget* parent, const FileRequest& request);
  // The path comes back as typed: no extension is added.
  virtual FileAnswer SaveFile(QWidget* parent, const FileRequest& request);
  // Shows a dialog modally; QDialog::Accepted or QDialog::Rejected.
  virtual int Exec(QDialog& dialog);
};

// The prompter in force: the interactive one unless a test installed its own.
Prompter& Prompts();
// Installs `prompter` (not owned); null brings back the interactive one.
void SetPrompter(Prompter* prompter);

// `path` without a trailing `suffix` (any case), so a handler that appends the extension of the
// chosen type does not double it when the user typed it: "x.bmp" and "x" both give "x".
QString WithoutSuffix(const QString& path, const QString& suffix);

}  // namespace orvane
