#include "game/flow/SceneBase.h"

SceneBase::~SceneBase() {
    if (nextAttached && nextAttached->prevAttached == this)
        nextAttached->prevAttached = nullptr;
    if (prevAttached && prevAttached->nextAttached == this)
        prevAttached->nextAttached = nullptr;
}

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
