// The front end's career timeline: two lists of mission boxes, the played
// missions (the archive, laid out across) and those still open (laid out
// down). The career code builds the lists from the mission table; the front
// end lays them out, draws, scrolls and selects in them.
#pragma once

#include <cstdint>

struct GuiWindow;
struct MissionRecord;

// Nodes and their debrief texts are dunAlloc blocks.
struct TimelineNode {
    TimelineNode *next;
    const MissionRecord *mission;
    int16_t kind;  // 0 not played, 1 played, 2 played bonus mission (number 90 or more)
    int16_t width, height;
    int16_t rect[4];  // left, top, right, bottom
    int32_t score;     // the career's score for the mission, 0 when not played
    int32_t maxScore;  // the mission record's
    int32_t time;      // the career's time for the mission, centiseconds
    char *debrief;     // heap copy owned by the node, or null
};

struct TimelineList {
    uint8_t vertical;
    TimelineNode *first;
    TimelineNode *selected;
    int16_t extentW, extentH;
    int16_t scrollX, scrollY;
    int16_t originX, originY;
    int16_t viewW, viewH;  // the window it was last drawn in
};

extern TimelineList gTimelinePlayed;  // across
extern TimelineList gTimelineOpen;    // down

constexpr int16_t kTimelineNodeWidth = 124;

// Makes the mission's node and appends it to the list of its kind.
void frontAddTimelineNode(const MissionRecord *mission);
// Places a list's nodes and picks its selected node.
void frontLayoutTimeline(TimelineList *list);
// Frees the nodes of both lists.
void frontFreeTimelines();
void frontDrawTimeline(GuiWindow *window, TimelineList *list);
// Every frame: the mouse near an edge of the window scrolls the list.
void frontScrollTimeline(GuiWindow *window, TimelineList *list);
// A click selects the node under the mouse.
void frontClickTimeline(TimelineList *list);
// The grid behind the timeline, moved by the offsets.
void frontDrawGrid(GuiWindow *window, int offsetX, int offsetY);
// The grid with its own offsets (the window's value and max), moving with
// time on the 3D card.
void frontDrawMovingGrid(GuiWindow *window);

// The selected timeline point of either list, or null.
TimelineNode *FrontSelectedNode();
// Selects a node (the other list's selection goes) and centres it.
void FrontSelectNode(TimelineList *list, TimelineNode *node);
// The arrow keys of the timeline page.
void FrontTimelineKey(int scan);
// "%i%%" of a played node: score x 100 / maximum, held to 0..100.
int TimelinePercent(int32_t score, int32_t maximum);
// The blink counter (centiseconds, 0..100) and its step.
extern int32_t gTimelineBlink;
void AdvanceTimelineBlink(int32_t centiseconds);
// The frame's step, once per frame whichever view draws first.
void AdvanceTimelineBlinkOnce();
// The box colour of a node: 65 selected (57 in the first 20 of every 100
// centiseconds), 57 otherwise.
int TimelineBoxColour(bool selected);
