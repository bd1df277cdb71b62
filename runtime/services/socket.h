// socket.h: BBSocket and BBSocketAddress, IPv4 TCP and UDP sockets for the runtime.
//
// All operations report failure as false or -1, without error text. Calls block the caller.
// Depends on: the object runtime, the platform socket layer, data buffers.
#pragma once

#include "databuffer.h"
#include "runtime/object/object.h"
#include "runtime/platform/socket.h"

class BBSocketAddress : public Object {
 public:
  BBSocketAddress();

  // Resolves host (empty, too long or unknown means "any") and stores the port.
  void Set(String host, int port);
  void Set(BBSocketAddress* other);
  void Set(const BBIPv4Address& native);
  String Host();
  int Port();

  BBIPv4Address address;  // network order
  bool validated = false;

 private:
  void Validate();
  String host_;
  int port_ = 0;
};

class BBSocket : public Object {
 public:
  BBSocket();
  // Wraps an accepted connection.
  explicit BBSocket(BBNativeSocket native);
  ~BBSocket() override;

  // 1 or 2: TCP stream with no delay; 3: UDP datagrams. False when already open or unknown.
  bool Open(int protocol);
  void Close();
  bool Bind(String host, int port);
  bool Connect(String host, int port);
  bool Listen(int backlog);
  bool Accept();
  // A new socket for the last accepted connection, or null.
  BBSocket* Accepted();
  // Bytes sent or received, or -1; the range must lie inside the buffer.
  int Send(BBDataBuffer* buffer, int offset, int count);
  int Receive(BBDataBuffer* buffer, int offset, int count);
  int SendTo(BBDataBuffer* buffer, int offset, int count, BBSocketAddress* address);
  int ReceiveFrom(BBDataBuffer* buffer, int offset, int count, BBSocketAddress* address);
  void GetLocalAddress(BBSocketAddress* address);
  void GetRemoteAddress(BBSocketAddress* address);

  BBNativeSocket socket = kBBNoSocket;
  int protocol = 0;
  BBNativeSocket accepted = kBBNoSocket;
};

// Builds an IPv4 address from a host text and a port as Set, Bind and Connect do.
BBIPv4Address bbSocketAddressOf(const String& host, int port);
