# The renderer's layer draw on the tests' rig and a do-nothing device.
target_link_libraries(effects_render_bench PRIVATE fulgor)
target_include_directories(effects_render_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effects_render_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
