// Shared set-up of the game-state tests: generated tables served from memory,
// a throw-away documents folder, and the game singletons.
#pragma once

#include "engine/common/Heap.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/tables/GameTables.h"
#include "support/ArchiveTestSupport.h"
#include "tools/sampledata/GameTableData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

// The generated tables, served from memory.
using MemoryTableSource = SampleData::MemoryTables;

class GameStateTest : public testing::Test {
protected:
    void SetUp() override {
        RandomManager::CreateInstance();
        gw = GlobalWork::CreateInstance(docs.c_str());
        ASSERT_NE(gw, nullptr);
    }
    void TearDown() override {
        GlobalWork::DestroyInstance();
        RandomManager::DestroyInstance();
    }
    void LoadTables() { gw->Initialize(source); }

    testsupport::ScratchFolder scratch;
    std::string docs = scratch.Root();
    GlobalWork* gw = nullptr;
    MemoryTableSource source;
};
