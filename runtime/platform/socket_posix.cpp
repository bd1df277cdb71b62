// socket_posix.cpp: IPv4 sockets over BSD sockets.
#include "socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

sockaddr_in bbToNative(const BBIPv4Address& a) {
  sockaddr_in sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sin_family = AF_INET;
  sa.sin_port = a.port;
  sa.sin_addr.s_addr = a.address;
  return sa;
}

BBIPv4Address bbFromNative(const sockaddr_in& sa) { return {sa.sin_addr.s_addr, sa.sin_port}; }

int bbFd(BBNativeSocket s) { return static_cast<int>(s); }

}  // namespace

bool bbPlatformSocketsInit() { return true; }

BBNativeSocket bbPlatformSocketOpen(bool stream) {
  int fd = socket(AF_INET, stream ? SOCK_STREAM : SOCK_DGRAM, stream ? IPPROTO_TCP : IPPROTO_UDP);
  if (fd < 0) return kBBNoSocket;
  if (stream) {
    int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return fd;
}

void bbPlatformSocketClose(BBNativeSocket s) {
  if (s >= 0) close(bbFd(s));
}

bool bbPlatformSocketBind(BBNativeSocket s, const BBIPv4Address& a) {
  sockaddr_in sa = bbToNative(a);
  return bind(bbFd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool bbPlatformSocketConnect(BBNativeSocket s, const BBIPv4Address& a) {
  sockaddr_in sa = bbToNative(a);
  return connect(bbFd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool bbPlatformSocketListen(BBNativeSocket s, int backlog) { return listen(bbFd(s), backlog) == 0; }

BBNativeSocket bbPlatformSocketAccept(BBNativeSocket s) {
  int fd;
  do {
    fd = accept(bbFd(s), nullptr, nullptr);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? kBBNoSocket : fd;
}

int bbPlatformSocketSend(BBNativeSocket s, const void* data, int count) {
  ssize_t n = send(bbFd(s), data, static_cast<size_t>(count), MSG_NOSIGNAL);
  return n < 0 ? -1 : static_cast<int>(n);
}

int bbPlatformSocketReceive(BBNativeSocket s, void* data, int count) {
  ssize_t n = recv(bbFd(s), data, static_cast<size_t>(count), 0);
  return n < 0 ? -1 : static_cast<int>(n);
}

int bbPlatformSocketSendTo(BBNativeSocket s, const void* data, int count, const BBIPv4Address& to) {
  sockaddr_in sa = bbToNative(to);
  ssize_t n = sendto(bbFd(s), data, static_cast<size_t>(count), MSG_NOSIGNAL,
                     reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  return n < 0 ? -1 : static_cast<int>(n);
}

int bbPlatformSocketReceiveFrom(BBNativeSocket s, void* data, int count, BBIPv4Address* from) {
  sockaddr_in sa;
  socklen_t len = sizeof sa;
  std::memset(&sa, 0, sizeof sa);
  ssize_t n = recvfrom(bbFd(s), data, static_cast<size_t>(count), 0, reinterpret_cast<sockaddr*>(&sa), &len);
  if (n < 0) return -1;
  *from = bbFromNative(sa);
  return static_cast<int>(n);
}

bool bbPlatformSocketLocalAddress(BBNativeSocket s, BBIPv4Address* a) {
  sockaddr_in sa;
  socklen_t len = sizeof sa;
  if (getsockname(bbFd(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return false;
  *a = bbFromNative(sa);
  return true;
}

bool bbPlatformSocketRemoteAddress(BBNativeSocket s, BBIPv4Address* a) {
  sockaddr_in sa;
  socklen_t len = sizeof sa;
  if (getpeername(bbFd(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return false;
  *a = bbFromNative(sa);
  return true;
}

bool bbPlatformResolveIPv4(const char* host, std::uint32_t* address) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  addrinfo* result = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &result) != 0 || !result) return false;
  *address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(result);
  return true;
}

std::uint16_t bbPlatformHostToNetwork16(std::uint16_t v) { return htons(v); }
std::uint16_t bbPlatformNetworkToHost16(std::uint16_t v) { return ntohs(v); }
