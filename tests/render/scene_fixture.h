// The library begun with its scene database, for the scene tests.
#pragma once

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
};

} // namespace vttest
