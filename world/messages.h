// Delayed, typed messages between objects: records packed back to back in
// one 64 KB buffer, each a 24-byte header and its payload, addressed to a
// receiver id (table index | 0x10000).
#pragma once

#include <cstddef>
#include <cstdint>

struct SceneItem;

struct MessageHeader {
    uint32_t receiver;   // 0xFFFFFFFF once consumed
    uint32_t sender;
    uint32_t unused;
    uint32_t due;        // game clock in centiseconds
    uint16_t type;
    uint16_t unused2;
    uint32_t size;       // 24 + payload length
};
static_assert(sizeof(MessageHeader) == 24);

constexpr uint32_t kMsgBufferSize = 65536;
constexpr int kMaxReceivers = 1024;
constexpr uint32_t kReceiverTag = 0x10000;
constexpr uint32_t kMsgConsumed = 0xFFFFFFFF;

// True for a value of the form index | 0x10000 with an index of the table.
bool dunMsgIsReceiver(uint32_t id);

void dunMsgInit();
void dunMsgShutdown();
void dunMsgReset();
uint32_t dunMsgNewReceiver();
void dunMsgFreeReceiver(uint32_t id);
void dunMsgDropAll(uint32_t id);
// False when nothing was stored (frozen, or a receiver that has been freed).
bool dunMsgPost(uint32_t sender, uint32_t receiver, uint32_t delay, uint16_t type, uint32_t length,
                const void *payload);
// The first due record for the receiver, marked consumed; it stays readable
// until the next compaction (the end of the frame, or a post that needs
// room), so copy the payload out before posting anything.
MessageHeader *dunMsgReceive(uint32_t id);
void dunMsgCopyPayload(const MessageHeader *record, void *destination);
inline const uint8_t *dunMsgPayload(const MessageHeader *record) {
    return reinterpret_cast<const uint8_t *>(record) + sizeof(MessageHeader);
}
// Objects and parts named in a payload are 32-bit handles (world/handle.h):
// these read the word at a byte offset of the payload and resolve it, giving
// null for a stale handle or an offset past the payload.
SceneItem *dunMsgPayloadItem(const MessageHeader *record, uint32_t offset);
struct TDP;
TDP *dunMsgPayloadNode(const MessageHeader *record, uint32_t offset);
int16_t dunMsgDelayType(SceneItem *item, uint32_t delay, uint16_t type);
void dunMsgBroadcast(uint32_t sender, uint32_t delay, uint16_t type, uint32_t length, const void *payload);
void dunMsgCompact();
void dunMsgEndFrame();

// Read-outs: bytes in use, pending count of a receiver, receivers in use,
// messages posted since the reset.
uint32_t dunMsgBytesUsed();
uint16_t dunMsgPendingCount(uint32_t id);
uint16_t dunMsgReceiverCount();
uint32_t dunMsgPostedCount();
