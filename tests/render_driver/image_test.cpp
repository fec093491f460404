// Small deterministic images through the library's front end and the
// software renderer, held to hashes of their pixels.
#include "driver_fixture.h"

using namespace srtest;

namespace {

class SoftImages : public DriverTest {};

TEST_F(SoftImages, LitCube) {
    start(96, 72);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 5);
    vt_actor *sun = light(VT_LIGHT_DIRECT);
    place(sun, 0, 0, 0, -40, 30);
    vt_material *red = material("red", 0xE04030, VT_MATF_LIT);
    vt_actor *cube = modelActor(box("cube", 1, red), red);
    place(cube, 0, 0, 0, 25, 35);
    render();
    dump("lit_cube");
    EXPECT_EQ(hash(), "d5662ae1931c6391");
}

} // namespace
