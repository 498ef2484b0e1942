# The ribbon writers through their draw units, on a runtime with the tests'
# recording device and counting allocator.
target_link_libraries(effects_writer_bench PRIVATE fulgor effect_tools)
target_include_directories(effects_writer_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(effects_writer_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/AllocationCount.cpp)
