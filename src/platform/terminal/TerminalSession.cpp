#include "platform/terminal/TerminalSession.h"

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <langinfo.h>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#include "platform/forms/Forms.h"
#include "platform/terminal/TerminalKeyboard.h"
#include "platform/terminal/TerminalRenderer.h"

namespace {

TTerminalSession *gCurrent = nullptr;
SCREEN *gScreen = nullptr; // the live session's screen, for the emergency exits
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE};
static_assert(kSignals[0] == SIGINT, "OnInterruptKey finds the interrupt's handler first");
volatile std::sig_atomic_t gHungUp = 0;
struct sigaction gPrevious[sizeof(kSignals) / sizeof(kSignals[0])];
std::terminate_handler gPreviousTerminate = nullptr;
bool gAtExit = false;

// Puts the terminal back the way the program found it (idempotent).
void RestoreTerminal() {
  if (!gScreen) return;
  set_term(gScreen);
  if (!isendwin()) {
    curs_set(1);
    endwin();
  }
}

void OnFatalSignal(int sig) {
  if (sig == SIGHUP) {
    // The wait for a key is interrupted and the keyboard ends the screens (see BeforeWait).
    gHungUp = 1;
    return;
  }
  RestoreTerminal();
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i) {
    if (kSignals[i] == sig) sigaction(sig, &gPrevious[i], nullptr);
  }
  // Should the signal not end the program, returning lets the fault happen again.
  (void)raise(sig);
}

// Ctrl+C: the terminal is in raw mode, so the key never becomes a signal by itself. It is
// raised as one, to whatever handled the interrupt before the screens took the terminal (a
// point of sale that keeps its data on an interrupt must see the key as it sees the signal).
// Should that handler return, or nobody have installed one (also when whoever started the
// program ignored the signal), the program ends the way the interrupt would end it.
[[noreturn]] void OnInterruptKey() {
  RestoreTerminal();
  const struct sigaction &before = gPrevious[0]; // kSignals starts with SIGINT
  const bool handled = (before.sa_flags & SA_SIGINFO) != 0 ||
                       (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  // Failures here fall through to the exit below, with the same status.
  if (handled) {
    (void)sigaction(SIGINT, &before, nullptr);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    (void)raise(SIGINT);
  }
  (void)std::signal(SIGINT, SIG_DFL);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  (void)raise(SIGINT);
  std::_Exit(128 + SIGINT);
}

void OnTerminate() {
  RestoreTerminal();
  if (gPreviousTerminate) gPreviousTerminate();
  std::abort();
}

bool Utf8Codeset() {
  const char *cs = nl_langinfo(CODESET);
  return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
}

} // namespace

struct TTerminalSession::Impl {
  SCREEN *screen = nullptr;
  TTerminalRenderer renderer;
  std::unique_ptr<TTerminalKeyboard> keyboard;
  TInputSource *previousInput = nullptr;
  int repaintId = 0;
  std::string previousLocale;
  bool signals = false;
  std::optional<TPromptBox> prompt; // the question shown over the forms, while one is asked
  std::FILE *ownIn = nullptr, *ownOut = nullptr; // the controlling terminal, when opened here
};

TTerminalSession::TTerminalSession() : TTerminalSession(TTerminalOptions{}) {}

TTerminalSession::TTerminalSession(const TTerminalOptions &o) : fImpl(std::make_unique<Impl>()) {
  if (gCurrent) throw std::logic_error("a terminal session is already running");
  // Texts are drawn and keys read as UTF-8 whatever the environment's language.
  if (const char *cur = std::setlocale(LC_CTYPE, nullptr)) fImpl->previousLocale = cur;
  // Whatever these calls return, the codeset in force is what is asked next; a system without
  // a UTF-8 locale still gets a screen, with the characters outside ASCII replaced.
  (void)std::setlocale(LC_CTYPE, "");
  if (!Utf8Codeset()) (void)std::setlocale(LC_CTYPE, "C.UTF-8");

  std::FILE *in = o.in ? o.in : stdin;
  std::FILE *out = o.out ? o.out : stdout;
  std::string term = o.term;
  if (term.empty()) {
    const char *env = std::getenv("TERM");
    term = env && *env ? env : "xterm";
  }
  // Our handlers go in first, so that curses keeps its hands off these signals and the
  // program, once the terminal is restored, ends the way it would have without us.
  fImpl->signals = o.handleSignals;
  if (fImpl->signals) {
    struct sigaction sa {};
    sa.sa_handler = OnFatalSignal;
    sigemptyset(&sa.sa_mask);
    for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
      sigaction(kSignals[i], &sa, &gPrevious[i]);
    gPreviousTerminate = std::set_terminate(OnTerminate);
    if (!gAtExit) gAtExit = std::atexit(RestoreTerminal) == 0;
  }
  fImpl->screen = newterm(term.c_str(), out, in);
  if (!fImpl->screen) {
    RestoreSignals();
    if (!fImpl->previousLocale.empty())
      (void)std::setlocale(LC_CTYPE, fImpl->previousLocale.c_str());
    throw std::runtime_error("cannot drive a terminal of type " + term);
  }
  set_term(fImpl->screen);
  if (o.cols > 0 && o.lines > 0) resizeterm(o.lines, o.cols);
  raw(); // Ctrl+C arrives as a key (see OnInterruptKey)
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  meta(stdscr, TRUE);
  set_escdelay(25);
  if (has_colors()) start_color();

  gCurrent = this;
  gScreen = fImpl->screen;
  fImpl->keyboard = std::make_unique<TTerminalKeyboard>(fileno(in));
  fImpl->keyboard->OnResize = [this] {
    fImpl->renderer.Redraw();
    Repaint();
  };
  fImpl->keyboard->OnRedraw = [this] {
    fImpl->renderer.Redraw();
    Repaint();
  };
  if (o.handleSignals) fImpl->keyboard->OnInterrupt = OnInterruptKey;
  gHungUp = 0;
  fImpl->keyboard->BeforeWait = [] {
    if (gHungUp) throw EScriptFailure("the terminal hung up");
  };
  if (Application) {
    fImpl->previousInput = Application->InputSource();
    Application->SetInputSource(fImpl->keyboard.get());
    fImpl->repaintId = Application->AddRepaintObserver([this] { Repaint(); });
  }

  Repaint();
}

void TTerminalSession::RestoreSignals() {
  if (!fImpl->signals) return;
  fImpl->signals = false;
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
    sigaction(kSignals[i], &gPrevious[i], nullptr);
  std::set_terminate(gPreviousTerminate);
}

TTerminalSession::~TTerminalSession() {
  RestoreSignals();
  if (Application) {
    if (fImpl->repaintId) Application->RemoveRepaintObserver(fImpl->repaintId);
    if (Application->InputSource() == fImpl->keyboard.get())
      Application->SetInputSource(fImpl->previousInput);
  }
  RestoreTerminal();
  gScreen = nullptr;
  gCurrent = nullptr;
  delscreen(fImpl->screen);
  if (!fImpl->previousLocale.empty()) (void)std::setlocale(LC_CTYPE, fImpl->previousLocale.c_str());
  // Closing a terminal that hung up may fail; there is nothing left to tell.
  for (std::FILE *f : {fImpl->ownIn, fImpl->ownOut})
    if (f) (void)std::fclose(f);
}

std::unique_ptr<TTerminalSession> TTerminalSession::OnControllingTerminal(std::string &why) {
  const char *term = std::getenv("TERM");
  if (term && std::strcmp(term, "dumb") == 0) {
    why = "the terminal (TERM=dumb) cannot show the screens";
    return nullptr;
  }
  const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = std::string("no terminal for the screens (/dev/tty: ") + std::strerror(errno) + ")";
    return nullptr;
  }
  const int fdOut = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  std::FILE *in = ::fdopen(fd, "r");
  std::FILE *out = fdOut >= 0 ? ::fdopen(fdOut, "w") : nullptr;
  if (!in || !out) {
    why = std::string("no terminal for the screens (/dev/tty: ") + std::strerror(errno) + ")";
    if (in)
      (void)std::fclose(in);
    else
      ::close(fd);
    if (out)
      (void)std::fclose(out);
    else if (fdOut >= 0)
      ::close(fdOut);
    return nullptr;
  }
  TTerminalOptions o;
  o.in = in;
  o.out = out;
  try {
    auto session = std::make_unique<TTerminalSession>(o);
    session->fImpl->ownIn = in;
    session->fImpl->ownOut = out;
    return session;
  } catch (const std::exception &e) {
    why = e.what();
    (void)std::fclose(in);
    (void)std::fclose(out);
    return nullptr;
  }
}

bool TTerminalSession::Available() {
  const char *term = std::getenv("TERM");
  return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO) && term && *term &&
         std::strcmp(term, "dumb") != 0;
}

TTerminalSession *TTerminalSession::Current() {
  return gCurrent;
}

void TTerminalSession::RestoreNow() {
  RestoreTerminal();
}

void TTerminalSession::Resize(int cols, int lines) {
  set_term(fImpl->screen);
  resizeterm(lines, cols);
  fImpl->renderer.Redraw();
  Repaint();
}

void TTerminalSession::Repaint() {
  set_term(fImpl->screen);
  fImpl->renderer.Paint(fImpl->prompt ? &*fImpl->prompt : nullptr);
}

std::vector<std::string> TTerminalSession::ScreenLines() const {
  set_term(fImpl->screen);
  return fImpl->renderer.ScreenLines();
}

std::string TTerminalSession::ScreenText() const {
  std::string out;
  for (auto line : ScreenLines()) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
  }
  return out;
}

bool TTerminalSession::Prompt(const std::string &caption, const std::string &question, bool secret,
                              std::string &answer, int maxLength) {
  if (Application && Application->Closing()) return false; // nobody will answer
  TPromptBox &box = fImpl->prompt.emplace();
  box.Caption = caption;
  box.Question = question;
  box.Secret = secret;
  box.MaxLength = std::max(1, maxLength);
  struct Close {
    TTerminalSession *s;
    ~Close() {
      s->fImpl->prompt.reset();
      s->Repaint();
    }
  } close{this};
  for (;;) {
    Repaint();
    TOperatorAction a;
    if (!fImpl->keyboard->Next(a, -1)) continue;
    if (a.kind == TOperatorAction::Key) {
      if (a.key == VK_RETURN) {
        answer = box.Answer;
        return true;
      }
      if (a.key == VK_ESCAPE) return false;
      if (a.key == VK_BACK && !box.Answer.empty()) box.Answer.pop_back();
      continue;
    }
    if (a.kind != TOperatorAction::Char) continue;
    const unsigned char ch = (unsigned char)a.ch;
    if ((a.shift & ssAlt) || ch < 32) continue;
    if ((int)box.Answer.size() < box.MaxLength) box.Answer += a.ch;
  }
}

TTerminalRenderer &TTerminalSession::Renderer() {
  return fImpl->renderer;
}
TTerminalKeyboard &TTerminalSession::Keyboard() {
  return *fImpl->keyboard;
}

bool TerminalPrompt(const std::string &caption, const std::string &question, bool secret,
                    std::string &answer, int maxLength) {
  TTerminalSession *s = TTerminalSession::Current();
  return s && s->Prompt(caption, question, secret, answer, maxLength);
}
