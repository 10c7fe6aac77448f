#pragma once
// Runs the real pelmora-convert binary and captures what it prints.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "../support/temp_tree.hpp"

#ifndef _WIN32
extern char** environ;
#endif

namespace pelmora::testing_support {

struct CliResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out, err;
};

#ifdef _WIN32
// One argument quoted as the C runtime's command-line parser reads it back.
inline std::wstring QuotedArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t ch : arg) {
    if (ch == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(ch == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += ch;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

inline std::wstring WideText(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// Windows has no fork or posix_spawn: the program is started with
// CreateProcessW, its output and error streams in files, its input empty.
inline CliResult RunCli(const std::vector<std::string>& args, const fs::path& scratch) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  auto open_for = [&](const fs::path& path, DWORD access, DWORD disposition) {
    return CreateFileW(path.wstring().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE in = open_for(L"NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE out = open_for(scratch / "stdout.txt", GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = open_for(scratch / "stderr.txt", GENERIC_WRITE, CREATE_ALWAYS);
  std::wstring command = QuotedArgument(WideText(PELMORA_CONVERT));
  for (const std::string& arg : args) command += L" " + QuotedArgument(WideText(arg));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  CliResult result;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  result.out = TempTree::ReadFile(scratch / "stdout.txt");
  result.err = TempTree::ReadFile(scratch / "stderr.txt");
  return result;
}
#else

// Starts the binary with args; returns its process id, or 0 when it could
// not be started.
inline pid_t SpawnCli(const std::vector<std::string>& args,
                      const posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<std::string> all = {PELMORA_CONVERT};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, PELMORA_CONVERT, actions, nullptr, argv.data(), environ) != 0) return 0;
  return pid;
}

inline CliResult RunCli(const std::vector<std::string>& args, const fs::path& scratch) {
  const std::string out_path = (scratch / "stdout.txt").string();
  const std::string err_path = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = SpawnCli(args, &actions);
  CliResult result;
  if (pid > 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = TempTree::ReadFile(out_path);
  result.err = TempTree::ReadFile(err_path);
  return result;
}
#endif

// Standard error without the warnings about the data (each line "警告: ...").
inline std::string WithoutWarnings(const std::string& err) {
  std::string rest;
  for (size_t at = 0; at < err.size();) {
    size_t end = err.find('\n', at);
    end = end == std::string::npos ? err.size() : end + 1;
    const std::string_view warning = "警告: ";
    if (err.compare(at, warning.size(), warning) != 0) rest += err.substr(at, end - at);
    at = end;
  }
  return rest;
}

// Standard output with the time the run took masked, "所要時間: * 秒", so that
// it can be compared with an expected file.
inline std::string MaskElapsed(std::string out) {
  const std::string label = "所要時間: ";
  size_t at = out.find(label);
  if (at == std::string::npos) return out;
  at += label.size();
  const size_t end = out.find(" 秒", at);
  if (end != std::string::npos) out.replace(at, end - at, "*");
  return out;
}

}  // namespace pelmora::testing_support
