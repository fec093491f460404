// Docking ports, docking on contact, the docked mover, undocking, and the
// AI's reservation of port pairs.
#pragma once

#include <cstdint>

struct SceneItem;
struct DockingPort;
struct Mat4;

// Appends a port to the ship's list, its position stored as 100 x (x, y, z),
// which also becomes a hull point of the root part.
DockingPort *dunAddDockingPort(SceneItem *ship, uint32_t flags, uint32_t mask, float angleY, float angleX,
                               float roll, float x, float y, float z, int16_t size);
// Every port's position as a hull point of the root part.
void dunPlaceDockingPorts(SceneItem *ship);
// The n-th port (0-based); past the end the last one; null without a ShipInfo
// or ports.
DockingPort *dunGetDockingPort(SceneItem *ship, int n);
void dunOpenDockingPort(SceneItem *ship, int n);
// With no other: the partner of the first docked port; else the other when
// the ship is docked to it; null otherwise.
SceneItem *dunGetDockedPartner(SceneItem *ship, SceneItem *other = nullptr);
// Port n of a and port m of b are open, share a mask bit, and the first is free.
uint8_t dunPortsCompatible(SceneItem *a, int n, SceneItem *b, int m);
// Reserves a pair of ports for a docking the AI plans. Given indices are
// checked (-1 when unusable); with either not given the pair with the
// fewest mask bits is searched. Both stay -1 when there is none.
void dunPairDockingPorts(SceneItem *a, SceneItem *b, int *i, int *j);
void dunReleaseDockingPorts(SceneItem *a, SceneItem *b);
// Two ships that touch: docks them when a pair of compatible ports is close
// and aligned enough; 0xFF when they docked (the contact is consumed).
uint8_t dunTryDockOnContact(SceneItem *a, SceneItem *b);
// (|x . x'| + |y . y'| + z . z' + 3) / 6 over the axis rows: 1 for the
// wanted orientation, 2/3 for one turned round about its forward axis.
float dunDockAlignment(const Mat4 *orientation, const Mat4 *wanted);
// The orientation the mover needs at port p for the host's port q.
void dunAlignForDocking(Mat4 *out, const Mat4 *host, const DockingPort *p, const DockingPort *q);
// Docks a to b at ports p and q; 0xFF when they docked.
uint8_t dunDockShips(SceneItem *a, SceneItem *b, DockingPort *p, DockingPort *q, int16_t bias);
// The simulator of a docking or docked mover; run after every other one.
void dunUpdateDocking(SceneItem *item);
void dunUndock(SceneItem *ship);
// Unmates a docked port and its mate: both ships get their routines back.
void dunUnmatePorts(DockingPort *port);
// Unmates every docked port of the object and frees its ports (it is deleted).
void dunUndockAll(SceneItem *item);
void dunSetDocked(DockingPort *port, SceneItem *ship, SceneItem *partner, DockingPort *mate);
void dunClearPort(DockingPort *port);
void dunMakeMover(SceneItem *ship, DockingPort *port);
uint16_t dunCountBits(uint32_t value);
// The "Going home" order of a ship with the return-home flag docked at host.
void dunOrderGoingHome(SceneItem *ship, SceneItem *host);
// The number of docking links the item holds.
int dunDockedLinkCount(SceneItem *item);

// The alignment shown to the player (0..1, reset by every contact test),
// the object the controlled ship is docked to, and the object that carries
// the player's ShipInfo when hulls are swapped.
extern float dunDockAlignmentShown;
extern SceneItem *dunCurrentHost;
extern SceneItem *dunPlayerHullObject;
