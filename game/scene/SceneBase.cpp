#include "game/scene/SceneBase.h"

SceneBase* SceneBase::LinkNext(SceneBase* scene) {
    nextAttached = scene;
    if (scene)
        scene->prevAttached = this;
    return scene;
}

SceneBase* SceneBase::UnlinkPrev() {
    SceneBase* previous = prevAttached;
    if (previous)
        previous->nextAttached = nullptr;
    prevAttached = nullptr;
    return previous;
}
