// socket_win32.cpp: IPv4 sockets over Windows sockets (Winsock, started once per process).
#include "socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

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

// INVALID_SOCKET is all ones, which reads as kBBNoSocket (-1) and back.
SOCKET bbSocket(BBNativeSocket s) { return static_cast<SOCKET>(s); }
BBNativeSocket bbNative(SOCKET s) {
  return s == INVALID_SOCKET ? kBBNoSocket : static_cast<BBNativeSocket>(s);
}

}  // namespace

bool bbPlatformSocketsInit() {
  // Version 1.1, as the runtime has always asked for; thread-safe and done once.
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }();
  return started;
}

BBNativeSocket bbPlatformSocketOpen(bool stream) {
  SOCKET s = socket(AF_INET, stream ? SOCK_STREAM : SOCK_DGRAM, stream ? IPPROTO_TCP : IPPROTO_UDP);
  if (s == INVALID_SOCKET) return kBBNoSocket;
  if (stream) {
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  }
  return bbNative(s);
}

void bbPlatformSocketClose(BBNativeSocket s) {
  if (s >= 0) closesocket(bbSocket(s));
}

bool bbPlatformSocketBind(BBNativeSocket s, const BBIPv4Address& a) {
  sockaddr_in sa = bbToNative(a);
  return bind(bbSocket(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool bbPlatformSocketConnect(BBNativeSocket s, const BBIPv4Address& a) {
  sockaddr_in sa = bbToNative(a);
  return connect(bbSocket(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool bbPlatformSocketListen(BBNativeSocket s, int backlog) {
  return listen(bbSocket(s), backlog) == 0;
}

BBNativeSocket bbPlatformSocketAccept(BBNativeSocket s) {
  return bbNative(accept(bbSocket(s), nullptr, nullptr));
}

int bbPlatformSocketSend(BBNativeSocket s, const void* data, int count) {
  int n = send(bbSocket(s), static_cast<const char*>(data), count, 0);
  return n == SOCKET_ERROR ? -1 : n;
}

int bbPlatformSocketReceive(BBNativeSocket s, void* data, int count) {
  int n = recv(bbSocket(s), static_cast<char*>(data), count, 0);
  return n == SOCKET_ERROR ? -1 : n;
}

int bbPlatformSocketSendTo(BBNativeSocket s, const void* data, int count, const BBIPv4Address& to) {
  sockaddr_in sa = bbToNative(to);
  int n = sendto(bbSocket(s), static_cast<const char*>(data), count, 0,
                 reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  return n == SOCKET_ERROR ? -1 : n;
}

int bbPlatformSocketReceiveFrom(BBNativeSocket s, void* data, int count, BBIPv4Address* from) {
  sockaddr_in sa;
  int len = sizeof sa;
  std::memset(&sa, 0, sizeof sa);
  int n = recvfrom(bbSocket(s), static_cast<char*>(data), count, 0, reinterpret_cast<sockaddr*>(&sa),
                   &len);
  if (n == SOCKET_ERROR) return -1;
  *from = bbFromNative(sa);
  return n;
}

bool bbPlatformSocketLocalAddress(BBNativeSocket s, BBIPv4Address* a) {
  sockaddr_in sa;
  int len = sizeof sa;
  if (getsockname(bbSocket(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return false;
  *a = bbFromNative(sa);
  return true;
}

bool bbPlatformSocketRemoteAddress(BBNativeSocket s, BBIPv4Address* a) {
  sockaddr_in sa;
  int len = sizeof sa;
  if (getpeername(bbSocket(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return false;
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
