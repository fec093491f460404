// A released scene node gives the model and material it owns back through
// the library's registries.
#include <gtest/gtest.h>

#include "present/scene.h"
#include "render/scene/scene.h"
#include "world/records.h"

namespace {

TEST(NodeRelease, OwnedModelAndMaterialLeaveTheRegistries) {
    ASSERT_EQ(VtBeginAll(), VT_E_OK);
    vt_model *model = VtModelAllocate("wreck_piece", 3, 1);
    model->faces[0].vertices[1] = 1;
    model->faces[0].vertices[2] = 2;
    VtVector3Set(&model->vertices[1].p, 1, 0, 0);
    VtVector3Set(&model->vertices[2].p, 0, 1, 0);
    VtModelAdd(model);
    vt_material *material = VtMaterialAllocate("wreck_paint");
    VtMaterialAdd(material);

    TDP node{};
    node.savedModel[0] = model;
    node.particleOrMaterial = material;
    P3DRemoveAndFreeNodeModel(&node);
    P3DRemoveAndFreeNodeMaterial(&node);
    EXPECT_EQ(node.savedModel[0], nullptr);
    EXPECT_EQ(node.particleOrMaterial, nullptr);
    EXPECT_EQ(VtModelFind("wreck_piece"), nullptr);
    EXPECT_EQ(VtMaterialFind("wreck_paint"), nullptr);
    // Nothing owned: nothing to do.
    P3DRemoveAndFreeNodeModel(&node);
    P3DRemoveAndFreeNodeMaterial(&node);
    EXPECT_EQ(VtEndAll(), VT_E_OK);
}

}  // namespace
