// Station components: the command section and the partner links.
#pragma once

struct SceneItem;
