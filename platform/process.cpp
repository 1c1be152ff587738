// Starting a program without waiting for it, and without leaving a zombie: the program is started
// by a short-lived middle child that exits at once, so the program becomes init's child and we
// reap only the middle one. A close-on-exec pipe carries an exec failure back: when the program
// really starts, the pipe closes empty; when it cannot, the errno comes through it.
//
// Everything that allocates (the native names, the search along PATH) happens before fork, because
// after a fork in a program with threads only async-signal-safe calls are allowed.
#include "platform/process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/cp932.h"
#include "platform/files.h"

extern char** environ;

namespace kelvane::process {
namespace {

std::string cannotStart(const std::string& program, const std::string& reason) {
  return cp932::fromUtf8("プログラムを起動できません").text + ": " + program + " (" + reason + ")";
}

std::string reasonOf(int err) {
  char buffer[256];
  return cp932::fromUtf8(strerror_r(err, buffer, sizeof buffer)).text;
}

bool isExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file exec would run: a name with a "/" as it is, else the first match along PATH.
// Returns the errno of the failure when there is none.
int resolveProgram(const std::string& name, std::string& resolved) {
  if (name.empty()) return ENOENT;
  if (name.find('/') != std::string::npos) {
    resolved = name;
    return 0;
  }
  const char* path = getenv("PATH");
  std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    std::size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (isExecutableFile(candidate)) {
      resolved = candidate;
      return 0;
    }
    if (colon == std::string::npos) return ENOENT;
    start = colon + 1;
  }
}

void writeErrno(int fd, int err) {
  ssize_t ignored = write(fd, &err, sizeof err);
  (void)ignored;
}

// Runs in the middle child: only async-signal-safe calls.
[[noreturn]] void middleChild(int pipeWrite, const char* file, char* const* argv) {
  pid_t pid = fork();
  if (pid == 0) {
    // The program starts with a clean signal state, not with what the window blocked or ignored.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    signal(SIGCHLD, SIG_DFL);
    setsid();
    execve(file, argv, environ);
    writeErrno(pipeWrite, errno);
    _exit(127);
  }
  if (pid < 0) writeErrno(pipeWrite, errno);
  _exit(0);
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> parts;
  if (commandLine.empty()) return parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t space = commandLine.find(' ', start);
    parts.push_back(commandLine.substr(start, space == std::string::npos ? std::string::npos : space - start));
    if (space == std::string::npos) return parts;
    start = space + 1;
  }
}

bool start(const std::vector<std::string>& argv, std::string* error) {
  auto failWith = [&](const std::string& program, const std::string& reason) {
    if (error) *error = cannotStart(program, reason);
    return false;
  };
  if (argv.empty() || argv[0].empty()) return failWith("", reasonOf(ENOENT));
  std::vector<std::string> native;
  for (const auto& arg : argv) {
    auto n = files::toNative(arg);
    if (!n) return failWith(argv[0], cp932::fromUtf8("名前を変換できません").text + ": " + arg);
    native.push_back(std::move(*n));
  }
  std::string file;
  if (int err = resolveProgram(native[0], file)) return failWith(argv[0], reasonOf(err));
  std::vector<char*> args;
  for (auto& a : native) args.push_back(a.data());
  args.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return failWith(argv[0], reasonOf(errno));
  pid_t middle = fork();
  if (middle == 0) {
    close(fds[0]);
    middleChild(fds[1], file.c_str(), args.data());
  }
  int forkErr = errno;
  close(fds[1]);
  if (middle < 0) {
    close(fds[0]);
    return failWith(argv[0], reasonOf(forkErr));
  }
  while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  int childErr = 0;
  ssize_t n;
  while ((n = read(fds[0], &childErr, sizeof childErr)) < 0 && errno == EINTR) {
  }
  close(fds[0]);
  if (n == static_cast<ssize_t>(sizeof childErr)) return failWith(argv[0], reasonOf(childErr));
  return true;
}

bool openDocument(const std::string& path, std::string* error) { return start({"xdg-open", path}, error); }

}  // namespace kelvane::process
