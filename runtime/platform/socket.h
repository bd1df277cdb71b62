// socket.h: IPv4 sockets, behind one small interface.
//
// Addresses and ports are kept in network byte order, as the operating system holds them.
// Depends on: BSD sockets (socket_posix.cpp) or Windows sockets (socket_win32.cpp).
// Must not touch: runtime objects.
#pragma once

#include <cstdint>

// A native socket handle; negative when there is none.
using BBNativeSocket = long long;
constexpr BBNativeSocket kBBNoSocket = -1;

struct BBIPv4Address {
  std::uint32_t address = 0;  // network order; 0 is "any"
  std::uint16_t port = 0;     // network order
};

// Prepares the sockets library; safe to call more than once.
bool bbPlatformSocketsInit();
// A new TCP stream socket with Nagle's algorithm off (stream true) or a UDP datagram socket.
BBNativeSocket bbPlatformSocketOpen(bool stream);
void bbPlatformSocketClose(BBNativeSocket s);
bool bbPlatformSocketBind(BBNativeSocket s, const BBIPv4Address& a);
bool bbPlatformSocketConnect(BBNativeSocket s, const BBIPv4Address& a);
bool bbPlatformSocketListen(BBNativeSocket s, int backlog);
BBNativeSocket bbPlatformSocketAccept(BBNativeSocket s);
// Bytes transferred, or -1.
int bbPlatformSocketSend(BBNativeSocket s, const void* data, int count);
int bbPlatformSocketReceive(BBNativeSocket s, void* data, int count);
int bbPlatformSocketSendTo(BBNativeSocket s, const void* data, int count, const BBIPv4Address& to);
int bbPlatformSocketReceiveFrom(BBNativeSocket s, void* data, int count, BBIPv4Address* from);
bool bbPlatformSocketLocalAddress(BBNativeSocket s, BBIPv4Address* a);
bool bbPlatformSocketRemoteAddress(BBNativeSocket s, BBIPv4Address* a);
// The first IPv4 address of a host name or dotted address; false when it cannot be resolved.
bool bbPlatformResolveIPv4(const char* host, std::uint32_t* address);
// Byte order helpers for ports.
std::uint16_t bbPlatformHostToNetwork16(std::uint16_t v);
std::uint16_t bbPlatformNetworkToHost16(std::uint16_t v);
