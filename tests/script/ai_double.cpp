#include "ai_double.h"

#include "ai/combat.h"
#include "ai/contacts.h"

namespace {

std::vector<AiCall> gCalls;

AiCall &Record(const char *name, SceneItem *ship, int slot = 0) {
    AiCall c;
    c.name = name;
    c.ship = ship;
    c.slot = slot;
    gCalls.push_back(c);
    return gCalls.back();
}

}  // namespace

const std::vector<AiCall> &AiCalls() { return gCalls; }
void AiCallsClear() { gCalls.clear(); }
int AiCallCount(const std::string &name) {
    int n = 0;
    for (const AiCall &c : gCalls) n += c.name == name;
    return n;
}
const AiCall *AiCallFind(const std::string &name, int n) {
    for (const AiCall &c : gCalls)
        if (c.name == name && n-- == 0) return &c;
    return nullptr;
}

// The linker's names of the wrapped calls: __real_ is the AI's body,
// __wrap_ the double's.
#define AI_SYMBOL(kind, mangled) "__" kind "_" mangled

void RealStartOrder(SceneItem *, int) __asm__(AI_SYMBOL("real", "_Z16dunai_StartOrderP9SceneItemi"));
void WrapStartOrder(SceneItem *ship, int slot) __asm__(AI_SYMBOL("wrap", "_Z16dunai_StartOrderP9SceneItemi"));
void WrapStartOrder(SceneItem *ship, int slot) {
    Record("StartOrder", ship, slot);
    RealStartOrder(ship, slot);
}

void RealSelectTarget(SceneItem *) __asm__(AI_SYMBOL("real", "_Z15dunSelectTargetP9SceneItem"));
void WrapSelectTarget(SceneItem *item) __asm__(AI_SYMBOL("wrap", "_Z15dunSelectTargetP9SceneItem"));
void WrapSelectTarget(SceneItem *item) {
    Record("SelectTarget", item);
    RealSelectTarget(item);
}

void RealForgetTarget(SceneItem *) __asm__(AI_SYMBOL("real", "_Z25dunForgetTargetEverywhereP9SceneItem"));
void WrapForgetTarget(SceneItem *item) __asm__(AI_SYMBOL("wrap", "_Z25dunForgetTargetEverywhereP9SceneItem"));
void WrapForgetTarget(SceneItem *item) {
    Record("ForgetTargetEverywhere", item);
    RealForgetTarget(item);
}

void RealForgetGoal(SceneItem *) __asm__(AI_SYMBOL("real", "_Z23dunForgetGoalEverywhereP9SceneItem"));
void WrapForgetGoal(SceneItem *item) __asm__(AI_SYMBOL("wrap", "_Z23dunForgetGoalEverywhereP9SceneItem"));
void WrapForgetGoal(SceneItem *item) {
    Record("ForgetGoalEverywhere", item);
    RealForgetGoal(item);
}
