#include "world/messages.h"

#include <cstring>

#include "core/bytes.h"
#include "core/frame.h"
#include "core/log.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// Records lie back to back from the start of the buffer to the write
// position; each begins with its 24-byte header.
uint8_t buffer[kMsgBufferSize];
uint32_t writePos = 0;
uint8_t receiverInUse[kMaxReceivers];
uint16_t pending[kMaxReceivers];
uint16_t receiverCount = 0;
uint32_t postedCount = 0;

// Header field offsets.
constexpr uint32_t kReceiverAt = 0;
constexpr uint32_t kSenderAt = 4;
constexpr uint32_t kUnusedAt = 8;
constexpr uint32_t kDueAt = 12;
constexpr uint32_t kTypeAt = 16;
constexpr uint32_t kUnused2At = 18;
constexpr uint32_t kSizeAt = 20;

// Fields are read through the byte reader over the records written so far;
// every record from 0 to the write position is whole, so the reads hold.
ByteView held() { return BytesOf(buffer, writePos); }
uint32_t field32(uint32_t at) {
    uint32_t v = 0;
    ReadU32Le(held(), at, &v);
    return v;
}
uint16_t field16(uint32_t at) {
    uint16_t v = 0;
    ReadU16Le(held(), at, &v);
    return v;
}

uint32_t receiverAt(uint32_t pos) { return field32(pos + kReceiverAt); }
void consume(uint32_t pos) { PutU32Le(buffer, pos + kReceiverAt, kMsgConsumed); }
uint32_t sizeAt(uint32_t pos) { return field32(pos + kSizeAt); }
uint32_t dueAt(uint32_t pos) { return field32(pos + kDueAt); }
uint16_t typeAt(uint32_t pos) { return field16(pos + kTypeAt); }

// Due times are unsigned centiseconds of the game clock.
uint32_t now() { return uint32_t(dunGameClock); }

// Receivers that exist in the table but are not handed out: their records
// must never reach the next owner of the id.
bool freedReceiver(uint32_t id) { return dunMsgIsReceiver(id) && !receiverInUse[id & 0xFFFF]; }

}  // namespace

bool dunMsgIsReceiver(uint32_t id) { return (id >> 16) == 1 && (id & 0xFFFF) < uint32_t(kMaxReceivers); }

void dunMsgInit() { dunMsgReset(); }

void dunMsgShutdown() { dunMsgReset(); }

void dunMsgReset() {
    std::memset(buffer, 0, sizeof buffer);
    writePos = 0;
    std::memset(receiverInUse, 0, sizeof receiverInUse);
    std::memset(pending, 0, sizeof pending);
    receiverCount = 0;
    postedCount = 0;
}

uint32_t dunMsgNewReceiver() {
    for (int i = 0; i < kMaxReceivers; ++i) {
        if (!receiverInUse[i]) {
            receiverInUse[i] = 255;
            ++receiverCount;
            return uint32_t(i) | kReceiverTag;
        }
    }
    dunFatalError("Exceeded max RECEIVERs");
}

void dunMsgFreeReceiver(uint32_t id) {
    if (!dunMsgIsReceiver(id)) return;
    const int i = int(id & 0xFFFF);
    dunMsgDropAll(id);
    pending[i] = 0;
    if (receiverInUse[i]) {
        receiverInUse[i] = 0;
        --receiverCount;
    }
}

void dunMsgDropAll(uint32_t id) {
    const bool tagged = dunMsgIsReceiver(id);
    for (uint32_t pos = 0; pos < writePos; pos += sizeAt(pos)) {
        if (receiverAt(pos) == id) {
            consume(pos);
            if (tagged && pending[id & 0xFFFF]) --pending[id & 0xFFFF];
        }
    }
}

bool dunMsgPost(uint32_t sender, uint32_t receiver, uint32_t delay, uint16_t type, uint32_t length,
                const void *payload) {
    if (dunFrozen) return false;
    // A message to a receiver that has been freed would wait for whichever
    // object gets the id next: drop it.
    if (freedReceiver(receiver)) return false;
    if (length > kMsgBufferSize - kMsgHeaderSize) dunFatalError("Message Buffer Overflow");
    const uint32_t size = kMsgHeaderSize + length;
    // A handler may forward a payload that still lies in the buffer; take
    // a copy before compaction can move it.
    static uint8_t local[kMsgBufferSize];
    const uint8_t *src = static_cast<const uint8_t *>(payload);
    if (src && length && src >= buffer && src < buffer + sizeof buffer) {
        std::memcpy(local, src, length);
        src = local;
    }
    ++postedCount;
    if (dunMsgIsReceiver(receiver)) ++pending[receiver & 0xFFFF];
    if (size > kMsgBufferSize - writePos) {
        dunMsgCompact();
        if (size > kMsgBufferSize - writePos) dunFatalError("Message Buffer Overflow");
    }
    uint8_t *h = buffer + writePos;
    PutU32Le(h, kReceiverAt, receiver);
    PutU32Le(h, kSenderAt, sender);
    PutU32Le(h, kUnusedAt, 0);
    PutU32Le(h, kDueAt, now() + delay);
    PutU16Le(h, kTypeAt, type);
    PutU16Le(h, kUnused2At, 0);
    PutU32Le(h, kSizeAt, size);
    if (length) {
        if (src)
            std::memcpy(h + kMsgHeaderSize, src, length);
        else
            std::memset(h + kMsgHeaderSize, 0, length);
    }
    writePos += size;
    return true;
}

bool dunMsgReceive(uint32_t id, MsgRecord *record) {
    // Only tagged ids: 0 or 0xFFFFFFFF would otherwise take receiver 0's
    // count or consumed records.
    if (!dunMsgIsReceiver(id)) return false;
    const int i = int(id & 0xFFFF);
    if (pending[i] == 0) return false;
    for (uint32_t pos = 0; pos < writePos; pos += sizeAt(pos)) {
        if (receiverAt(pos) == id && dueAt(pos) <= now()) {
            record->header = dunMsgReadHeader(buffer + pos);
            record->bytes = buffer + pos;
            consume(pos);
            --pending[i];
            return true;
        }
    }
    return false;
}

MessageHeader dunMsgReadHeader(const uint8_t *bytes) {
    const ByteView v = BytesOf(bytes, kMsgHeaderSize);
    MessageHeader h{};
    ReadU32Le(v, kReceiverAt, &h.receiver);
    ReadU32Le(v, kSenderAt, &h.sender);
    ReadU32Le(v, kUnusedAt, &h.unused);
    ReadU32Le(v, kDueAt, &h.due);
    ReadU16Le(v, kTypeAt, &h.type);
    ReadU16Le(v, kUnused2At, &h.unused2);
    ReadU32Le(v, kSizeAt, &h.size);
    return h;
}

void dunMsgCopyPayload(const MsgRecord *record, void *destination) {
    if (record->header.size > kMsgHeaderSize) std::memcpy(destination, dunMsgPayload(record), dunMsgPayloadLength(record));
}

namespace {
// The record's payload as a view: empty for a missing or headless record, so
// a field past the payload reads as absent.
ByteView payloadView(const MsgRecord *record) {
    if (!record || !record->bytes || record->header.size < kMsgHeaderSize) return ByteView{};
    return BytesOf(dunMsgPayload(record), dunMsgPayloadLength(record));
}
}  // namespace

bool dunMsgPayloadU32(const MsgRecord *record, uint32_t offset, uint32_t *value) {
    *value = 0;
    return ReadU32Le(payloadView(record), offset, value);
}

bool dunMsgPayloadF32(const MsgRecord *record, uint32_t offset, float *value) {
    uint32_t bits;
    const bool ok = dunMsgPayloadU32(record, offset, &bits);
    std::memcpy(value, &bits, 4);
    return ok;
}

bool dunMsgPayloadU16(const MsgRecord *record, uint32_t offset, uint16_t *value) {
    *value = 0;
    return ReadU16Le(payloadView(record), offset, value);
}

void dunPayloadPutU32(uint8_t *payload, uint32_t offset, uint32_t value) { PutU32Le(payload, offset, value); }
void dunPayloadPutU16(uint8_t *payload, uint32_t offset, uint16_t value) { PutU16Le(payload, offset, value); }
void dunPayloadPutF32(uint8_t *payload, uint32_t offset, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutU32Le(payload, offset, bits);
}

SceneItem *dunMsgPayloadItem(const MsgRecord *record, uint32_t offset) {
    uint32_t h;
    return dunMsgPayloadU32(record, offset, &h) ? dunItemFromHandle(h) : nullptr;
}

TDP *dunMsgPayloadNode(const MsgRecord *record, uint32_t offset) {
    uint32_t h;
    return dunMsgPayloadU32(record, offset, &h) ? dunNodeFromHandle(h) : nullptr;
}

int16_t dunMsgDelayType(SceneItem *item, uint32_t delay, uint16_t type) {
    int16_t count = 0;
    if (!item) return 0;
    const uint32_t id = item->receiverId;
    for (uint32_t pos = 0; pos < writePos; pos += sizeAt(pos)) {
        if (receiverAt(pos) == id && typeAt(pos) == type) {
            ++count;
            if (int32_t(dueAt(pos) - now()) < int32_t(delay)) PutU32Le(buffer, pos + kDueAt, now() + delay);
        }
    }
    return count;
}

int16_t dunMsgCountType(const SceneItem *item, uint16_t type) {
    int16_t count = 0;
    if (!item || !dunMsgIsReceiver(item->receiverId)) return 0;
    for (uint32_t pos = 0; pos < writePos; pos += sizeAt(pos))
        if (receiverAt(pos) == item->receiverId && typeAt(pos) == type) ++count;
    return count;
}

void dunMsgBroadcast(uint32_t sender, uint32_t delay, uint16_t type, uint32_t length, const void *payload) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *item = head->next, *next; item && item != head; item = next) {
        next = item->next;
        if (item->sim && item->sim->shipInfo && item->receiverId != sender)
            dunMsgPost(sender, item->receiverId, delay, type, length, payload);
    }
}

void dunMsgCompact() {
    uint32_t pos = 0;
    while (pos < writePos) {
        const uint32_t len = sizeAt(pos);
        if (receiverAt(pos) == kMsgConsumed) {
            std::memmove(buffer + pos, buffer + pos + len, writePos - pos - len);
            writePos -= len;
        } else {
            pos += len;
        }
    }
}

void dunMsgEndFrame() {
    for (uint32_t pos = 0; pos < writePos; pos += sizeAt(pos)) {
        const uint32_t receiver = receiverAt(pos);
        if (receiver != kMsgConsumed && (!dunMsgIsReceiver(receiver) || freedReceiver(receiver))) consume(pos);
    }
    dunMsgCompact();
}

uint32_t dunMsgBytesUsed() { return writePos; }
uint16_t dunMsgPendingCount(uint32_t id) { return dunMsgIsReceiver(id) ? pending[id & 0xFFFF] : 0; }
uint16_t dunMsgReceiverCount() { return receiverCount; }
uint32_t dunMsgPostedCount() { return postedCount; }
