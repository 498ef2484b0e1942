# The draw units' per-frame update on a runtime with the tests' rig and
# counting allocator.
target_link_libraries(effects_update_bench PRIVATE fulgor effect_tools)
target_include_directories(effects_update_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effects_update_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
