# Trails from their data through build, submit and writer, on the tests'
# render rig and a do-nothing device.
target_link_libraries(trail_bench PRIVATE fulgor effect_tools)
target_include_directories(trail_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(trail_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
