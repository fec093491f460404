// Station components: the command section the player's ship can separate
// into, its "Com Module" set-up, the partner links of carried and towed
// objects, and the relay of a jump to docked partners.
#pragma once

#include <cstdint>

struct SceneItem;

// Separates the player's complete ship (type code 0) into the hull, flown
// by the AI, and the command section the player keeps flying.
void dunBuildCommandSection();
void dunSetupComModule(SceneItem *item);
// A and B are carried by C (ahead of and behind it on its axis).
void dunLinkPartnerObjects(SceneItem *a, SceneItem *b, SceneItem *carrier);
// B follows A (towed) at 100000.
void dunLinkPartnerObject(SceneItem *a, SceneItem *b);
// The payload's star-system number is negated in place and sent on to every
// partner of the object's ports (message 16 after 60 cs).
void dunRelayJumpToPartners(SceneItem *item, uint8_t payload[4]);
// Forgets the two models the command section keeps (their mission ended).
void dunResetStations();
