// The Windows body of console_io.hpp and of the stop requests
// (console_observer.hpp).
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "console_io.hpp"
#include "console_observer.hpp"

namespace pelmora::cli {
namespace {

// The exit statuses follow the POSIX build (128 + the signal's number), so
// that scripts read one set: Ctrl-C and Ctrl-Break 130, a closed console
// window 129 (as SIGHUP), a log-off or shutdown 143 (as SIGTERM).
constexpr int kInterrupt = 2, kHangUp = 1, kTerminate = 15;

std::atomic<int> g_stop_signal{0};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      g_stop_signal = kInterrupt;
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      g_stop_signal = event == CTRL_CLOSE_EVENT ? kHangUp : kTerminate;
      // The process ends when this handler returns: wait (Windows allows
      // about five seconds) while the run stops and removes its temporary
      // files; the program's exit ends the wait.
      ::Sleep(4500);
      return TRUE;
    default:
      return FALSE;
  }
}

std::wstring Widen(const char* utf8, size_t size) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(size), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(size), wide.data(), n);
  return wide;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode);
}

// A stream buffer over a standard handle: UTF-8 text to a console through
// WriteConsoleW (an incomplete character waits for its last bytes), bytes as
// they are to a file or pipe.
class HandleBuffer : public std::streambuf {
 public:
  explicit HandleBuffer(DWORD which)
      : handle_(::GetStdHandle(which)), console_(IsConsole(handle_)) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  bool console() const { return console_; }

 protected:
  int_type overflow(int_type ch) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  // Writes what the buffer holds, keeping an unfinished UTF-8 character.
  bool Drain() {
    size_t size = static_cast<size_t>(pptr() - pbase());
    size_t keep = 0;
    if (console_) keep = UnfinishedTail(pbase(), size);
    const bool written = WriteOut(pbase(), size - keep);
    std::memmove(buffer_, pbase() + size - keep, keep);
    setp(buffer_, buffer_ + sizeof buffer_);
    pbump(static_cast<int>(keep));
    return written;
  }

  static size_t UnfinishedTail(const char* text, size_t size) {
    size_t back = 0;
    while (back < size && back < 4 &&
           (static_cast<unsigned char>(text[size - 1 - back]) & 0xC0) == 0x80) {
      ++back;
    }
    if (back >= size) return 0;
    const auto lead = static_cast<unsigned char>(text[size - 1 - back]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > back + 1 ? back + 1 : 0;
  }

  bool WriteOut(const char* text, size_t size) {
    if (size == 0) return true;
    if (console_) {
      const std::wstring wide = Widen(text, size);
      DWORD written = 0;
      return ::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) != 0;
    }
    while (size > 0) {
      DWORD written = 0;
      if (!::WriteFile(handle_, text, static_cast<DWORD>(size), &written, nullptr) ||
          written == 0) {
        return false;  // a closed pipe only silences the log, as on POSIX
      }
      text += written;
      size -= written;
    }
    return true;
  }

  HANDLE handle_;
  bool console_;
  char buffer_[4096];
};

// Never destroyed: std::cout is flushed after static objects are gone.
HandleBuffer& OutputBuffer() {
  static HandleBuffer* buffer = new HandleBuffer(STD_OUTPUT_HANDLE);
  return *buffer;
}

HandleBuffer& ErrorBuffer() {
  static HandleBuffer* buffer = new HandleBuffer(STD_ERROR_HANDLE);
  return *buffer;
}

void FlushStandardStreams() {
  std::cout.flush();
  std::cerr.flush();
}

// Lets the progress bar's "\r\x1b[K" clear its line in a Windows 10/11
// console.
void EnableTerminalSequences(DWORD which) {
  HANDLE handle = ::GetStdHandle(which);
  DWORD mode = 0;
  if (IsConsole(handle) && ::GetConsoleMode(handle, &mode)) {
    ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
}

}  // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), n, nullptr, nullptr);
    arguments.push_back(std::move(utf8));
  }
  ::LocalFree(wide);
  return arguments;
}

void SetUpConsole() {
  std::cout.rdbuf(&OutputBuffer());
  std::cerr.rdbuf(&ErrorBuffer());
  std::atexit(FlushStandardStreams);
  EnableTerminalSequences(STD_ERROR_HANDLE);
  // The C runtime's own streams (the progress bar) write the same bytes.
  ::SetConsoleOutputCP(CP_UTF8);
}

bool ErrorStreamIsConsole() {
  return ErrorBuffer().console();
}

std::string ShellWord(const std::string& word) {
  // cmd.exe reads these outside double quotes; no file name holds '"'.
  if (word.find_first_of(" \t\"&|<>^()%!,;=") == std::string::npos && !word.empty()) return word;
  // The C runtime reads backslashes before the closing quote as escaping
  // it: a folder's final "\\" is doubled.
  const size_t kept = word.find_last_not_of('\\') + 1;
  return '"' + word + std::string(word.size() - kept, '\\') + '"';
}

void InstallStopSignals() {
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

int StopSignal() {
  return g_stop_signal;
}

}  // namespace pelmora::cli
