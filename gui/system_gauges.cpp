// The gauges of the ship-system panels: each panel window holds its
// engineering component and reads it every frame; the panel's switch turns
// the component on and off.
#include <cstring>

#include "core/options.h"
#include "gui/bound.h"
#include "gui/window.h"
#include "world/records.h"

namespace {

EngComponent *Component(GuiWindow *window) { return static_cast<EngComponent *>(window->userPtr); }

// The component's delivered output against its level before damage, 0..1.
float OutputFraction(const EngComponent *c) {
    if (!(c->level > 0.0f)) return 0.0f;
    const float f = c->value / c->level;
    return f < 0.0f ? 0.0f : f > 1.0f ? 1.0f : f;
}

}  // namespace

uint8_t gGuiSystemButtonVisible = 1;

void guiToggleSystemFlag(GuiWindow *window) {
    if (EngComponent *c = Component(window)) c->switchedOn = c->switchedOn ? 0 : 0xFF;
}

int8_t guiUpdateInjectorGauge(GuiWindow *window) {
    if (const EngComponent *c = Component(window)) {
        window->value = OutputFraction(c) * 1000.0f;
        window->max = 1000.0f;
        window->state = c->switchedOn;
        const char *name = c->names[gLanguage < 3 ? gLanguage : 0];
        if (!name) name = c->names[0];
        if (name) window->text = name;
        // The panel's switch (drawn right after its label) is offered for
        // the antimatter injector only.
        gGuiSystemButtonVisible = c->names[0] && !std::strcmp(c->names[0], "AM INJECTOR");
    }
    return guiDefaultHandler(window);
}

int8_t guiUpdateSystemOutput(GuiWindow *window) {
    if (const EngComponent *c = Component(window)) {
        window->value = OutputFraction(c) * 1000.0f;
        window->max = 1000.0f;
    }
    return guiDefaultHandler(window);
}

int8_t guiUpdateSystemValue(GuiWindow *window) {
    if (const EngComponent *c = Component(window)) {
        window->value = c->value;
        window->max = 2500.0f;
    }
    return guiDefaultHandler(window);
}

int8_t guiUpdateSystemLevel(GuiWindow *window) {
    if (const EngComponent *c = Component(window)) {
        window->value = c->level;
        window->max = 2500.0f;
    }
    return guiDefaultHandler(window);
}
