#include "game/flow/LoadingScene.h"

#include "engine/resource/ChildResourceLoader.h"
#include "engine/resource/ResourceLoader.h"
#include "game/core/FileLoader.h"

void LoadingScene::Begin() {
    loaded_.Reset();
    SetState(kLoading);
    OnBegin();
    const Mireku::Resource::LoadStep step(this, &LoadingScene::RunLoader);
    FileLoader* files = FileLoader::GetInstance();
    if (files && Mireku::Resource::ResourceLoader::GetInstance() && !step.IsEmpty()) {
        files->Load(step);
        return;
    }
    // Without a loader (or a delegate) no file can be read: the step still
    // runs, leaves every slot empty and ends the loading state, so that End
    // never waits for a load that will not come.
    Mireku::Resource::ChildResourceLoader child;
    RunLoader(child, nullptr);
}

void LoadingScene::End() {
    loaded_.Wait();
    ReleaseResources();
    if (nextAttached)
        nextAttached->End();
}

void LoadingScene::RunLoader(Mireku::Resource::ChildResourceLoader& loader, const void*) {
    LoadResources(loader);
    loader.GetBuffer().Release();
    SetState(kLoaded);
    loaded_.Set();
}
