// The single-instance lock on Linux, and the request a second copy sends
// the first to come to the front.
//
// The lock is a listening Unix socket in the abstract namespace, named after
// the lock's name, the user and the desktop session's display (its X11 and
// Wayland display names), so one copy runs per user and desktop as a named
// mutex does within a Windows session, and a game on another X server (a
// test's virtual one, say) never meets it. Only one socket can be bound to a
// name, the kernel drops it when the process ends however it ends, and the
// socket doubles as the channel through which a second copy asks the first
// one to come to the front: it connects and sends one byte.
#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"

namespace plat {

namespace {

int lockSocket = -1;

// Connections accepted before their byte arrived, looked at again on the
// next poll. A handful is plenty: each second copy opens one and leaves.
constexpr int kPendingMax = 8;
int pending[kPendingMax];
int pendingCount = 0;

uint64_t Fnv1a(const char* text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    hash ^= *p;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// The display part of the lock's name: the X11 and the Wayland display,
// each written one way however the environment spells it.
std::string DisplayKey(const char* x11, const char* wayland, const char* runtimeDir) {
  std::string key = "x=";
  if (x11 != nullptr) {
    std::string display = x11;
    // "host:N.S": the screen does not change the server, and "unix:N" is
    // the local ":N".
    size_t colon = display.rfind(':');
    if (colon != std::string::npos) {
      size_t dot = display.find('.', colon);
      if (dot != std::string::npos) display.resize(dot);
      if (display.compare(0, colon, "unix") == 0) display.erase(0, colon);
    }
    key += display;
  }
  key += " w=";
  if (wayland != nullptr) {
    std::string display = wayland;
    // A socket named by its full path in the runtime folder is the same as
    // its bare name.
    if (runtimeDir != nullptr && runtimeDir[0] != '\0') {
      std::string folder = runtimeDir;
      while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
      folder += '/';
      if (display.compare(0, folder.size(), folder) == 0) display.erase(0, folder.size());
    }
    key += display;
  }
  return key;
}

socklen_t LockAddress(const char* name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const std::string display =
      DisplayKey(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_RUNTIME_DIR"));
  char text[96];
  int length = std::snprintf(text, sizeof text, "zolbeck-instance:%u:%016llx:%016llx",
                             static_cast<unsigned>(getuid()),
                             static_cast<unsigned long long>(Fnv1a(name != nullptr ? name : "")),
                             static_cast<unsigned long long>(Fnv1a(display.c_str())));
  // An abstract name starts with a zero byte and runs to the end of the
  // address, without a terminator.
  std::memcpy(address.sun_path + 1, text, static_cast<size_t>(length));
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<size_t>(length));
}

// 1 when a raise byte was read, 0 when the connection is still waiting for
// it, -1 when the connection is finished without one.
int ReadRaiseByte(int connection) {
  char byte = 0;
  ssize_t got = recv(connection, &byte, 1, MSG_DONTWAIT);
  if (got == 1) return 1;
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  return -1;
}

void ClosePending() {
  for (int n = 0; n < pendingCount; ++n) close(pending[n]);
  pendingCount = 0;
}

}  // namespace

bool AcquireInstanceLock(const char* name) {
  sockaddr_un address;
  socklen_t length = LockAddress(name, address);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  // Failing for another reason than a holder counts as the only copy.
  if (fd < 0) return true;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    int error = errno;
    close(fd);
    return error != EADDRINUSE;
  }
  if (listen(fd, kPendingMax) != 0) {
    close(fd);
    return true;
  }
  // One lock at a time: a new one replaces the one held before.
  ReleaseInstanceLock();
  lockSocket = fd;
  return true;
}

void ReleaseInstanceLock() {
  ClosePending();
  if (lockSocket >= 0) {
    close(lockSocket);
    lockSocket = -1;
  }
}

bool RaiseOtherInstance(const char* name) {
  sockaddr_un address;
  socklen_t length = LockAddress(name, address);
  // Non-blocking, so a holder that has stopped accepting cannot hang us.
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool sent = false;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    const char byte = 'R';
    sent = send(fd, &byte, 1, MSG_NOSIGNAL) == 1;
  }
  close(fd);
  return sent;
}

bool TakeRaiseRequest() {
  if (lockSocket < 0) return false;
  bool raised = false;
  // Connections from an earlier poll whose byte had not come yet.
  for (int n = 0; n < pendingCount;) {
    int state = ReadRaiseByte(pending[n]);
    if (state == 0) {
      ++n;
      continue;
    }
    raised |= state == 1;
    close(pending[n]);
    pending[n] = pending[--pendingCount];
  }
  // With nothing waiting this is one failing accept.
  for (;;) {
    int connection = accept4(lockSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (connection < 0) break;
    int state = ReadRaiseByte(connection);
    if (state == 0 && pendingCount < kPendingMax) {
      pending[pendingCount++] = connection;
      continue;
    }
    // A connection with no room to wait for its byte still came from a
    // second copy, and a second copy only ever connects to raise us.
    raised |= state != -1;
    close(connection);
  }
  return raised;
}

}  // namespace plat
