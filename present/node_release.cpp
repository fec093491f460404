// What a scene node owns of the rendering library goes back through the
// library's registries when the node is released.
#include "present/scene.h"
#include "render/scene/scene.h"
#include "world/records.h"

void P3DRemoveAndFreeNodeModel(TDP *node) {
    auto *model = static_cast<vt_model *>(node->savedModel[0]);
    if (model == nullptr)
        return;
    VtModelRemove(model);
    VtModelFree(model);
    node->savedModel[0] = nullptr;
}

void P3DRemoveAndFreeNodeMaterial(TDP *node) {
    auto *material = static_cast<vt_material *>(node->particleOrMaterial);
    if (material == nullptr)
        return;
    VtMaterialRemove(material);
    VtMaterialFree(material);
    node->particleOrMaterial = nullptr;
}
