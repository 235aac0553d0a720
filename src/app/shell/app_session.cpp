#include "app/shell/app_session.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "app/shell/icons.h"
#include "app/shell/prompter.h"
#include "app/shell/workbench.h"

namespace orvane {

QString SettingsPath() {
  const QString fromEnvironment = qEnvironmentVariable("ORVANE_SETTINGS");
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return QString::fromStdString(DefaultSettingsPath());
}

TSettingsStore::TSettingsStore(const QString& settingsPath) : path(settingsPath) {
  settings = ReadSettings(path.toStdString());
}

Status TSettingsStore::Finish(bool showBox) {
  const Status saved = WriteSettings(path.toStdString(), settings);
  if (!saved) {
    const std::string text = "The settings could not be saved: " + saved.message();
    std::fprintf(stderr, "orvane: %s\n", text.c_str());
    if (showBox && QCoreApplication::instance())
      Prompts().Warning(nullptr, "ERREUR", QString::fromStdString(text));
  }
  return saved;
}

namespace {

int g_signalPipe[2] = {-1, -1};
bool g_endedBySignal = false;

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: the loop picks the byte up.
  [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

}  // namespace

void QuitOnTerminationSignals() {
  if (g_signalPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read,
                                       QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[1], &byte, 1);
    g_endedBySignal = true;
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool EndedBySignal() { return g_endedBySignal; }

namespace {

// Borderless, above the other windows, 718 x 420, maroon, a bevelled panel with the picture.
QWidget* NewSplashForm() {
  auto* splash = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  splash->setObjectName("PresentationForm");
  splash->setFixedSize(718, 420);
  splash->setAutoFillBackground(true);
  QPalette colours = splash->palette();
  colours.setColor(QPalette::Window, QColor(128, 0, 0));
  splash->setPalette(colours);
  auto* panel = new QFrame(splash);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setLineWidth(3);
  auto* picture = new QLabel(panel);
  picture->setPixmap(SplashPicture(678, 380));
  auto* inner = new QVBoxLayout(panel);
  inner->setContentsMargins(4, 4, 4, 4);
  inner->addWidget(picture);
  auto* layout = new QVBoxLayout(splash);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->addWidget(panel);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    splash->move(screen->availableGeometry().center() - splash->rect().center());
  return splash;
}

}  // namespace

void ShowAfterSplash(TWorkbench& main, int milliseconds, const QString& demPath) {
  if (milliseconds <= 0) {
    main.show();
    if (!demPath.isEmpty())
      QTimer::singleShot(0, &main, [&main, demPath] { main.OpenPath(demPath); });
    return;
  }
  QWidget* splash = NewSplashForm();
  splash->setAttribute(Qt::WA_DeleteOnClose);
  splash->show();
  splash->repaint();
  // A timer rather than a busy wait: the splash stays painted and the loop keeps running.
  QTimer::singleShot(milliseconds, &main, [&main, splash] {
    main.show();
    splash->close();
  });
  if (!demPath.isEmpty())
    QTimer::singleShot(milliseconds, &main, [&main, demPath] { main.OpenPath(demPath); });
}

int SplashMilliseconds(const QStringList& arguments, const TSettings& settings) {
  return settings.showSplash && !arguments.mid(1).contains(kNoSplashFlag) ? 3000 : 0;
}

QString DemPathArgument(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == "--") return i + 1 < arguments.size() ? arguments[i + 1] : QString();
    if (!argument.isEmpty() && !argument.startsWith('-')) return argument;
  }
  return {};
}

}  // namespace orvane
