# Rings, circles and quads from their data through the renderer into a
# do-nothing device, on the tests' render rig.
target_link_libraries(ring_circle_quad_bench PRIVATE fulgor effect_tools)
target_include_directories(ring_circle_quad_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(ring_circle_quad_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
