#include "world/messages.h"

#include <cstring>

#include "core/frame.h"
#include "core/log.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// Records are laid at 4-byte boundaries so that headers can be read in
// place; the size word still holds 24 + the payload length.
alignas(8) uint8_t buffer[kMsgBufferSize];
uint32_t writePos = 0;
uint8_t receiverInUse[kMaxReceivers];
uint16_t pending[kMaxReceivers];
uint16_t receiverCount = 0;
uint32_t postedCount = 0;

// Due times are unsigned centiseconds of the game clock.
uint32_t now() { return uint32_t(dunGameClock); }

uint32_t stride(uint32_t size) { return (size + 3u) & ~3u; }

MessageHeader *at(uint32_t pos) { return reinterpret_cast<MessageHeader *>(buffer + pos); }

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
    for (uint32_t pos = 0; pos < writePos; pos += stride(at(pos)->size)) {
        MessageHeader *h = at(pos);
        if (h->receiver == id) {
            h->receiver = kMsgConsumed;
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
    const uint32_t size = uint32_t(sizeof(MessageHeader)) + length;
    if (length > kMsgBufferSize) dunFatalError("Message Buffer Overflow");
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
    if (stride(size) > kMsgBufferSize - writePos) {
        dunMsgCompact();
        if (stride(size) > kMsgBufferSize - writePos) dunFatalError("Message Buffer Overflow");
    }
    MessageHeader *h = at(writePos);
    h->receiver = receiver;
    h->sender = sender;
    h->unused = 0;
    h->due = now() + delay;
    h->type = type;
    h->unused2 = 0;
    h->size = size;
    if (length) {
        if (src)
            std::memcpy(buffer + writePos + sizeof(MessageHeader), src, length);
        else
            std::memset(buffer + writePos + sizeof(MessageHeader), 0, length);
    }
    writePos += stride(size);
    return true;
}

MessageHeader *dunMsgReceive(uint32_t id) {
    // Only tagged ids: 0 or 0xFFFFFFFF would otherwise take receiver 0's
    // count or consumed records.
    if (!dunMsgIsReceiver(id)) return nullptr;
    const int i = int(id & 0xFFFF);
    if (pending[i] == 0) return nullptr;
    for (uint32_t pos = 0; pos < writePos; pos += stride(at(pos)->size)) {
        MessageHeader *h = at(pos);
        if (h->receiver == id && h->due <= now()) {
            h->receiver = kMsgConsumed;
            --pending[i];
            return h;
        }
    }
    return nullptr;
}

void dunMsgCopyPayload(const MessageHeader *record, void *destination) {
    if (record->size > sizeof(MessageHeader))
        std::memcpy(destination, dunMsgPayload(record), record->size - sizeof(MessageHeader));
}

namespace {
uint32_t payloadWord(const MessageHeader *record, uint32_t offset, bool *ok) {
    uint32_t word = 0;
    *ok = record && record->size >= sizeof(MessageHeader) && offset + 4 <= record->size - sizeof(MessageHeader);
    if (*ok) std::memcpy(&word, dunMsgPayload(record) + offset, 4);
    return word;
}
}  // namespace

SceneItem *dunMsgPayloadItem(const MessageHeader *record, uint32_t offset) {
    bool ok;
    uint32_t h = payloadWord(record, offset, &ok);
    return ok ? dunItemFromHandle(h) : nullptr;
}

TDP *dunMsgPayloadNode(const MessageHeader *record, uint32_t offset) {
    bool ok;
    uint32_t h = payloadWord(record, offset, &ok);
    return ok ? dunNodeFromHandle(h) : nullptr;
}

int16_t dunMsgDelayType(SceneItem *item, uint32_t delay, uint16_t type) {
    int16_t count = 0;
    if (!item) return 0;
    const uint32_t id = item->receiverId;
    for (uint32_t pos = 0; pos < writePos; pos += stride(at(pos)->size)) {
        MessageHeader *h = at(pos);
        if (h->receiver == id && h->type == type) {
            ++count;
            if (int32_t(h->due - dunGameClock) < int32_t(delay)) h->due = now() + delay;
        }
    }
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
        MessageHeader *h = at(pos);
        const uint32_t len = stride(h->size);
        if (h->receiver == kMsgConsumed) {
            std::memmove(buffer + pos, buffer + pos + len, writePos - pos - len);
            writePos -= len;
        } else {
            pos += len;
        }
    }
}

void dunMsgEndFrame() {
    for (uint32_t pos = 0; pos < writePos; pos += stride(at(pos)->size)) {
        MessageHeader *h = at(pos);
        if (h->receiver != kMsgConsumed && (!dunMsgIsReceiver(h->receiver) || freedReceiver(h->receiver)))
            h->receiver = kMsgConsumed;
    }
    dunMsgCompact();
}

uint32_t dunMsgBytesUsed() { return writePos; }
uint16_t dunMsgPendingCount(uint32_t id) { return dunMsgIsReceiver(id) ? pending[id & 0xFFFF] : 0; }
uint16_t dunMsgReceiverCount() { return receiverCount; }
uint32_t dunMsgPostedCount() { return postedCount; }
