// A fresh world for each test: empty pools and lists, clock at 0, frame 1.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "core/frame.h"
#include "common/fatal_hook.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/recorders.h"
#include "world/step.h"
#include "world/universe.h"

class WorldTest : public testing::Test {
protected:
    void SetUp() override {
        dunFrozen = 0;
        dunKeepControlledMoving = 0;
        dunHoldA = dunHoldB = 0;
        dunHoldC = 0;
        dunLookOnly = dunStopStep = dunNoCollision = dunStopWalk = 0;
        dunGameClock = 0;
        dunFrameCounter = 1;
        dunFrameStep = 10;
        dunFrameSeconds = 0.1f;
        dunCurrentSystem = 1;  // a run starts in system 1
        dunStepMarkObserver = nullptr;
        dunMsgInit();
        dunResetWorld();
        dunClearRecorders();
    }

    // A linked object with a Sim and a root node.
    static SceneItem *MakeObject(uint32_t flags = 0) {
        SceneItem *item = dunCreateSceneItem();
        dunLinkSceneItem(item, flags);
        dunAttachSim(item, nullptr);
        dunAttachTDP(item);
        return item;
    }

    static int Index(const SceneItem *item) { return int(item - dunSceneItemPool); }

    // The types of the messages due for the object by a clock (taken from
    // the buffer), the game clock left as it was.
    static std::vector<uint16_t> TypesDue(SceneItem *item, uint32_t at = 0xFFFFFFF0u) {
        std::vector<uint16_t> out;
        const uint32_t clock = dunGameClock;
        dunGameClock = at;
        MsgRecord m;
        while (dunMsgReceive(item->receiverId, &m)) out.push_back(m.header.type);
        dunGameClock = clock;
        return out;
    }
};
