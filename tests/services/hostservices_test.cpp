// Data buffers, background threads, sockets over loopback, and the event-source stack's growth.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/host/asyncevent.h"
#include "runtime/object/gc.h"
#include "runtime/services/databuffer.h"
#include "runtime/services/socket.h"
#include "runtime/services/thread.h"

namespace {

class HostServices : public ::testing::Test {
 protected:
  void SetUp() override { gc_init(); }
  static BBDataBuffer* Buffer(int length) {
    BBDataBuffer* b = new BBDataBuffer;
    EXPECT_TRUE(b->_New(length));
    return b;
  }
};

TEST_F(HostServices, PeekAndPokeAreLittleEndianAndSignExtend) {
  BBDataBuffer* b = Buffer(16);
  unsigned char* first = b->data;
  EXPECT_FALSE(b->_New(16)) << "a buffer that holds data keeps it";
  EXPECT_EQ(b->data, first);
  b->PokeShort(0, 65535);
  b->PokeByte(2, 200);
  b->PokeInt(4, 0x12345678);
  b->PokeInt(8, -2);
  b->PokeFloat(12, -1.5f);
  EXPECT_EQ((std::vector<int>{b->PeekShort(0), b->PeekByte(2), b->data[4], b->data[7], b->PeekInt(4), b->PeekShort(4),
                              b->PeekInt(8)}),
            (std::vector<int>{-1, -56, 0x78, 0x12, 0x12345678, 0x5678, -2}));
  EXPECT_EQ(b->PeekFloat(12), -1.5f);
}

TEST_F(HostServices, AccessesOutsideTheBufferAreRefused) {
  BBDataBuffer* b = Buffer(4);
  b->PokeInt(1, -1);  // would run one byte past the end
  b->PokeByte(-1, 7);
  b->PokeShort(2147483647, 1);
  EXPECT_EQ(b->PeekInt(0) | b->PeekInt(1) | b->PeekByte(4) | b->PeekShort(-2), 0);
  EXPECT_FALSE((new BBDataBuffer)->_New(-1));
  b->Discard();
  EXPECT_EQ(b->Length() | b->PeekByte(0), 0);
  EXPECT_TRUE(b->_New(2)) << "a discarded buffer can take new data";
}

// A thread whose run waits until it is released, then hands a buffer over as its result.
struct Worker : BBThread {
  std::atomic<bool> release{false};
  std::atomic<int> runs{0};
  BBDataBuffer* product = new BBDataBuffer;
  void Run__UNSAFE__() override {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++runs;
    SetResult(product);
  }
};

TEST_F(HostServices, ThreadsStartOnceRunAndHandOverTheirResult) {
  Worker* w = new Worker;
  w->Start();
  w->Start();  // already running: nothing
  EXPECT_TRUE(w->IsRunning());
  w->release = true;
  w->Wait();
  EXPECT_FALSE(w->IsRunning());
  EXPECT_EQ(w->runs, 1);
  EXPECT_EQ(w->Result(), w->product);
  EXPECT_FALSE(gc_is_white(w->product)) << "Wait applies the write barrier to the result";
  // A finished thread starts a new run.
  w->Start();
  for (int i = 0; i < 2000 && w->running != 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  w->Start();
  w->Wait();
  w->Wait();  // waiting on a joined thread does nothing
  EXPECT_EQ(w->runs, 3);
}

TEST_F(HostServices, SocketAddressesResolveLazilyAndFallBackToAny) {
  BBSocketAddress* a = new BBSocketAddress;
  a->Set(String(), 80);
  EXPECT_FALSE(a->validated);
  EXPECT_EQ(a->Host().ToNarrow() + ":" + std::to_string(a->Port()), "0.0.0.0:80");
  EXPECT_TRUE(a->validated);
  a->Set(String("127.0.0.1"), 8080);
  EXPECT_EQ(a->Host().ToNarrow() + ":" + std::to_string(a->Port()), "127.0.0.1:8080");
  // A host of 1024 characters is not looked up; neither resolves.
  for (const std::string& host : {std::string(1024, 'a'), std::string("no-such-host.invalid")}) {
    a->Set(String(host.c_str()), 1);
    EXPECT_EQ(a->Host().ToNarrow(), "0.0.0.0");
  }
}

TEST_F(HostServices, TcpOverLoopback) {
  BBSocket *server = new BBSocket, *client = new BBSocket;
  ASSERT_TRUE(server->Open(1));
  EXPECT_FALSE(server->Open(3)) << "already open";
  EXPECT_FALSE((new BBSocket)->Open(0) || (new BBSocket)->Open(4));
  ASSERT_TRUE(server->Bind(String("127.0.0.1"), 0) && server->Listen(4));
  BBSocketAddress *where = new BBSocketAddress, *peer = new BBSocketAddress;
  server->GetLocalAddress(where);
  ASSERT_TRUE(client->Open(2) && client->Connect(String("127.0.0.1"), where->Port()));
  ASSERT_TRUE(server->Accept());
  BBSocket* conn = server->Accepted();
  ASSERT_NE(conn, nullptr);
  EXPECT_EQ(server->Accepted(), nullptr) << "the accepted connection has one owner";
  conn->GetRemoteAddress(peer);
  EXPECT_EQ(peer->Host().ToNarrow(), "127.0.0.1");

  BBDataBuffer *out = Buffer(12), *in = Buffer(16);
  out->PokeInt(4, 0x01020304);
  out->PokeInt(8, -7);
  EXPECT_EQ(client->Send(out, 4, 8), 8);
  EXPECT_EQ(client->Send(out, 8, 8), -1) << "a range past the buffer is refused";
  for (int got = 0, n; got < 8; got += n) ASSERT_GT(n = conn->Receive(in, 2 + got, 8 - got), 0);
  EXPECT_EQ(in->PeekInt(2), 0x01020304);
  EXPECT_EQ(in->PeekInt(6), -7);
  client->Close();
  EXPECT_EQ(conn->Receive(in, 0, 8), 0) << "end of stream after the peer closed";
  conn->Close();
  server->Close();
  EXPECT_EQ(client->Send(out, 0, 1), -1);
}

TEST_F(HostServices, UdpRoundTripOverLoopback) {
  BBSocket *a = new BBSocket, *b = new BBSocket;
  BBSocketAddress *addrA = new BBSocketAddress, *addrB = new BBSocketAddress, *from = new BBSocketAddress;
  for (BBSocket* s : {a, b}) ASSERT_TRUE(s->Open(3) && s->Bind(String("127.0.0.1"), 0));
  a->GetLocalAddress(addrA);
  b->GetLocalAddress(addrB);
  BBDataBuffer *msg = Buffer(4), *in = Buffer(10);
  msg->PokeByte(1, 'h'), msg->PokeByte(2, 'i'), msg->PokeByte(3, '!');
  EXPECT_EQ(a->SendTo(msg, 1, 3, addrB), 3);
  EXPECT_EQ(b->ReceiveFrom(in, 2, 8, from), 3);
  EXPECT_EQ(in->PeekByte(2) << 8 | in->PeekByte(4), 'h' << 8 | '!');
  EXPECT_EQ(from->Host().ToNarrow() + ":" + std::to_string(from->Port()),
            "127.0.0.1:" + std::to_string(addrA->Port()));
}

TEST_F(HostServices, StackGrowsAndClearsDroppedSlots) {
  struct Source : Object, c_IAsyncEventSource {
    int p_UpdateAsyncEvents() override { return 0; }
  };
  Source* src = new Source;
  c_Stack* s = (new c_Stack)->m_new();
  s->p_Length(11);
  ASSERT_GE(s->m_data.Length(), 11);
  s->m_data[2] = src;
  s->p_Length(2);
  EXPECT_EQ(s->m_data[2], nullptr);
  s->p_Length(40);
  EXPECT_TRUE(s->p_Length2() == 40 && s->m_data.Length() >= 40) << "a jump past twice the length";
  Array<c_IAsyncEventSource*> init(3);
  init[1] = src;
  c_Stack* copy = (new c_Stack)->m_new2(init);
  init[1] = nullptr;
  EXPECT_TRUE(copy->p_Length2() == 3 && copy->p_Get(1) == src) << "the stack holds its own copy";
}

}  // namespace
