// Ships for the AI's tests, built from the world's pools without rendering:
// a linked object with a Sim, a ShipInfo and its performance block. Every
// test of this program starts from a fresh game (tests/app/fresh_game.cpp).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/states.h"
#include "ai/steering.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace ruvotest {

// The raider's engine: thrust 6000, lateral 400, turn rates 110, top speed
// 65000.
inline SceneItem *AiShip(double x = 0, double y = 0, double z = 0) {
    SceneItem *it = dunCreateSceneItem();
    dunLinkSceneItem(it, 0);
    dunAttachSim(it, nullptr);
    ShipInfo *info = it->sim->shipInfo = dunAllocShipInfo();
    info->name = "test ship";
    dunInitFlightParams(&info->current, 6000.0f, 400.0f, 0, 0, 110.0f, 110.0f, 110.0f, 650.0f);
    info->nominal = info->current;
    it->sim->flight = &info->current;
    it->sim->position = {x, y, z};
    it->sim->matrix.m[12] = float(x);
    it->sim->matrix.m[13] = float(y);
    it->sim->matrix.m[14] = float(z);
    return it;
}

// The debug log's lines while it lives (the log goes to the debugger sink).
class LogLines {
public:
    LogLines() {
        gLines = &lines;
        optDebug = 1;
        dunSetDebugSink([](const char *text) { gLines->push_back(text); });
    }
    ~LogLines() {
        dunSetDebugSink(nullptr);
        optDebug = 0;
        gLines = nullptr;
    }
    size_t Count(const std::string &text) const {
        size_t n = 0;
        for (const std::string &l : lines) n += l.find(text) != std::string::npos;
        return n;
    }
    std::vector<std::string> lines;

private:
    static inline std::vector<std::string> *gLines = nullptr;
};

}  // namespace ruvotest
