#include "world/messages.h"

#include <cstring>

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

uint32_t load32(const uint8_t *p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t load16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }
void store32(uint8_t *p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
void store16(uint8_t *p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

uint32_t receiverAt(uint32_t pos) { return load32(buffer + pos + kReceiverAt); }
void consume(uint32_t pos) { store32(buffer + pos + kReceiverAt, kMsgConsumed); }
uint32_t sizeAt(uint32_t pos) { return load32(buffer + pos + kSizeAt); }
uint32_t dueAt(uint32_t pos) { return load32(buffer + pos + kDueAt); }
uint16_t typeAt(uint32_t pos) { return load16(buffer + pos + kTypeAt); }

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
    store32(h + kReceiverAt, receiver);
    store32(h + kSenderAt, sender);
    store32(h + kUnusedAt, 0);
    store32(h + kDueAt, now() + delay);
    store16(h + kTypeAt, type);
    store16(h + kUnused2At, 0);
    store32(h + kSizeAt, size);
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
    MessageHeader h;
    h.receiver = load32(bytes + kReceiverAt);
    h.sender = load32(bytes + kSenderAt);
    h.unused = load32(bytes + kUnusedAt);
    h.due = load32(bytes + kDueAt);
    h.type = load16(bytes + kTypeAt);
    h.unused2 = load16(bytes + kUnused2At);
    h.size = load32(bytes + kSizeAt);
    return h;
}

void dunMsgCopyPayload(const MsgRecord *record, void *destination) {
    if (record->header.size > kMsgHeaderSize) std::memcpy(destination, dunMsgPayload(record), dunMsgPayloadLength(record));
}

namespace {
// The payload bytes of a field, or null when the field passes the payload.
const uint8_t *payloadField(const MsgRecord *record, uint32_t offset, uint32_t width) {
    if (!record || !record->bytes || record->header.size < kMsgHeaderSize) return nullptr;
    const uint32_t length = dunMsgPayloadLength(record);
    if (offset > length || width > length - offset) return nullptr;
    return dunMsgPayload(record) + offset;
}
}  // namespace

bool dunMsgPayloadU32(const MsgRecord *record, uint32_t offset, uint32_t *value) {
    const uint8_t *p = payloadField(record, offset, 4);
    *value = p ? load32(p) : 0;
    return p != nullptr;
}

bool dunMsgPayloadF32(const MsgRecord *record, uint32_t offset, float *value) {
    uint32_t bits;
    const bool ok = dunMsgPayloadU32(record, offset, &bits);
    std::memcpy(value, &bits, 4);
    return ok;
}

bool dunMsgPayloadU16(const MsgRecord *record, uint32_t offset, uint16_t *value) {
    const uint8_t *p = payloadField(record, offset, 2);
    *value = p ? load16(p) : 0;
    return p != nullptr;
}

void dunPayloadPutU32(uint8_t *payload, uint32_t offset, uint32_t value) { store32(payload + offset, value); }
void dunPayloadPutU16(uint8_t *payload, uint32_t offset, uint16_t value) { store16(payload + offset, value); }
void dunPayloadPutF32(uint8_t *payload, uint32_t offset, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    store32(payload + offset, bits);
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
            if (int32_t(dueAt(pos) - now()) < int32_t(delay)) store32(buffer + pos + kDueAt, now() + delay);
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
