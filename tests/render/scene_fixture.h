// The library begun with its scene database, for the scene tests.
#pragma once

#include "render/front/front.h"
#include "render/scene/scene.h"
#include "vt_fixture.h"

namespace vttest {

class VtSceneTest : public VtTest {
protected:
    void SetUp() override {
        VtTest::SetUp();
        ASSERT_EQ(VtSceneDbBegin(), VT_E_OK);
    }
    void TearDown() override {
        EXPECT_EQ(VtSceneDbEnd(), VT_E_OK);
        VtTest::TearDown();
    }
    // A named actor, hung under the parent when one is given.
    vt_actor *actor(const char *name, vt_actor *parent = nullptr, vt_uint_8 type = VT_ACTOR_NONE) {
        vt_actor *a = VtActorAllocate(type, nullptr);
        a->identifier = VtResStrDup(a, name);
        if (parent)
            VtActorAdd(parent, a);
        return a;
    }
};

} // namespace vttest
