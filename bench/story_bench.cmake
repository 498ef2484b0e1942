# The story screens' frames run over files they write at start.
target_link_libraries(story_bench PRIVATE game_scene sampledata_core soundgen)
add_dependencies(story_bench OggVorbis)
target_sources(story_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
