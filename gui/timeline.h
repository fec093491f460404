// The front end's career timeline: two lists of mission boxes, the played
// missions and those still open. The career code builds the lists from the
// mission table; the front end lays them out, draws and scrolls them.
#pragma once

#include <cstdint>

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
};

extern TimelineList gTimelinePlayed;
extern TimelineList gTimelineOpen;

// Makes the mission's node and appends it to the list of its kind.
void frontAddTimelineNode(const MissionRecord *mission);
// Places a list's nodes and picks its selected node.
void frontLayoutTimeline(TimelineList *list);
