# The draw units' geometry through the effects device on the null backend,
# with the tests' render rig and stand-in members.
target_link_libraries(effects_draw_bench PRIVATE game_vfx fulgor effect_tools)
target_include_directories(effects_draw_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effects_draw_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
