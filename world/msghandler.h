// The standard message handler: what almost every object does with the
// messages addressed to it, and the bookkeeping of a destroyed object.
#pragma once

#include <cstdint>

#include "world/records.h"

struct MsgRecord;

enum MessageType : uint16_t {
    MsgRemove = 0,
    MsgDetachPart = 1,         // 4: the part
    MsgPartsCollidable = 2,
    MsgSetContactHandler = 3,  // 4: the routine's id
    MsgSetGoal = 6,            // 4: the object
    MsgDestroyed = 7,          // 48: damage record
    MsgHit = 8,                // 48: damage record
    MsgPartnerReleased = 9,    // 4: the object
    MsgUndock = 10,
    MsgTimedDetonation = 11,
    MsgPortEnable = 12,        // 36: port number (u16) first
    MsgPortInfo = 13,          // 36: read and ignored
    MsgDocked = 14,            // 4: the partner
    MsgSidePartner = 15,       // 4: the object
    MsgJumpDepart = 16,        // 4: star-system number (i32)
    MsgJumpArrive = 17,        // 4: star-system number (i32)
    MsgFixedAttack = 18,
    MsgLdsDropOut = 19,
    MsgInterdictionOff = 20,
    MsgImpact = 21,            // 36: point, velocity, one word
    MsgViewShake = 22,         // 4: strength (i32)
    MsgRepairTick = 23,
    MsgTimedStateOn = 24,
    MsgTimedStateOff = 25,
    MsgScoreRecordGone = 26,   // 4: score key
    MsgRetarget = 27,          // 8: new object, old object
    MsgRelease = 28,           // 36: port number (u16) first
    MsgClearRamFlag = 29,
    MsgMissileWarning = 30,    // 4: the missile
    MsgFeedText = 31,
};

constexpr uint32_t kDamageRecordSize = 48;

void dunHandleMessages(SceneItem *item);
// Takes the object out of the contact table and out of the controlled
// object's aims, and hands control back when it was the remote object.
void dunForgetObject(SceneItem *item);
// The bookkeeping of a destroyed object: forgotten, its group flag passed on,
// and the kill written to the mission log. The record may be null.
void dunRecordDestruction(SceneItem *item, const DamageRecord *record);

// Docks two objects at the first port of each, made usable first; false (and
// nothing done) when either has no ship record or no port.
bool dunDockAtFirstPorts(SceneItem *a, SceneItem *b);

// The 48 bytes of a damage record in a payload, and back. Reading fills the
// fields a shorter payload lacks with 0 and returns false for it.
void dunPackDamageRecord(const DamageRecord *record, uint8_t bytes[kDamageRecordSize]);
bool dunReadDamageRecord(const MsgRecord *message, DamageRecord *record);
// Posts a damage record (types 7 and 8).
bool dunPostDamageRecord(uint32_t sender, uint32_t receiver, uint32_t delay, uint16_t type,
                         const DamageRecord *record);

// The object the mission script has excluded from target searches; it never
// becomes a goal by message.
extern SceneItem *dunProtectedObject;
