#pragma once
// What the command line needs of the system's console: the arguments as
// UTF-8, the standard streams set up for UTF-8 text, whether the error
// stream is a terminal, an argument written as its shell reads it, and stop
// requests (signals on POSIX; Ctrl-C,
// Ctrl-Break and a closed console window on Windows). Bodies in
// console_io_posix.cpp and console_io_windows.cpp.
#include <string>
#include <vector>

namespace pelmora::cli {

// The program's arguments as UTF-8: argv as given on POSIX; on Windows the
// wide-character command line, whatever the ANSI code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Sets up std::cout and std::cerr for the program's UTF-8 texts: on Windows
// a console gets them through WriteConsoleW (readable whatever its code
// page), a file or pipe gets the UTF-8 bytes as they are, without a BOM.
void SetUpConsole();

// Whether the error stream is a terminal or console (the progress bar is
// drawn only there).
bool ErrorStreamIsConsole();

// word as the system's shell takes it back as one argument, for a command
// the program suggests: quoted only when it holds a blank or a character the
// shell would read (a POSIX shell's single quotes; on Windows the double
// quotes of cmd.exe and the C runtime's reading of the command line).
std::string ShellWord(const std::string& word);

}  // namespace pelmora::cli
