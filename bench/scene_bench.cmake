# The screens' frames run over the generated data beside the executable.
target_link_libraries(scene_bench PRIVATE game_scene sampledata_core)
add_dependencies(scene_bench sample_data)
target_sources(scene_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
