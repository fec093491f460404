// The autopilot's order routines: what each navigation program gives the
// ship to do, in normal flight and in the LDS drive.
#pragma once

struct SceneItem;

void guiAutoStop(SceneItem *ship);
void guiAutoApproach(SceneItem *ship);
void guiAutoFormate(SceneItem *ship);
void guiAutoDock(SceneItem *ship);
void guiAutoStopRelative(SceneItem *ship);
void guiAutoPursue(SceneItem *ship);
void guiAutoEvade(SceneItem *ship);
void guiAutoLdaDefence(SceneItem *ship);
void guiAutoMatchVelocity(SceneItem *ship);
void guiAutoLdsApproach(SceneItem *ship);
void guiAutoLdsFormate(SceneItem *ship);
