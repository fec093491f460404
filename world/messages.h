// Delayed, typed messages between objects: records packed back to back in
// one 64 KB buffer, each a 24-byte header and its payload, addressed to a
// receiver id (table index | 0x10000).
#pragma once

#include <cstddef>
#include <cstdint>

struct SceneItem;

// The header's fields. In the buffer a header is 24 little-endian bytes in
// this order, read and written field by field: records lie back to back, so
// a header has no alignment to lean on.
struct MessageHeader {
    uint32_t receiver;   // 0xFFFFFFFF once consumed
    uint32_t sender;
    uint32_t unused;
    uint32_t due;        // game clock in centiseconds
    uint16_t type;
    uint16_t unused2;
    uint32_t size;       // 24 + payload length
};
constexpr uint32_t kMsgHeaderSize = 24;

// A record taken by dunMsgReceive: its header as it was addressed, and the
// record's bytes in the buffer (header, then payload). The bytes stay
// readable until the next compaction (the end of the frame, or a post that
// needs room), so a handler copies what it needs before it posts.
struct MsgRecord {
    MessageHeader header;
    const uint8_t *bytes;
};

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
// Takes the first due record for the receiver and marks it consumed in the
// buffer; false when none is due.
bool dunMsgReceive(uint32_t id, MsgRecord *record);
// The header of the record whose bytes start here, as the buffer holds it now.
MessageHeader dunMsgReadHeader(const uint8_t *bytes);
inline const uint8_t *dunMsgPayload(const MsgRecord *record) { return record->bytes + kMsgHeaderSize; }
inline uint32_t dunMsgPayloadLength(const MsgRecord *record) { return record->header.size - kMsgHeaderSize; }
void dunMsgCopyPayload(const MsgRecord *record, void *destination);
// Little-endian fields at a byte offset of the payload; false (and 0) for a
// field that passes the payload's end.
bool dunMsgPayloadU32(const MsgRecord *record, uint32_t offset, uint32_t *value);
bool dunMsgPayloadF32(const MsgRecord *record, uint32_t offset, float *value);
bool dunMsgPayloadU16(const MsgRecord *record, uint32_t offset, uint16_t *value);
// Building a payload: little-endian fields at a byte offset.
void dunPayloadPutU32(uint8_t *payload, uint32_t offset, uint32_t value);
void dunPayloadPutU16(uint8_t *payload, uint32_t offset, uint16_t value);
void dunPayloadPutF32(uint8_t *payload, uint32_t offset, float value);
// Objects and parts named in a payload are 32-bit handles (world/handle.h):
// these read the word at a byte offset of the payload and resolve it, giving
// null for a stale handle or an offset past the payload.
SceneItem *dunMsgPayloadItem(const MsgRecord *record, uint32_t offset);
struct TDP;
TDP *dunMsgPayloadNode(const MsgRecord *record, uint32_t offset);
int16_t dunMsgDelayType(SceneItem *item, uint32_t delay, uint16_t type);
// How many records of a type wait for the object's receiver (none are changed).
int16_t dunMsgCountType(const SceneItem *item, uint16_t type);
void dunMsgBroadcast(uint32_t sender, uint32_t delay, uint16_t type, uint32_t length, const void *payload);
void dunMsgCompact();
void dunMsgEndFrame();

// Read-outs: bytes in use, pending count of a receiver, receivers in use,
// messages posted since the reset.
uint32_t dunMsgBytesUsed();
uint16_t dunMsgPendingCount(uint32_t id);
uint16_t dunMsgReceiverCount();
uint32_t dunMsgPostedCount();
