// socket.cpp: IPv4 sockets and their addresses.
#include "socket.h"

#include <cstdio>
#include <string>

namespace {

// A buffer range usable for a transfer.
bool bbRangeOk(BBDataBuffer* buffer, int offset, int count) {
  return buffer && buffer->data && offset >= 0 && count >= 0 && count <= buffer->length &&
         offset <= buffer->length - count;
}

}  // namespace

BBIPv4Address bbSocketAddressOf(const String& host, int port) {
  BBIPv4Address a;
  a.port = bbPlatformHostToNetwork16(static_cast<std::uint16_t>(port));
  if (host.Length() >= 1 && host.Length() <= 1023) {
    std::string narrow = host.ToNarrow();
    std::uint32_t resolved;
    if (narrow.find('\0') == std::string::npos && bbPlatformResolveIPv4(narrow.c_str(), &resolved))
      a.address = resolved;
  }
  return a;
}

BBSocketAddress::BBSocketAddress() {}

void BBSocketAddress::Set(String host, int port) {
  address = bbSocketAddressOf(host, port);
  validated = false;
}

void BBSocketAddress::Set(BBSocketAddress* other) {
  address = other->address;
  validated = false;
}

void BBSocketAddress::Set(const BBIPv4Address& native) {
  address = native;
  validated = false;
}

void BBSocketAddress::Validate() {
  if (validated) return;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(&address.address);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  host_ = String(text);
  port_ = bbPlatformNetworkToHost16(address.port);
  validated = true;
}

String BBSocketAddress::Host() {
  Validate();
  return host_;
}

int BBSocketAddress::Port() {
  Validate();
  return port_;
}

BBSocket::BBSocket() { bbPlatformSocketsInit(); }

BBSocket::BBSocket(BBNativeSocket native) : socket(native) { bbPlatformSocketsInit(); }

BBSocket::~BBSocket() {
  Close();
  if (accepted >= 0) bbPlatformSocketClose(accepted);
}

bool BBSocket::Open(int newProtocol) {
  if (socket >= 0 || newProtocol < 1 || newProtocol > 3) return false;
  socket = bbPlatformSocketOpen(newProtocol != 3);
  if (socket < 0) return false;
  protocol = newProtocol;
  return true;
}

void BBSocket::Close() {
  if (socket < 0) return;
  bbPlatformSocketClose(socket);
  socket = kBBNoSocket;
}

bool BBSocket::Bind(String host, int port) {
  return socket >= 0 && bbPlatformSocketBind(socket, bbSocketAddressOf(host, port));
}

bool BBSocket::Connect(String host, int port) {
  return socket >= 0 && bbPlatformSocketConnect(socket, bbSocketAddressOf(host, port));
}

bool BBSocket::Listen(int backlog) { return socket >= 0 && bbPlatformSocketListen(socket, backlog); }

bool BBSocket::Accept() {
  if (socket < 0) return false;
  accepted = bbPlatformSocketAccept(socket);
  return accepted >= 0;
}

BBSocket* BBSocket::Accepted() {
  if (accepted < 0) return nullptr;
  BBSocket* s = new BBSocket(accepted);
  accepted = kBBNoSocket;  // the new socket owns the connection now
  return s;
}

int BBSocket::Send(BBDataBuffer* buffer, int offset, int count) {
  if (socket < 0 || !bbRangeOk(buffer, offset, count)) return -1;
  return bbPlatformSocketSend(socket, buffer->data + offset, count);
}

int BBSocket::Receive(BBDataBuffer* buffer, int offset, int count) {
  if (socket < 0 || !bbRangeOk(buffer, offset, count)) return -1;
  return bbPlatformSocketReceive(socket, buffer->data + offset, count);
}

int BBSocket::SendTo(BBDataBuffer* buffer, int offset, int count, BBSocketAddress* address) {
  if (socket < 0 || !address || !bbRangeOk(buffer, offset, count)) return -1;
  return bbPlatformSocketSendTo(socket, buffer->data + offset, count, address->address);
}

int BBSocket::ReceiveFrom(BBDataBuffer* buffer, int offset, int count, BBSocketAddress* address) {
  if (socket < 0 || !address || !bbRangeOk(buffer, offset, count)) return -1;
  BBIPv4Address from;
  int n = bbPlatformSocketReceiveFrom(socket, buffer->data + offset, count, &from);
  if (n >= 0) address->Set(from);
  return n;
}

void BBSocket::GetLocalAddress(BBSocketAddress* address) {
  BBIPv4Address a;
  if (socket >= 0 && bbPlatformSocketLocalAddress(socket, &a)) address->Set(a);
}

void BBSocket::GetRemoteAddress(BBSocketAddress* address) {
  BBIPv4Address a;
  if (socket >= 0 && bbPlatformSocketRemoteAddress(socket, &a)) address->Set(a);
}
