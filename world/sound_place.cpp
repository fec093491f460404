#include "world/sound_place.h"

#include "world/objlist.h"
#include "world/records.h"

namespace {

// An object's place as the sound arithmetic takes it: its Avatar's position,
// motion and orientation, and its star system.
bool PlaceOf(const SceneItem *item, SoundPlace *out) {
    if (!item || !item->avatar) return false;
    out->position = item->avatar->position;
    out->velocity = item->avatar->velocity;
    out->orientation = item->avatar->matrix;
    out->starSystem = item->systemNumber;
    return true;
}

int32_t PlayerSystem(const SoundPlace &camera) {
    return dunPlayerShip ? int32_t(dunPlayerShip->systemNumber) : camera.starSystem;
}

}  // namespace

double SoundPositionFromCameraAlt(SceneItem *object, int32_t *volume, int32_t *pan, Vec3 *direction) {
    SoundPlace src, cam;
    if (!PlaceOf(object, &src) || !PlaceOf(dunPlayerCamera, &cam)) return 0.0;
    return SoundPlacePosition(&src, &cam, PlayerSystem(cam), volume, pan, direction);
}

double SoundPositionFromCamera(SceneItem *object, int32_t *volume, int32_t *pan) {
    return SoundPositionFromCameraAlt(object, volume, pan, nullptr);
}

void SoundParamsForObject(SceneItem *object, int32_t *frequency, float scale) {
    SoundPlace src, cam;
    if (!PlaceOf(object, &src) || !PlaceOf(dunPlayerCamera, &cam)) return;
    SoundPlaceParams(&src, &cam, PlayerSystem(cam), object == dunPlayerCamera, frequency, scale);
}
