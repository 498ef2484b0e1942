# The effects runtime's frame over 1,000 instances of a writer-made effect,
# with the tests' recording device and counting allocator.
target_link_libraries(effects_frame_bench PRIVATE fulgor effect_tools)
target_include_directories(effects_frame_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effects_frame_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
