#include "app/shell/prompter.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace orvane {

QString WithoutOptionName(const QString& message) {
  static const QRegularExpression option(QStringLiteral("^--[A-Za-z0-9-]+: "));
  return QString(message).remove(option);
}

namespace {

Prompter& Interactive() {
  static Prompter prompter;
  return prompter;
}

Prompter* g_prompter = nullptr;

// "A|*.a|B|*.b" -> {"A (*.a)", "B (*.b)"} for the toolkit's dialogs.
QStringList ToNameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    result << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return result;
}

// The 1-based pair of `filter` ("A|*.a|B|*.b") whose label or full name filter the dialog
// reports as chosen; 1 when none matches.
int ChosenFilterIndex(const QString& filter, const QString& selected) {
  // With the details hidden, the toolkit's own dialog answers the label alone; a platform
  // dialog answers the full "label (patterns)": either names the pair.
  const QStringList full = ToNameFilters(filter);
  const QStringList parts = filter.split('|');
  const QString chosen = selected.simplified();
  for (qsizetype i = 0; i < full.size(); ++i) {
    if (chosen == full[i].simplified() || chosen == parts[2 * i].simplified()) {
      return static_cast<int>(i) + 1;
    }
  }
  return 1;
}

FileAnswer RunFileDialog(QWidget* parent, const FileRequest& request, bool save) {
  QFileDialog dialog(parent, request.title, request.directory);
  const QStringList filters = ToNameFilters(request.filter);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Files are overwritten without asking; the extension is the handler's business.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  FileAnswer answer;
  answer.path = dialog.selectedFiles().first();
  answer.filterIndex = ChosenFilterIndex(request.filter, dialog.selectedNameFilter());
  return answer;
}

}  // namespace

void Prompter::Warning(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
}

bool Prompter::Question(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

void Prompter::Information(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox::information(parent, caption, text, QMessageBox::Ok);
}

FileAnswer Prompter::OpenFile(QWidget* parent, const FileRequest& request) {
  return RunFileDialog(parent, request, false);
}

FileAnswer Prompter::SaveFile(QWidget* parent, const FileRequest& request) {
  return RunFileDialog(parent, request, true);
}

int Prompter::Exec(QDialog& dialog) { return dialog.exec(); }

Prompter& Prompts() { return g_prompter ? *g_prompter : Interactive(); }

void SetPrompter(Prompter* prompter) { g_prompter = prompter; }

void FileDialogMemory::Apply(FileRequest& request) const {
  if (!directory.isEmpty() && QFileInfo(directory).isDir()) request.directory = directory;
  if (filterIndex > 0) request.filterIndex = filterIndex;
}

void FileDialogMemory::Keep(const FileAnswer& answer) {
  if (!answer.ok()) return;
  directory = QFileInfo(answer.path).absolutePath();
  filterIndex = answer.filterIndex;
}

QString WithoutSuffix(const QString& path, const QString& suffix) {
  if (path.size() > suffix.size() && path.endsWith(suffix, Qt::CaseInsensitive)) {
    return path.left(path.size() - suffix.size());
  }
  return path;
}

}  // namespace orvane
